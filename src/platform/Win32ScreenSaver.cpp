#ifdef _WIN32
#include "platform/SystemScreenSaver.h"

#include <windows.h>

CSystemScreenSaver::CSystemScreenSaver() = default;

void CSystemScreenSaver::Inhibit() {
    if (m_bHeld)
        return;
    m_bHeld =
        SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED) != 0;
}

void CSystemScreenSaver::Release() {
    if (!m_bHeld)
        return;
    m_bHeld = false;
    SetThreadExecutionState(ES_CONTINUOUS);
}

unsigned CSystemScreenSaver::HeldBy() const {
    return m_bHeld ? blanking::kDesktop : 0U;
}
#endif
