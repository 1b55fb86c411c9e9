#pragma once
// The operating system's power-off: logind over the system bus on Linux, the shutdown
// privilege and ExitWindowsEx on Windows. Only the program creates one; tests never do.

#include "platform/PowerOff.h"

class CSystemPowerOff final : public IPowerOff {
public:
    void ShutdownPC() override;
};
