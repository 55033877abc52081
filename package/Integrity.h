// The package's integrity record and its check. The producer writes the record as the
// package's last record: a digest of the package's records before it and one digest of
// each file entry's payload window (XXH3, 128 bits). The install run checks the whole
// package against it before it changes anything, and `qepack verify` reports it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/QeClasses.h"
#include "package/TagStreams.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"

namespace qe {

// The record (id piIntegrity) is a binary value; readers that do not know it skip it.
// Its first field: which digest it holds (1: XXH3 with 128 bits, seed 0).
constexpr uint32_t IntegrityDigestXxh3x128 = 1;

// A digest in XXH3's canonical byte order (the 128-bit value, most significant byte first).
using TDigest = std::array<uint8_t, 16>;

// Digests bytes fed in pieces.
class TDigestState {
public:
    TDigestState();
    ~TDigestState();
    TDigestState(const TDigestState&) = delete;
    TDigestState& operator=(const TDigestState&) = delete;

    void Update(const void* Bytes, size_t Count);
    TDigest Final() const;

private:
    struct TState;
    TState* FState;
};

TDigest DigestOf(const void* Bytes, size_t Count);

// Passes every byte written on to Target and digests it.
class TDigestingStream : public TStream {
public:
    explicit TDigestingStream(TStream& Target) : FTarget(Target) {}

    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FTarget.Seek(Offset, Origin); }
    TDigest Final() const { return FDigest.Final(); }

private:
    TStream& FTarget;
    TDigestState FDigest;
};

struct TIntegrityRecord {
    TDigest Records{};              // the package from its signature to this record's header
    std::vector<TDigest> Windows{}; // one per file entry, in their order

    // Bytes of the record's value.
    static int32_t ValueSize(size_t WindowCount);
    // Writes the record (header, count, value) at the stream's position.
    void Write(TTagStreamAdapter& Tags) const;
};

// What the check found. Faults say what is damaged, in words for the user, in the
// language of the model's texts.
struct TPackageCheck {
    bool HasPackage = false;
    bool HasIntegrityRecord = false;
    std::vector<std::string> PackageFaults; // of the records themselves
    // One per file entry, what is wrong with its contents, with %1 for the file ("the
    // contents of %1 lie outside the file"); empty when it is sound.
    std::vector<std::string> FileFaults;
    // One per file entry, why its target or shortcut cannot be installed, as a sentence
    // of its own that names it; empty when both are plain.
    std::vector<std::string> PathFaults;
    std::vector<int64_t> FileSizes; // deciphered bytes of each sound entry

    bool Sound() const;
    bool FileSound(size_t Index) const { return FileFaults[Index].empty() && PathFaults[Index].empty(); }
    // The fault of file entry Index as a sentence naming the file Name (a fault of its
    // path names the path itself); empty when sound.
    std::string FileFault(size_t Index, const std::string& Name) const;
    // The first fault, naming a file as the trader knows it: by the file name of its
    // target, not by a target with a macro in it.
    std::string FirstFault(const TQeInstall& Model) const;
};

// Checks the package in File, whose file entries Model holds (loaded from the same
// file): the records end with an end record; with an integrity record, the records and
// every payload window match their digests; every window lies inside the file and its
// final block deciphers to a count of 0 to 15; the product name and every target and
// shortcut are plain (PackagePathFaults).
TPackageCheck CheckPackage(TStream& File, const TQeInstall& Model);

// The installer cannot be trusted; nothing may be installed from it.
class EPackageDamaged : public Exception {
public:
    using Exception::Exception;
};

// Raises EPackageDamaged, "The installer is damaged: ... Download it again.", when the
// check of Model's package finds a fault.
void RefuseDamagedPackage(const TPackageCheck& Check, const TQeInstall& Model);

} // namespace qe
