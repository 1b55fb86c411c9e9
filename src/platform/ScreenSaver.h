#pragma once
// An unattended showroom screen must not blank: the view holds an inhibition while its show
// runs. Where the desktop offers none, nothing happens.

class IScreenSaver {
public:
    virtual ~IScreenSaver() = default;
    // Keeps the screen saver and display blanking off until Release; a second call while
    // held does nothing.
    virtual void Inhibit() = 0;
    virtual void Release() = 0;
};
