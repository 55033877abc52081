// The real Windows: the set of interfaces the program hands to what it creates.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"

namespace qe::win32 {

class TWin32Platform {
public:
    TWin32Platform();
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    const TPlatform& Platform() const { return FPlatform; }

    TWin32FileSystem FileSystem;
    TWin32Registry Registry;
    TWin32System System;
    TWin32Shell Shell;

private:
    TPlatform FPlatform;
};

} // namespace qe::win32
