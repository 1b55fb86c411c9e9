// The show and the network. Two measurements:
//
// - Start to first slide: a cache of 999 used vehicles with five photos each (the list holds
//   at most 999), filled once by a sync from the demo portal; then the program's view is started
//   in a child process, once each with the portal answering, refusing connections, and silent
//   (it takes the requests and answers only after the time-out). Prints the time from the
//   child's start to its first painted slide. Target: at most 1 s in each state.
// - Longest stall: a first sync into an empty cache of 200 used vehicles of five photos each,
//   with the portal adding 50 ms to every answer; a timer of the user-interface thread ticks
//   every 10 ms while the job runs and until the show has started. Prints the longest gap
//   between two ticks. Target: at most 100 ms.
//
// Usage: show_start [start|stall]   (default both)

#include "NoPlatform.h"
#include "PortalServer.h"
#include "PortalStock.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/ViewConstants.h"
#include "show/ZelvoraView.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSyncSteps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

using namespace benchstock;

constexpr int kCachedVehicles = 999;
constexpr int kStallVehicles = 200;
constexpr int kStallDelayMs = 50;
constexpr int kProbePeriodMs = 10;
constexpr char kFirstSlide[] = "first slide after";

// Reports once the view paints a slide.
class CFirstSlide final : public QObject {
public:
    CFirstSlide(CZelvoraView& view, std::function<void()> seen)
        : m_view(view), m_seen(std::move(seen)) {
        view.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_seen && m_view.Store().m_bSatzLoaded &&
            m_view.Store().m_nCurrentSatz >= 0)
            std::exchange(m_seen, nullptr)();
        return false;
    }

private:
    CZelvoraView& m_view;
    std::function<void()> m_seen;
};

// The program's view on the portal at port, as the program starts it.
std::unique_ptr<CZelvoraView> StartView(int nPort, IPowerOff& powerOff, IScreenSaver& saver) {
    WriteProfileInt(setting::kSection, setting::kProxyOn, 1);
    WriteProfileString(setting::kSection, setting::kProxyIP, QStringLiteral("127.0.0.1"));
    WriteProfileInt(setting::kSection, setting::kProxyPort, nPort);
    auto view = std::make_unique<CZelvoraView>(
        [](CSatzStore& store, const SyncOptions& options) {
            return std::make_unique<CPortalSync>(store, options);
        },
        SystemClock(), powerOff, saver);
    view->resize(1366, 768);
    view->OnInitialUpdate();
    view->show();
    return view;
}

// The child: the view until its first slide, then the time since the process started.
int ShowChild(int nPort) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    CNoPowerOff powerOff;
    CNoScreenSaver saver;
    const auto view = StartView(nPort, powerOff, saver);
    CFirstSlide first(*view, [&] {
        std::printf("%s %lld ms\n", kFirstSlide, static_cast<long long>(sinceStart.elapsed()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

double MeasureStart(const QString& self, int nPort) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer elapsed;
    elapsed.start();
    child.start(self, {QStringLiteral("--child"), QString::number(nPort)});
    while (child.waitForReadyRead(30000))
        if (child.readAll().contains(kFirstSlide))
            return elapsed.nsecsElapsed() / 1e6;
    return -1;
}

bool Start(const QString& self, const QString& data) {
    std::printf("generating %d used vehicles with %d photos each ...\n", kCachedVehicles,
                kPhotosPerVehicle);
    if (!WritePortalData(data, kCachedVehicles))
        return false;
    demoportal::CPortalServer portal(data);
    if (!portal.Start())
        return false;
    {
        CSatzStore store;
        store.m_nSprache = 1;
        store.m_nResMode = 1;
        store.SetConnectionTarget("127.0.0.1", portal.Port());
        std::printf("filling the cache ...\n");
        CPortalSync(store).UpdatePictureList();
        CPortalSync(store).UpdateNeuFzPictureList();
    }
    const int nPort = portal.Port();
    bool bMet = true;
    const auto report = [&](const char* state, double dMs) {
        std::printf("start to first slide, portal %-10s %8.0f ms\n", state, dMs);
        bMet = bMet && dMs >= 0 && dMs <= 1000;
    };
    report("answering", MeasureStart(self, nPort));
    demoportal::PortalConfig silent;
    silent.faults.push_back(*demoportal::ParseFaultRule(QStringLiteral("=delay:60000")));
    portal.SetConfig(silent);
    report("silent", MeasureStart(self, nPort));
    portal.Stop();
    report("refusing", MeasureStart(self, nPort));
    return bMet;
}

bool Stall(const QString& data) {
    QTemporaryDir work;
    if (!WritePortalData(data, kStallVehicles) || !QDir(work.path()).mkpath("Daten") ||
        !QDir(work.path()).mkpath("Bilder") || !QDir::setCurrent(work.path()))
        return false;
    demoportal::PortalConfig slow;
    slow.faults.push_back(
        *demoportal::ParseFaultRule(QStringLiteral("=delay:%1").arg(kStallDelayMs)));
    demoportal::CPortalServer portal(data, slow);
    if (!portal.Start())
        return false;
    CNoPowerOff powerOff;
    CNoScreenSaver saver;
    const auto view = StartView(portal.Port(), powerOff, saver);
    QElapsedTimer sinceTick;
    qint64 nLongest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { nLongest = std::max(nLongest, sinceTick.restart()); });
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    probe.start(kProbePeriodMs);
    // Past the first-load timer, through the job, and a little beyond the show's start.
    while (total.elapsed() < 1000 || view->Job().IsRunning() || !view->IsRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 nJobMs = total.elapsed();
    while (total.elapsed() < nJobMs + 500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("first sync of %d x %d with %d ms per answer: %.1f s, %d slides, longest stall "
                "%lld ms (ticks every %d ms)\n",
                kStallVehicles, kPhotosPerVehicle, kStallDelayMs, nJobMs / 1000.0,
                view->Store().m_nSatzCount, static_cast<long long>(nLongest), kProbePeriodMs);
    return nLongest <= 100;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--child") {
        QApplication app(argc, argv);
        return ShowChild(argc > 2 ? QByteArray(argv[2]).toInt() : 0);
    }
    // Never the user's settings; the child inherits the folder and the working directory.
    QTemporaryDir work;
    QTemporaryDir data;
    if (!work.isValid() || !data.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QDir(work.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    SaveCredentials(QString::number(kKundenNr), QString::fromLatin1(kPasswort));
    WriteProfileInt(setting::kSection, setting::kSpeed, view::kMinSpeed);
    bool bMet = true;
    if (mode.isEmpty() || mode == "stall")
        bMet = Stall(QDir(data.path()).filePath(QStringLiteral("stall"))) && bMet;
    if (mode.isEmpty() || mode == "start") {
        if (!QDir(work.path()).mkpath("Daten") || !QDir(work.path()).mkpath("Bilder") ||
            !QDir::setCurrent(work.path()))
            return 1;
        bMet = Start(QCoreApplication::applicationFilePath(),
                     QDir(data.path()).filePath(QStringLiteral("start"))) &&
               bMet;
    }
    std::printf(bMet ? "targets met\n" : "FAILED: a target was missed\n");
    return bMet ? 0 : 1;
}
