#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <wincrypt.h>

namespace qe::win32 {

std::u16string AnsiToWide(const std::string& Text)
{
    if (Text.empty())
        return {};
    const int Size = static_cast<int>(Text.size());
    const int Length = MultiByteToWideChar(CP_ACP, 0, Text.data(), Size, nullptr, 0);
    std::u16string Result(static_cast<size_t>(Length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, Text.data(), Size, reinterpret_cast<wchar_t*>(Result.data()), Length);
    return Result;
}

bool WideToAnsi(const std::u16string& Text, std::string& Ansi)
{
    if (Text.empty()) {
        Ansi.clear();
        return true;
    }
    const auto* Wide = reinterpret_cast<const wchar_t*>(Text.data());
    const int Size = static_cast<int>(Text.size());
    // No best fit: "ł" must not become "l", which names another folder. A UTF-8 code page
    // has a form for every character but takes no default character to report with.
    const bool Utf8 = GetACP() == CP_UTF8;
    const DWORD Flags = Utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL UsedDefault = FALSE;
    BOOL* Report = Utf8 ? nullptr : &UsedDefault;
    const int Length = WideCharToMultiByte(CP_ACP, Flags, Wide, Size, nullptr, 0, nullptr, Report);
    if (Length <= 0 || UsedDefault)
        return false;
    std::string Result(static_cast<size_t>(Length), '\0');
    if (WideCharToMultiByte(CP_ACP, Flags, Wide, Size, Result.data(), Length, nullptr, Report) != Length || UsedDefault)
        return false;
    Ansi = Result;
    return true;
}

std::u16string WideUpperCase(const std::u16string& Text)
{
    std::u16string Result = Text;
    if (!Result.empty())
        CharUpperBuffW(reinterpret_cast<wchar_t*>(Result.data()), static_cast<DWORD>(Result.size()));
    return Result;
}

bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest)
{
    HCRYPTPROV Provider = 0;
    if (!CryptAcquireContextW(&Provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return false;
    HCRYPTHASH Hash = 0;
    DWORD Length = static_cast<DWORD>(Digest.size());
    const bool Done = CryptCreateHash(Provider, CALG_MD5, 0, 0, &Hash) &&
                      CryptHashData(Hash, static_cast<const BYTE*>(Data), static_cast<DWORD>(Size), 0) &&
                      CryptGetHashParam(Hash, HP_HASHVAL, Digest.data(), &Length, 0) && Length == Digest.size();
    if (Hash != 0)
        CryptDestroyHash(Hash);
    CryptReleaseContext(Provider, 0);
    return Done;
}

} // namespace qe::win32
