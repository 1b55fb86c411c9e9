#include "platform/ScreenSaver.h"
#include "platform/DBusScreenSaver.h"
#include "platform/XcbScreenSaver.h"

#include <QCoreApplication>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <xcb/screensaver.h>

namespace {

bool Within(int nMilliseconds, const std::function<bool()>& condition) {
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        if (condition())
            return true;
        if (elapsed.elapsed() >= nMilliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

struct ServiceCounts {
    std::atomic<int> nFailures; // calls answered with an error first
    std::atomic<int> nHeld{0};
};

class CFakeServiceObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit CFakeServiceObject(ServiceCounts& counts) : m_counts(counts) {}

public slots:
    uint Inhibit(const QString&, const QString&) {
        if (m_counts.nFailures-- > 0)
            sendErrorReply(QDBusError::Failed, QStringLiteral("busy"));
        else
            m_held.insert(++m_nNext);
        m_counts.nHeld = static_cast<int>(m_held.size());
        return m_nNext;
    }
    void UnInhibit(uint nCookie) {
        m_held.erase(nCookie);
        m_counts.nHeld = static_cast<int>(m_held.size());
    }

private:
    ServiceCounts& m_counts;
    std::set<uint> m_held;
    uint m_nNext = 0;
};

// A screen-saver service on the session bus, with a connection and thread of its own as another
// process would have. Its cookies are numbered afresh by each start, as a real service's are.
class CFakeService : public QThread {
public:
    explicit CFakeService(int nFailures) {
        m_counts.nFailures = nFailures;
        start();
        Within(5000, [this] { return m_bUp.load(); });
    }
    ~CFakeService() override {
        quit();
        wait();
    }
    int Held() const { return m_counts.nHeld; }

private:
    void run() override {
        const QString name = QString::number(reinterpret_cast<quintptr>(this));
        {
            QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            CFakeServiceObject object(m_counts);
            bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &object,
                               QDBusConnection::ExportAllSlots);
            bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
            m_bUp = true;
            exec();
        }
        QDBusConnection::disconnectFromBus(name);
    }

    ServiceCounts m_counts;
    std::atomic<bool> m_bUp{false};
};

// Whether the X server's screen saver is on, as its extension reports it.
bool SaverOn(xcb_connection_t* pConnection) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(pConnection)).data->root;
    xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
        pConnection, xcb_screensaver_query_info(pConnection, root), nullptr);
    const bool bOn = info && info->state == XCB_SCREENSAVER_STATE_ON;
    std::free(info);
    return bOn;
}

} // namespace

// Run on a private session bus (dbus-run-session).
TEST(DesktopBlanking, HeldOnceAndAgainAfterFailuresLateStartsAndRestartsOfTheService) {
    constexpr int kRecheckMs = 100;
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    const struct {
        const char* szCase;
        int nFailures;
        bool bLate;      // the service appears only after the show asked
        bool bRestarted; // it goes away and comes back
        int nRetryMs;
    } rows[] = {
        {"there from the start", 0, false, false, 60000},
        {"failing twice: tried again", 2, false, false, 50},
        {"appearing later: asked when it appears", 0, true, false, 60000},
        {"restarted: asked anew, the new cookie kept", 0, false, true, 60000},
    };
    const auto rechecks = [] {
        Within(4 * kRecheckMs, [] { return false; });
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.szCase);
        auto service = row.bLate ? nullptr : std::make_unique<CFakeService>(row.nFailures);
        CDBusScreenSaver saver(QDBusConnection::sessionBus(), kRecheckMs, row.nRetryMs);
        saver.Inhibit();
        if (row.bLate) {
            rechecks();
            EXPECT_FALSE(saver.IsHeld());
            service = std::make_unique<CFakeService>(0);
        }
        ASSERT_TRUE(Within(5000, [&] { return saver.IsHeld(); }));
        if (row.bRestarted) {
            service.reset();
            EXPECT_TRUE(Within(5000, [&] { return !saver.IsHeld(); })) << "gone with its service";
            service = std::make_unique<CFakeService>(0);
            ASSERT_TRUE(Within(5000, [&] { return saver.IsHeld(); }));
        }
        rechecks();
        EXPECT_TRUE(saver.IsHeld());
        // A recheck holds the new inhibition before it gives the old one back, so two may be
        // held for a moment; one that kept the old ones would only ever count up.
        EXPECT_TRUE(Within(5000, [&] { return service->Held() == 1; }))
            << "each recheck gives the inhibition it replaces back";
        saver.Release();
        EXPECT_TRUE(Within(5000, [&] { return service->Held() == 0; }));
    }
}

// Run on a virtual X server (xvfb-run).
TEST(XServerBlanking, TheScreenSaverStaysOffWhileTheShowRunsAndComesBackAfter) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X server";
    xcb_connection_t* observer = xcb_connect(nullptr, nullptr);
    xcb_connection_t* show = xcb_connect(nullptr, nullptr);
    const auto on = [observer](int nMilliseconds) {
        return Within(nMilliseconds, [observer] { return SaverOn(observer); });
    };
    // The saver comes on after a second without input.
    xcb_set_screen_saver(observer, 1, 0, XCB_BLANKING_PREFERRED, XCB_EXPOSURES_ALLOWED);
    xcb_flush(observer);
    ASSERT_TRUE(on(3000)) << "the server blanks by itself";
    {
        CXcbScreenSaver saver(show);
        saver.Suspend();
        EXPECT_TRUE(saver.HeldBy() & blanking::kXScreenSaver);
        EXPECT_FALSE(on(1500)) << "switched off and suspended";
    } // the end of the show
    EXPECT_TRUE(on(3000)) << "the saver works again";
    xcb_disconnect(show);
    xcb_disconnect(observer);
}

#include "ScreenSaverTest.moc"
