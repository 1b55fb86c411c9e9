#pragma once
// The benchmarks' view never powers the machine off and holds no screen saver.

#include "platform/PowerOff.h"
#include "platform/ScreenSaver.h"

class CNoPowerOff final : public IPowerOff {
public:
    void ShutdownPC() override {}
};

class CNoScreenSaver final : public IScreenSaver {
public:
    void Inhibit() override {}
    void Release() override {}
    unsigned HeldBy() const override { return 0; }
};
