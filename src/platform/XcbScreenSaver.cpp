#include "platform/XcbScreenSaver.h"

#include "platform/ScreenSaver.h"
#include "settings/Trace.h"

#include <QGuiApplication>
#include <xcb/dpms.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {
bool HasExtension(xcb_connection_t* pConnection, xcb_extension_t* extension) {
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(pConnection, extension);
    return data && data->present;
}

// Sends a request whose answer is only success or an error, and waits for it.
bool Succeeds(xcb_connection_t* pConnection, xcb_void_cookie_t cookie) {
    xcb_generic_error_t* error = xcb_request_check(pConnection, cookie);
    std::free(error);
    return error == nullptr;
}
} // namespace

CXcbScreenSaver::CXcbScreenSaver(xcb_connection_t* pConnection)
    : m_pConnection(pConnection && !xcb_connection_has_error(pConnection) ? pConnection : nullptr) {
}

void CXcbScreenSaver::Suspend() {
    if (!m_pConnection)
        return;
    if (!m_bSaverSuspended && HasExtension(m_pConnection, &xcb_screensaver_id)) {
        m_bSaverSuspended =
            Succeeds(m_pConnection, xcb_screensaver_suspend_checked(m_pConnection, 1));
        // A suspension only stops the timer: a saver already on is switched off.
        xcb_force_screen_saver(m_pConnection, XCB_SCREEN_SAVER_RESET);
    }
    if (!m_bDpmsOff && HasExtension(m_pConnection, &xcb_dpms_id)) {
        const std::unique_ptr<xcb_dpms_info_reply_t, decltype(&std::free)> info(
            xcb_dpms_info_reply(m_pConnection, xcb_dpms_info(m_pConnection), nullptr), &std::free);
        if (info && info->state) {
            m_bDpmsWasOn = Succeeds(m_pConnection, xcb_dpms_disable_checked(m_pConnection));
            m_bDpmsOff = m_bDpmsWasOn;
        } else {
            m_bDpmsOff = info != nullptr;
        }
    }
    TraceF("Bildschirmschoner des X-Servers %s, DPMS %s",
           m_bSaverSuspended ? "ausgesetzt" : "nicht ausgesetzt",
           m_bDpmsOff ? "aus" : "nicht ausgeschaltet");
}

void CXcbScreenSaver::Restore() {
    if (!m_pConnection)
        return;
    if (m_bSaverSuspended)
        xcb_screensaver_suspend(m_pConnection, 0);
    if (m_bDpmsWasOn)
        xcb_dpms_enable(m_pConnection);
    xcb_flush(m_pConnection);
    m_bSaverSuspended = false;
    m_bDpmsOff = false;
    m_bDpmsWasOn = false;
}

unsigned CXcbScreenSaver::HeldBy() const {
    return (m_bSaverSuspended ? blanking::kXScreenSaver : 0U) | (m_bDpmsOff ? blanking::kDpms : 0U);
}

xcb_connection_t* QtXcbConnection() {
    const auto* app = qGuiApp;
    const auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
