#pragma once
// Fakes for the view's seams: a settable clock, a sync that records its calls, a power-off
// that only counts, a screen-saver inhibition that only remembers, and a helper that answers
// the next modal dialog or message box. Shared by the view and main-window tests.

#include "platform/PowerOff.h"
#include "platform/ScreenSaver.h"
#include "settings/Clock.h"
#include "show/ZelvoraView.h"
#include "sync/PortalSync.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFakeClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    qint64 SteadyMs() const override { return m_nSteadyMs; }
    std::time_t m_now = LocalTime(2026, 3, 10, 14, 0, 0);
    qint64 m_nSteadyMs = 1000000;
};

class CRecordingSync final : public IPortalSync {
public:
    explicit CRecordingSync(std::vector<std::string>& log, std::function<void()> onUsed = {})
        : m_log(log), m_onUsed(std::move(onUsed)) {}
    void UpdatePictureList() override {
        m_log.push_back("UpdatePictureList");
        if (m_onUsed)
            m_onUsed();
    }
    bool UpdateNeuFzPictureList() override {
        m_log.push_back("UpdateNeuFzPictureList");
        return true;
    }

private:
    std::vector<std::string>& m_log;
    std::function<void()> m_onUsed;
};

class CFakePowerOff final : public IPowerOff {
public:
    void ShutdownPC() override { ++m_nCalls; }
    int m_nCalls = 0;
};

class CFakeScreenSaver final : public IScreenSaver {
public:
    void Inhibit() override { m_bHeld = true; }
    void Release() override { m_bHeld = false; }
    unsigned HeldBy() const override { return m_bHeld ? blanking::kDesktop : 0U; }
    bool m_bHeld = false;
};

// Everything a view needs, with a log of the sync calls; onUsed runs inside each used-vehicle
// sync (to write cache files, or to look at the view's state at that moment).
struct ViewSeams {
    std::vector<std::string> log;
    std::function<void()> onUsed;
    CFakeClock clock;
    CFakePowerOff powerOff;
    CFakeScreenSaver screenSaver;

    // The job calls it, and the sync, on its worker thread.
    CZelvoraView::SyncFactory SyncFactory() {
        return [this](CSatzStore&, const SyncOptions&) {
            return std::make_unique<CRecordingSync>(log, [this] {
                if (onUsed)
                    onUsed();
            });
        };
    }
    CZelvoraView* NewView(QWidget* parent = nullptr) {
        return new CZelvoraView(SyncFactory(), clock, powerOff, screenSaver, parent);
    }
};

// Lets the view's sync job run to its end, as the event loop would.
inline void WaitForJob(const CZelvoraView& view) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (view.Job().IsRunning() && elapsed.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Counts the close events a widget receives.
class CCloseCounter final : public QObject {
public:
    CCloseCounter(QWidget& widget, int& nCloses) : m_nCloses(nCloses) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            ++m_nCloses;
        return false;
    }

private:
    int& m_nCloses;
};

// Answers every modal dialog and message box shown while it lives: a message box with the
// given button, any other dialog with reject(). Records what each one showed.
class CModalAnswerer {
public:
    struct Seen {
        QString strTitle;
        QString strText; // message boxes only
        QMessageBox::StandardButtons buttons;
    };

    explicit CModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : m_answer(answer) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Answer(); });
        m_timer.start(5);
    }

    std::vector<Seen> m_seen;

private:
    void Answer() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            m_seen.push_back({box->windowTitle(), box->text(), box->standardButtons()});
            if (QAbstractButton* button = box->button(m_answer))
                button->click();
            else
                box->reject();
        } else {
            m_seen.push_back({dialog->windowTitle(), QString(), {}});
            dialog->reject();
        }
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};
