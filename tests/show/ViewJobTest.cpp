// The view with its sync job against the demo portal on loopback: the show goes on while the
// portal is slow, and the end of the program does not wait for it.
#include "../sync/SyncFixture.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "show/ZelvoraView.h"
#include "support/TestPhotos.h"
#include "sync/PortalSyncSteps.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPaintEvent>
#include <functional>

using namespace view;

namespace {

// Looks at the view as each paint begins.
class CPaintProbe final : public QObject {
public:
    CPaintProbe(QWidget& widget, std::function<void()> look) : m_look(std::move(look)) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_look();
        return false;
    }

private:
    std::function<void()> m_look;
};

class ViewJob : public CSyncFixture {
protected:
    ViewJob() {
        int nSeed = 0;
        for (int nSatzNr = 40101; nSatzNr <= 40103; ++nSatzNr) {
            const QString bild = QStringLiteral("%1_1").arg(nSatzNr);
            WriteOccasion(nSatzNr, QStringLiteral("2024-05-01 10:00:00"), {bild});
            WriteOccasionPhoto(bild + QStringLiteral(".jpg"), Photo(++nSeed));
        }
        WriteProfileInt(setting::kSection, setting::kSpeed, kMinSpeed);
        // The connection target comes from the proxy settings: the portal on loopback.
        WriteProfileInt(setting::kSection, setting::kProxyOn, 1);
        WriteProfileString(setting::kSection, setting::kProxyIP, QStringLiteral("127.0.0.1"));
        WriteProfileInt(setting::kSection, setting::kProxyPort, m_portal.Port());
    }

    CZelvoraView& StartView() {
        m_view.reset(new CZelvoraView(
            [this](CSatzStore& store, const SyncOptions& options) {
                SyncOptions shortened = options;
                shortened.nRequestTimeout = m_options.nRequestTimeout;
                return std::make_unique<CPortalSync>(store, shortened, m_clock);
            },
            m_clock, m_powerOff, m_screenSaver));
        m_view->resize(1366, 768);
        m_view->show();
        m_view->OnInitialUpdate();
        m_view->OnTimer(TIMER_START_LOAD);
        return *m_view;
    }
    // Runs the event loop for the given time, or less once done() holds.
    void Run(
        int nMilliseconds, const std::function<bool()>& done = [] { return false; }) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < nMilliseconds && !done())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    CFakePowerOff m_powerOff;
    CFakeScreenSaver m_screenSaver;
    std::unique_ptr<CZelvoraView> m_view;
};

} // namespace

TEST_F(ViewJob, SlidesAdvanceFromTheCacheWhileTheJobWaitsOnASlowPortal) {
    {
        // A first start fills the cache.
        CZelvoraView& view = StartView();
        EXPECT_FALSE(view.IsRunning()) << "nothing cached: the waiting message with progress";
        WaitForJob(view);
        ASSERT_EQ(view.Store().m_nSatzCount, 3);
        m_view.reset();
    }
    SetFault(QStringLiteral("fn=1=delay:4000"));
    CZelvoraView& view = StartView();
    EXPECT_TRUE(view.IsRunning()) << "the cache shows at once";
    EXPECT_EQ(view.Store().m_nSatzCount, 3);
    std::vector<int> shown{view.Store().m_nCurrentSatz};
    QElapsedTimer elapsed;
    elapsed.start();
    while (view.Job().IsRunning() && elapsed.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (view.Store().m_nCurrentSatz != shown.back())
            shown.push_back(view.Store().m_nCurrentSatz);
    }
    EXPECT_TRUE(view.Job().IsRunning());
    EXPECT_GE(shown.size(), 3u) << "a slide a second while the portal keeps the job waiting";

    // The end of the program cancels the job at once; every file stays whole.
    elapsed.restart();
    m_view.reset();
    EXPECT_LT(elapsed.elapsed(), 1000);
    QDirIterator it(QStringLiteral("Bilder"), QDir::Files | QDir::Hidden);
    while (it.hasNext())
        EXPECT_FALSE(QImage(it.next()).isNull());
    EXPECT_EQ(
        QDir(QStringLiteral("Daten")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        QStringList({QStringLiteral("NeufahrzeugeListe.txt"),
                     QStringLiteral("SatzNrListeAktuell.txt"), QStringLiteral("satz_12_40101.txt"),
                     QStringLiteral("satz_12_40102.txt"), QStringLiteral("satz_12_40103.txt")}))
        << "nothing half written beside them";
}

TEST_F(ViewJob, TheRebuildIsNeverPaintedHalfDoneAndTakenPhotosAreSkipped) {
    CZelvoraView& first = StartView();
    WaitForJob(first);
    ASSERT_EQ(first.Store().m_nSatzCount, 3);
    m_view.reset();

    // The next sync replaces 40101 by 40104, so its record and photo go.
    RemoveOccasion(40101);
    WriteOccasion(40104, QStringLiteral("2024-05-01 10:00:00"), {QStringLiteral("40104_1")});
    WriteOccasionPhoto(QStringLiteral("40104_1.jpg"), Photo(9));
    SetFault(QStringLiteral("40104_1=delay:1500"));
    CZelvoraView& view = StartView();
    ASSERT_EQ(view.Store().m_nCurrentSatz, 1);
    // Every paint sees a catalogue whose slides all have their main photo slot.
    int nPaints = 0;
    int nHalfBuilt = 0;
    CPaintProbe probe(view, [&] {
        ++nPaints;
        const CSatzStore& store = view.Store();
        for (int n = 0; n < store.m_nSatzCount; ++n)
            if (store.m_pPictures[store.m_satz[n].nBild[0]].strPath.isEmpty())
                ++nHalfBuilt;
    });
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &view, [&] { view.repaint(); });
    repaint.start(2);
    // The list has come: the photo of slide 0, never decoded, is gone. Awaited rather than
    // timed, as a loaded machine may take longer; the delayed photo keeps the job running.
    Run(1400, [] { return !QFile::exists(QStringLiteral("Bilder/40101_1.jpg")); });
    Run(20);
    ASSERT_TRUE(view.Job().IsRunning());
    view.OnKeyDown(key::kLeft, 1);
    EXPECT_EQ(view.Store().m_nCurrentSatz, 2) << "slide 0 lost its photo: passed over";
    view.OnKeyDown(key::kRight, 1);
    EXPECT_EQ(view.Store().m_nCurrentSatz, 1);
    WaitForJob(view);
    EXPECT_EQ(view.Store().m_nSatzCount, 3);
    EXPECT_TRUE(view.Store().m_satz[2].strTitel.endsWith(QLatin1String("40104")));
    Run(50);
    EXPECT_GT(nPaints, 10);
    EXPECT_EQ(nHalfBuilt, 0);
}
