#pragma once
// An unattended showroom screen must not blank: the view holds an inhibition while its show
// runs. Where a means is missing, it is left out, and the status page says which ones hold.

namespace blanking {
// The means that hold blanking off, as bits.
inline constexpr unsigned kDesktop = 1;      // the desktop session's inhibition
inline constexpr unsigned kXScreenSaver = 2; // the X server's own screen saver, suspended
inline constexpr unsigned kDpms = 4;         // the X server's display power management, off
} // namespace blanking

class IScreenSaver {
public:
    virtual ~IScreenSaver() = default;
    // Keeps the screen saver and display blanking off until Release; a second call while
    // held does nothing.
    virtual void Inhibit() = 0;
    virtual void Release() = 0;
    // The blanking:: means that hold blanking off now; 0 when none does.
    virtual unsigned HeldBy() const = 0;
};
