#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "show/ZelvoraView.h"

#include "platform/ServiceNotifier.h"
#include "support/NotifySocket.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"
#include "sync/CredentialStore.h"
#include "sync/SyncStatus.h"

#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <gtest/gtest.h>

using namespace view;

namespace {

constexpr int kTickMs = 50;
constexpr int kStepMs = 3000;

void WriteRecord(int nSatzNr) {
    const QString photo = QStringLiteral("foto_%1.jpg").arg(nSatzNr);
    WritePhoto(QStringLiteral("Bilder/") + photo, 800, 600, Qt::darkCyan);
    QList<QByteArray> lines(20);
    lines[0] = "Titel " + QByteArray::number(nSatzNr);
    lines[7] = photo.toLatin1();
    lines[18] = "MARKE";
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_1_%1.txt").arg(nSatzNr), lines.join('\n'));
}

bool Contains(const std::vector<std::string>& messages, const std::string& start) {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& message) { return message.rfind(start, 0) == 0; });
}

// A view on screen under a unit whose watchdog ticks every kTickMs; the steady clock moves only
// when the test says.
struct WatchedShow {
    CTempWorkDir dir;
    ViewSeams seams;
    CNotifySocket manager;
    std::unique_ptr<CZelvoraView> view;
    CServiceNotifier notifier{kTickMs};
    std::vector<std::string> messages;

    WatchedShow(bool bCredentials, int nRecords) {
        if (bCredentials)
            SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
        SyncOutcome last;
        last.time = LocalTime(2026, 3, 10, 10, 3, 0);
        WriteSyncOutcome(SyncKind::Used, last);
        for (int n = 1; n <= nRecords; ++n)
            WriteRecord(n);
        view.reset(seams.NewView());
        QObject::connect(view.get(), &CZelvoraView::FirstFramePainted, &notifier,
                         [this] { notifier.Ready([this] { return view->CheckProgress(); }); });
        QObject::connect(view.get(), &CZelvoraView::ServiceStatus, &notifier,
                         &CServiceNotifier::Status);
        view->OnInitialUpdate();
        if (bCredentials) {
            view->OnTimer(TIMER_START_LOAD);
            WaitForJob(*view);
        }
        view->OnCommand(command::kSpeed3s);
        view->resize(640, 360);
        messages = manager.During(kTickMs);
        EXPECT_FALSE(Contains(messages, "READY=1")) << "not before the first frame";
        view->show();
        for (std::string& message : manager.During(kTickMs))
            messages.push_back(std::move(message));
    }
    // Time passes with the event loop turning, but without the slide timer's steps.
    void Pass(int nMilliseconds) {
        for (int nDone = 0; nDone < nMilliseconds; nDone += kStepMs) {
            seams.clock.m_nSteadyMs += std::min(kStepMs, nMilliseconds - nDone);
            QCoreApplication::processEvents();
        }
    }
    void Step() {
        view->OnTimer(TIMER_NEXT_SATZ);
        QCoreApplication::processEvents();
    }
};

// Paint events that never complete.
class CPaintEater final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Paint; }
};

} // namespace

TEST(ViewWatchdog, FedWhileTheSlidesStepOrTheShowIsStillOnPurposeAndPaints) {
    struct Row {
        const char* szCase;
        bool bCredentials;
        int nRecords;
        std::function<void(WatchedShow&)> live; // what happens after the first frame
        bool bFed;
    };
    const int kLate = kStepMs + kStepMarginMs + 1000;
    const int kLong = 10 * 60 * 1000;
    QDialog* dialog = nullptr;
    CPaintEater paintsLost;
    const Row rows[] = {
        {"the slides step", true, 3,
         [&](WatchedShow& show) {
             for (int n = 0; n < 4; ++n) {
                 show.Pass(kLate - 2000);
                 show.Step();
             }
         },
         true},
        {"the slides stop stepping", true, 3, [&](WatchedShow& show) { show.Pass(kLate); }, false},
        {"stopped by the operator", true, 3,
         [&](WatchedShow& show) {
             show.view->StartStop();
             show.Pass(kLong);
         },
         true},
        {"a dialog open", true, 3,
         [&](WatchedShow& show) {
             dialog = new QDialog(show.view.get());
             dialog->setModal(true);
             dialog->show();
             show.Pass(kLong);
         },
         true},
        {"a menu open", true, 3,
         [&](WatchedShow& show) {
             auto* menu = new QMenu(show.view.get());
             menu->addAction(QStringLiteral("Start"));
             menu->popup(QPoint(10, 10));
             show.Pass(kLong);
         },
         true},
        {"the status page shown", true, 3,
         [&](WatchedShow& show) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_I, Qt::NoModifier, QStringLiteral("i"));
             QCoreApplication::sendEvent(show.view.get(), &press);
             show.Pass(kLong);
         },
         true},
        {"waiting for credentials", false, 0, [&](WatchedShow& show) { show.Pass(kLong); }, true},
        {"an empty catalogue", true, 0, [&](WatchedShow& show) { show.Pass(kLong); }, true},
        {"still, but no longer painting", true, 3,
         [&](WatchedShow& show) {
             show.view->StartStop();
             show.view->installEventFilter(&paintsLost);
             show.Pass(kPaintedWithinMs + 1000);
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.szCase);
        WatchedShow show(row.bCredentials, row.nRecords);
        ASSERT_TRUE(Contains(show.messages, "READY=1")) << "once the first frame is painted";
        row.live(show);
        show.manager.Drain(); // judged while time passed
        std::vector<std::string> messages = show.manager.During(4 * kTickMs);
        EXPECT_EQ(Contains(messages, "WATCHDOG=1"), row.bFed);
        if (row.nRecords > 0) {
            EXPECT_EQ(show.messages.front(), "STATUS=Fahrzeug 2 von 3 · Abgleich 10:03 ok")
                << "when the job ends";
        }
        delete std::exchange(dialog, nullptr);
    }
}
