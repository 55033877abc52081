// Loads DLLs by their bare names with the default search, the unsafe way that takes a DLL
// from the program's own folder first: the proof that the planted DLLs do get loaded by a
// program that does not guard against them, so their absence elsewhere means something.
//   unsafe-loader.exe NAME.dll...
#include <windows.h>

#include <cstdio>

int main(int Argc, char** Argv)
{
    if (Argc < 2) {
        std::fprintf(stderr, "usage: unsafe-loader NAME.dll...\n");
        return 2;
    }
    int Result = 0;
    for (int I = 1; I < Argc; ++I) {
        const HMODULE Module = LoadLibraryA(Argv[I]);
        if (Module == nullptr) {
            std::printf("%s: not loaded (error %lu)\n", Argv[I], GetLastError());
            Result = 1;
            continue;
        }
        char Path[MAX_PATH] = {};
        GetModuleFileNameA(Module, Path, MAX_PATH);
        std::printf("%s: loaded from %s\n", Argv[I], Path);
    }
    std::fflush(stdout);
    return Result;
}
