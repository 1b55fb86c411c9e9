#pragma once
// Powering the PC off is the one thing no test may ever reach: the show and the settings
// dialog call it only through this seam, and every test passes a fake.

class IPowerOff {
public:
    virtual ~IPowerOff() = default;
    // Asks the operating system to power off, not forced: other programs and inhibitors
    // may refuse. Nothing is reported either way.
    virtual void ShutdownPC() = 0;
};
