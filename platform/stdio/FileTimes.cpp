#include "platform/stdio/FileTimes.h"

#include "platform/Exceptions.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Text.h"
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace qe {

#ifdef _WIN32

TSourceTimes ReadSourceTimes(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExW(win32::Wide(Path).c_str(), GetFileExInfoStandard, &Data))
        throw Exception("Cannot read the times of \"" + Path + "\"");
    auto ToTime = [](const FILETIME& T) { return static_cast<uint64_t>(T.dwHighDateTime) << 32 | T.dwLowDateTime; };
    return {ToTime(Data.ftCreationTime), ToTime(Data.ftLastWriteTime)};
}

void SetFileTimes(const std::string& Path, const TSourceTimes& Times)
{
    const HANDLE File = CreateFileW(win32::Wide(Path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    auto ToFileTime = [](uint64_t T) { return FILETIME{static_cast<DWORD>(T), static_cast<DWORD>(T >> 32)}; };
    const FILETIME Creation = ToFileTime(Times.CreationTime), Write = ToFileTime(Times.WriteTime);
    const bool Done = File != INVALID_HANDLE_VALUE && SetFileTime(File, &Creation, &Write, &Write);
    if (File != INVALID_HANDLE_VALUE)
        CloseHandle(File);
    if (!Done)
        throw Exception("Cannot set the times of \"" + Path + "\"");
}

#else

namespace {

constexpr uint64_t UnixEpochInFileTime = 116444736000000000ULL;

uint64_t ToFileTime(int64_t Seconds, uint32_t Nanoseconds)
{
    return UnixEpochInFileTime + static_cast<uint64_t>(Seconds) * 10000000ULL + Nanoseconds / 100;
}

} // namespace

TSourceTimes ReadSourceTimes(const std::string& Path)
{
    struct statx Info;
    if (statx(AT_FDCWD, Path.c_str(), 0, STATX_MTIME | STATX_BTIME, &Info) != 0)
        throw Exception("Cannot read the times of \"" + Path + "\": " + std::strerror(errno));
    TSourceTimes Times;
    Times.WriteTime = ToFileTime(Info.stx_mtime.tv_sec, Info.stx_mtime.tv_nsec);
    Times.CreationTime = (Info.stx_mask & STATX_BTIME) != 0 ? ToFileTime(Info.stx_btime.tv_sec, Info.stx_btime.tv_nsec)
                                                            : Times.WriteTime;
    return Times;
}

void SetFileTimes(const std::string& Path, const TSourceTimes& Times)
{
    const uint64_t Since1970 = Times.WriteTime > UnixEpochInFileTime ? Times.WriteTime - UnixEpochInFileTime : 0;
    timespec Write{};
    Write.tv_sec = static_cast<time_t>(Since1970 / 10000000ULL);
    Write.tv_nsec = static_cast<long>(Since1970 % 10000000ULL * 100);
    const timespec Both[2] = {Write, Write};
    if (utimensat(AT_FDCWD, Path.c_str(), Both, 0) != 0)
        throw Exception("Cannot set the times of \"" + Path + "\": " + std::strerror(errno));
}

#endif

} // namespace qe
