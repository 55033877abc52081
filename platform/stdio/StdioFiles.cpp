#include "platform/stdio/StdioFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Exceptions.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Text.h"
#else
#include <filesystem>
#endif

namespace qe {
namespace {

#ifdef _WIN32
int SeekFile(FILE* F, int64_t Offset, int Whence)
{
    return _fseeki64(F, Offset, Whence);
}
int64_t TellFile(FILE* F)
{
    return _ftelli64(F);
}
#else
int SeekFile(FILE* F, int64_t Offset, int Whence)
{
    return fseeko(F, Offset, Whence);
}
int64_t TellFile(FILE* F)
{
    return ftello(F);
}
#endif

// An open C file without its own buffering; TBufferedStream buffers it.
class TStdioFile : public TStream {
public:
    explicit TStdioFile(FILE* F) : FFile(F) { std::setvbuf(FFile, nullptr, _IONBF, 0); }
    ~TStdioFile() override { std::fclose(FFile); }

    int32_t Read(void* Buffer, int32_t Count) override
    {
        return Count <= 0 ? 0 : static_cast<int32_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
    }
    int32_t Write(const void* Buffer, int32_t Count) override
    {
        return Count <= 0 ? 0 : static_cast<int32_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override
    {
        const int Whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET
                           : Origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                              : SEEK_END;
        if (Origin == TSeekOrigin::soBeginning && Offset < 0)
            return TellFile(FFile);
        SeekFile(FFile, Offset, Whence);
        return TellFile(FFile);
    }
    void Flush() override
    {
        if (std::fflush(FFile) != 0)
            throw EStreamError("Stream write error");
    }

private:
    FILE* FFile;
};

std::unique_ptr<TStream> Open(const std::string& Path, const char* Mode)
{
#ifdef _WIN32
    // The path is UTF-8, which the C library's narrow names would take for ANSI text.
    FILE* F = _wfopen(win32::Wide(Path).c_str(), win32::Wide(Mode).c_str());
#else
    FILE* F = std::fopen(Path.c_str(), Mode);
#endif
    if (F == nullptr)
        return nullptr;
    return std::make_unique<TBufferedStream>(std::make_unique<TStdioFile>(F));
}

} // namespace

std::unique_ptr<TStream> TStdioFiles::OpenForReading(const std::string& Path)
{
    auto Stream = Open(Path, "rb");
    if (!Stream)
        throw EFOpenError(CannotOpenFileMessage(Path, std::strerror(errno)));
    return Stream;
}

std::unique_ptr<TStream> TStdioFiles::CreateForWriting(const std::string& Path)
{
    auto Stream = Open(Path, "w+b");
    if (!Stream)
        throw EFCreateError(CannotCreateFileMessage(Path, std::strerror(errno)));
    return Stream;
}

std::string TStdioFiles::ReadWhole(const std::string& Path)
{
    auto Stream = OpenForReading(Path);
    std::string Bytes(static_cast<size_t>(Stream->GetSize()), '\0');
    Stream->ReadBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    return Bytes;
}

std::string TStdioFiles::ExecutablePath()
{
#ifdef _WIN32
    wchar_t Path[MAX_PATH + 1] = {};
    return win32::Utf8(Path, GetModuleFileNameW(nullptr, Path, MAX_PATH));
#else
    std::error_code Error;
    return std::filesystem::read_symlink("/proc/self/exe", Error).string();
#endif
}

} // namespace qe
