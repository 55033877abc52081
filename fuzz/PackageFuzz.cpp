// The package loader on any bytes: the model loads or raises one of the system's
// errors, the package check completes, and every payload window deciphers or raises the
// cipher's error.
#include "fuzz/FuzzInput.h"
#include "package/Integrity.h"
#include "package/PayloadCipher.h"
#include "package/SubStreams.h"
#include "platform/sim/SimPlatform.h"

namespace {

// Counts what is written to it and keeps nothing.
class TNullStream : public qe::TStream {
public:
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t Count) override { return Count; }
    int64_t Seek(int64_t, qe::TSeekOrigin) override { return 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static qe::sim::TSimPlatform Machine; // the loader does not touch it
    qe::TMemoryStream File = qe::fuzz::AfterStub(Data, Size);
    qe::TQeInstall Model(Machine.Platform());
    try {
        Model.LoadFromStream(File);
    } catch (const qe::Exception&) {
        return 0; // a banner that does not decode
    }
    qe::CheckPackage(File, Model);
    for (const auto& Entry : Model.Files) {
        const int64_t Start = Entry->PayloadOffset;
        qe::TSubStream Window(File, Start, Start + Entry->PayloadSize - 1);
        TNullStream Sink;
        try {
            Window.SetPosition(0);
            qe::CipherStream(Window, Sink, Model.PayloadKey.data(), 16, false);
        } catch (const qe::Exception&) {
        }
    }
    return 0;
}
