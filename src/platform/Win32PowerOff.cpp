#ifdef _WIN32
#include "platform/SystemPowerOff.h"

#include <windows.h>

namespace {
constexpr DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY; // 0x28
constexpr UINT kPowerOff = EWX_POWEROFF;                              // 8, not forced
constexpr DWORD kReason = 4;
} // namespace

// No result is looked at: a refused shutdown leaves the show running.
void CSystemPowerOff::ShutdownPC() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), kTokenAccess, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(kPowerOff, kReason);
}
#endif
