#include "platform/DBusScreenSaver.h"

#include <QCoreApplication>
#include <QDBusContext>
#include <QDBusError>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr int kWaitMs = 5000;
constexpr int kRecheckMs = 100;

// A private session bus of the test's own.
class CPrivateBus {
public:
    CPrivateBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
        if (m_daemon.waitForStarted(kWaitMs) && m_daemon.waitForReadyRead(kWaitMs))
            m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
    }
    ~CPrivateBus() {
        m_daemon.terminate();
        m_daemon.waitForFinished(kWaitMs);
    }
    const QString& Address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

class CFakeScreenSaverObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    CFakeScreenSaverObject(std::atomic<int>& nFailures, std::atomic<int>& nHeld)
        : m_nFailures(nFailures), m_nHeld(nHeld) {}

public slots:
    uint Inhibit(const QString&, const QString&) {
        if (m_nFailures > 0) {
            --m_nFailures;
            sendErrorReply(QDBusError::Failed, QStringLiteral("busy"));
            return 0;
        }
        m_held.insert(++m_nNext); // numbered afresh by each start, as a real service does
        m_nHeld = static_cast<int>(m_held.size());
        return m_nNext;
    }
    void UnInhibit(uint nCookie) {
        m_held.erase(nCookie);
        m_nHeld = static_cast<int>(m_held.size());
    }

private:
    std::atomic<int>& m_nFailures;
    std::atomic<int>& m_nHeld;
    std::set<uint> m_held;
    uint m_nNext = 0;
};

// The screen-saver service on its own connection and thread, as another process would be.
class CFakeService : public QThread {
public:
    CFakeService(const QString& address, int nFailures)
        : m_address(address), m_nFailures(nFailures) {
        start();
        QElapsedTimer elapsed;
        elapsed.start();
        while (!m_bUp && elapsed.elapsed() < kWaitMs)
            QThread::msleep(5);
    }
    ~CFakeService() override {
        quit();
        wait();
    }
    std::atomic<int> m_nHeld{0};

protected:
    void run() override {
        const QString name = QStringLiteral("service%1").arg(reinterpret_cast<quintptr>(this));
        {
            QDBusConnection bus = QDBusConnection::connectToBus(m_address, name);
            CFakeScreenSaverObject object(m_nFailures, m_nHeld);
            bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &object,
                               QDBusConnection::ExportAllSlots);
            bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
            m_bUp = true;
            exec();
        }
        QDBusConnection::disconnectFromBus(name);
    }

private:
    QString m_address;
    std::atomic<int> m_nFailures;
    std::atomic<bool> m_bUp{false};
};

bool Within(const std::function<bool()>& condition) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition() && elapsed.elapsed() < kWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Several rechecks pass.
void Rechecks() {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 4 * kRecheckMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(DesktopBlanking, HeldOnceAndAgainAfterFailuresLateStartsAndRestartsOfTheService) {
    const CPrivateBus bus;
    if (bus.Address().isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    struct Row {
        const char* szCase;
        int nFailures;   // calls the service fails first
        bool bLate;      // it appears only after the show asked
        bool bRestarted; // it goes away and comes back
        int nRetryMs;
    } const rows[] = {
        {"there from the start", 0, false, false, 60000},
        {"failing twice: tried again", 2, false, false, 50},
        {"appearing later: asked when it appears", 0, true, false, 60000},
        {"restarted: asked anew, with the new cookie kept", 0, false, true, 60000},
    };
    QDBusConnection client = QDBusConnection::connectToBus(bus.Address(), QStringLiteral("show"));
    ASSERT_TRUE(client.isConnected());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.szCase);
        auto service =
            row.bLate ? nullptr : std::make_unique<CFakeService>(bus.Address(), row.nFailures);
        CDBusScreenSaver saver(client, kRecheckMs, row.nRetryMs);
        saver.Inhibit();
        if (row.bLate) {
            Rechecks();
            EXPECT_FALSE(saver.IsHeld());
            service = std::make_unique<CFakeService>(bus.Address(), 0);
        }
        ASSERT_TRUE(Within([&] { return saver.IsHeld(); }));
        if (row.bRestarted) {
            service.reset();
            EXPECT_TRUE(Within([&] { return !saver.IsHeld(); })) << "gone with its service";
            service = std::make_unique<CFakeService>(bus.Address(), 0);
            ASSERT_TRUE(Within([&] { return saver.IsHeld(); }));
        }
        Rechecks();
        EXPECT_TRUE(saver.IsHeld());
        EXPECT_EQ(service->m_nHeld, 1) << "each recheck gives the inhibition it replaces back";
        saver.Release();
        EXPECT_TRUE(Within([&] { return service->m_nHeld == 0; }));
        EXPECT_FALSE(saver.IsHeld());
    }
}

#include "DBusScreenSaverTest.moc"
