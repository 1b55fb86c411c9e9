// The status page in the running view: "I" opens it over the slide, any key closes it, and
// neither touches the show.

#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "show/ZelvoraView.h"

#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"
#include "sync/CredentialStore.h"

#include <QFile>
#include <QJsonDocument>
#include <QKeyEvent>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

using namespace view;

namespace {

constexpr int kAllTimers[] = {TIMER_START_LOAD, TIMER_ONLINE_UPDATE, TIMER_NEXT_SATZ,
                              TIMER_SETTINGS_CHANGED, TIMER_SHUTDOWN_CHECK};

void WriteRecord(int nSatzNr) {
    const QString photo = QStringLiteral("foto_%1.jpg").arg(nSatzNr);
    WritePhoto(QStringLiteral("Bilder/") + photo, 800, 600, QColor(40, 160, 220));
    QList<QByteArray> lines(20);
    lines[0] = "Titel " + QByteArray::number(nSatzNr);
    lines[2] = "9000";
    lines[7] = photo.toLatin1();
    lines[18] = "MARKE";
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_1_%1.txt").arg(nSatzNr), lines.join('\n'));
}

// Everything of the show that the page must leave alone.
struct ShowSnapshot {
    int nCurrentSatz;
    bool bRunning;
    int nSpeed;
    std::map<int, int> intervals; // 0 for a stopped timer

    bool operator==(const ShowSnapshot&) const = default;
};

void PrintTo(const ShowSnapshot& s, std::ostream* os) {
    *os << "slide " << s.nCurrentSatz << (s.bRunning ? ", running" : ", stopped") << ", every "
        << s.nSpeed << " ms, timers";
    for (const auto& [nTimer, nInterval] : s.intervals)
        *os << ' ' << nTimer << '=' << nInterval;
}

class StatusView : public ::testing::Test {
protected:
    StatusView() {
        SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
        for (int n = 1; n <= 3; ++n)
            WriteRecord(n);
        m_view.reset(m_seams.NewView());
        m_view->resize(1366, 768);
        m_view->OnInitialUpdate();
        m_view->OnTimer(TIMER_START_LOAD);
        WaitForJob(*m_view);
    }

    ShowSnapshot Snapshot() const {
        ShowSnapshot snapshot{
            m_view->Store().m_nCurrentSatz, m_view->IsRunning(), m_view->Speed(), {}};
        for (const int nTimer : kAllTimers)
            snapshot.intervals[nTimer] = m_view->Timers().Interval(nTimer);
        return snapshot;
    }

    // Sends a key as the window system would; true when the view took it.
    bool Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, QString());
        QCoreApplication::sendEvent(m_view.get(), &event);
        return event.isAccepted();
    }

    // Paints the view and lets its look-ahead run, as the event loop would after a paint.
    QImage Shown() {
        const QImage image = m_view->grab().toImage();
        QCoreApplication::processEvents();
        return image;
    }

    CTempWorkDir m_dir;
    ViewSeams m_seams;
    std::unique_ptr<CZelvoraView> m_view;
};

} // namespace

TEST_F(StatusView, OpensOverTheSlideAndLeavesTheRunningShowAsItWas) {
    ASSERT_TRUE(m_view->IsRunning());
    const ShowSnapshot before = Snapshot();
    const QImage slide = Shown();

    EXPECT_TRUE(Press(Qt::Key_I));
    EXPECT_TRUE(m_view->IsStatusShown());
    const QImage withPage = Shown();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(withPage.pixel(2, 2), slide.pixel(2, 2)) << "the slide's edge stays as it was";
    EXPECT_LT(QColor(withPage.pixel(683, 384)).lightness(),
              QColor(slide.pixel(683, 384)).lightness())
        << "the page darkens the middle";

    // The slide timer goes on underneath; the page stays over the next slide.
    m_view->OnTimer(TIMER_NEXT_SATZ);
    EXPECT_EQ(m_view->Store().m_nCurrentSatz, (before.nCurrentSatz + 1) % 3);
    EXPECT_TRUE(m_view->IsStatusShown());
}

TEST_F(StatusView, AnyKeyClosesThePageAndIsNotActedOn) {
    struct Case {
        Qt::Key key;
        bool bStoppedFirst;
    };
    const Case cases[] = {{Qt::Key_Space, false},  {Qt::Key_Return, true}, {Qt::Key_Right, false},
                          {Qt::Key_Left, true},    {Qt::Key_Up, true},     {Qt::Key_Down, false},
                          {Qt::Key_Escape, false}, {Qt::Key_I, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        if (c.bStoppedFirst == m_view->IsRunning())
            m_view->StartStop();
        const ShowSnapshot before = Snapshot();
        ASSERT_TRUE(Press(Qt::Key_I));
        Shown();
        EXPECT_TRUE(Press(c.key));
        EXPECT_FALSE(m_view->IsStatusShown());
        EXPECT_EQ(Snapshot(), before);
    }

    // Closed, the keys act again.
    const int nBefore = m_view->Store().m_nCurrentSatz;
    Press(Qt::Key_Right);
    EXPECT_EQ(m_view->Store().m_nCurrentSatz, (nBefore + 1) % 3);
    EXPECT_FALSE(m_view->IsRunning());
}

TEST_F(StatusView, OtherLettersAndShortcutsDoNotOpenIt) {
    EXPECT_FALSE(Press(Qt::Key_A));
    EXPECT_FALSE(Press(Qt::Key_I, Qt::ControlModifier));
    EXPECT_FALSE(m_view->IsStatusShown());
    EXPECT_TRUE(m_view->IsRunning());
}

TEST_F(StatusView, OpensBeforeTheFirstLoadToo) {
    m_seams.log.clear();
    m_view.reset(m_seams.NewView());
    m_view->resize(1366, 768);
    m_view->OnInitialUpdate();
    const ShowSnapshot before = Snapshot();
    EXPECT_TRUE(Press(Qt::Key_I));
    // Painted without running the event loop: the first load's timer is due in 200 ms, which
    // a slow paint would let pass.
    m_view->grab();
    EXPECT_EQ(Snapshot(), before) << "the first load stays armed";
    EXPECT_TRUE(m_seams.log.empty()) << "and nothing is synchronised";
}

TEST_F(StatusView, SlideChangesAreTimedAndTheStatusFileFollowsTheSlideCount) {
    m_seams.clock.m_now = 1'800'000'000;
    Shown();
    const ShowFacts first = m_view->Facts(false);
    EXPECT_EQ(first.paint.nCount, 0) << "the first slide is no change";
    EXPECT_EQ(first.lastSlideChange, m_seams.clock.m_now);
    QFile status(QString::fromLatin1(kStatusFile));
    EXPECT_EQ(status.permissions() & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(QJsonDocument::fromJson(CTempWorkDir::ReadFile(status.fileName()))["slide"]["count"],
              3)
        << "written again once the slides were counted";

    m_seams.clock.m_now += 60;
    for (int n = 0; n < 2; ++n) {
        Press(Qt::Key_Right);
        Shown();
    }
    Shown(); // no change
    const ShowFacts facts = m_view->Facts(true);
    EXPECT_EQ(facts.paint.nCount, 2);
    EXPECT_GT(facts.paint.dLongestMs, 0);
    EXPECT_EQ(facts.lastSlideChange, m_seams.clock.m_now);
    EXPECT_EQ(facts.nPosition, m_view->Store().m_nCurrentSatz + 1) << "all three shown";
    EXPECT_EQ(facts.bilder.nFiles, 3);
}
