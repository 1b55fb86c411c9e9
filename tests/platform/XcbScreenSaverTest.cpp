#include "platform/XcbScreenSaver.h"
#include "platform/ScreenSaver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <xcb/dpms.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kStartMs = 10000;

// A virtual X server of the test's own, on a display number it chose itself.
class CVirtualXServer {
public:
    CVirtualXServer() {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QString::number(fds[1]),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("320x240x24")});
        ::close(fds[1]);
        pollfd entry{fds[0], POLLIN, 0};
        char number[16] = {};
        if (m_server.waitForStarted(kStartMs) && ::poll(&entry, 1, kStartMs) > 0 &&
            ::read(fds[0], number, sizeof number - 1) > 0)
            m_display = ":" + QByteArray(number).trimmed();
        ::close(fds[0]);
    }
    ~CVirtualXServer() {
        m_server.terminate();
        m_server.waitForFinished(kStartMs);
    }
    const QByteArray& Display() const { return m_display; }

private:
    QProcess m_server;
    QByteArray m_display;
};

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

Connection Connect(const QByteArray& display) {
    return {xcb_connect(display.constData(), nullptr), &xcb_disconnect};
}

template <typename Reply> std::unique_ptr<Reply, decltype(&std::free)> Owned(Reply* reply) {
    return {reply, &std::free};
}

// Whether the server's screen saver is on, as its extension reports it.
bool SaverOn(xcb_connection_t* pConnection) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(pConnection)).data->root;
    const auto info = Owned(xcb_screensaver_query_info_reply(
        pConnection, xcb_screensaver_query_info(pConnection, root), nullptr));
    return info && info->state == XCB_SCREENSAVER_STATE_ON;
}

bool SaverOnWithin(xcb_connection_t* pConnection, int nMilliseconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!SaverOn(pConnection) && elapsed.elapsed() < nMilliseconds)
        QThread::msleep(50);
    return SaverOn(pConnection);
}

} // namespace

TEST(XServerBlanking, TheScreenSaverStaysOffWhileTheShowRunsAndComesBackAfter) {
    const CVirtualXServer server;
    if (server.Display().isEmpty())
        GTEST_SKIP() << "no Xvfb";
    const Connection observer = Connect(server.Display());
    const Connection show = Connect(server.Display());
    ASSERT_FALSE(xcb_connection_has_error(observer.get()));
    // The saver comes on after a second without input.
    xcb_set_screen_saver(observer.get(), 1, 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
    xcb_flush(observer.get());
    ASSERT_TRUE(SaverOnWithin(observer.get(), 3000)) << "the server blanks by itself";
    const bool bDpms = xcb_get_extension_data(observer.get(), &xcb_dpms_id)->present;
    if (bDpms)
        xcb_dpms_enable(observer.get());

    {
        CXcbScreenSaver saver(show.get());
        saver.Suspend();
        EXPECT_EQ(saver.HeldBy(), blanking::kXScreenSaver | (bDpms ? blanking::kDpms : 0U));
        EXPECT_FALSE(SaverOnWithin(observer.get(), 1500)) << "suspended, and switched off";
        if (bDpms) {
            const auto info =
                Owned(xcb_dpms_info_reply(observer.get(), xcb_dpms_info(observer.get()), nullptr));
            EXPECT_FALSE(info && info->state) << "DPMS off while the show runs";
        }
    } // the end of the show

    EXPECT_TRUE(SaverOnWithin(observer.get(), 3000)) << "the saver works again";
    if (bDpms) {
        const auto info =
            Owned(xcb_dpms_info_reply(observer.get(), xcb_dpms_info(observer.get()), nullptr));
        EXPECT_TRUE(info && info->state) << "DPMS on again, as it was";
    }
    CXcbScreenSaver elsewhere(nullptr); // not under X11
    elsewhere.Suspend();
    EXPECT_EQ(elsewhere.HeldBy(), 0U);
}
