#pragma once
// A dialog host for tests: RunModal shows the dialog, lets the test work its controls and
// closes it as the close box would unless the test pressed a button; message boxes and
// questions are recorded and answered; the power-off only counts.

#include "catalogue/SatzStore.h"
#include "dialogs/DialogHost.h"
#include "platform/PowerOff.h"
#include "settings/Clock.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <vector>

class CFakePowerOff final : public IPowerOff {
public:
    void ShutdownPC() override { ++m_nCalls; }
    int m_nCalls = 0;
};

class CFakeClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = 0;
};

struct ShownMessage {
    QString strText;
    QString strCaption;
};

class CFakeDialogHost final : public IDialogHost {
public:
    CFakeDialogHost() { m_store.m_nSprache = 1; }

    CSatzStore& Store() override { return m_store; }
    IPowerOff& PowerOff() override { return m_powerOff; }
    const IClock& Clock() override { return m_clock; }
    QWidget* DialogParent() override { return nullptr; }

    int RunModal(QDialog& dialog) override {
        ++m_nModalRuns;
        dialog.show();
        if (m_operator)
            m_operator(dialog);
        if (dialog.isVisible())
            dialog.close();
        return dialog.result();
    }
    void ShowMessage(const QString& text, const QString& caption) override {
        m_messages.push_back({text, caption});
    }
    bool AskYesNo(const QString& text, const QString& caption) override {
        m_questions.push_back({text, caption});
        return m_bAnswerYes;
    }
    void StartSettingsChangedTimer() override { ++m_nSettingsTimerStarts; }
    void PostCloseRequest() override { ++m_nCloseRequests; }
    bool CanRestart() override { return m_bCanRestart; }
    void StopSyncJob() override {
        ++m_nJobStops;
        if (m_onJobStop)
            m_onJobStop();
    }
    void ResumeSyncJob() override { ++m_nJobResumes; }

    void ForgetWhatHappened() {
        m_nModalRuns = m_nSettingsTimerStarts = m_nCloseRequests = m_nJobStops = 0;
        m_messages.clear();
        m_questions.clear();
    }

    CSatzStore m_store;
    CFakePowerOff m_powerOff;
    CFakeClock m_clock;
    // What the operator does while the dialog is open.
    std::function<void(QDialog&)> m_operator;
    bool m_bAnswerYes = false;
    int m_nModalRuns = 0;
    int m_nSettingsTimerStarts = 0;
    int m_nCloseRequests = 0;
    bool m_bCanRestart = true;
    // Runs where a running sync job would be stopped.
    std::function<void()> m_onJobStop;
    int m_nJobStops = 0;
    int m_nJobResumes = 0;
    std::vector<ShownMessage> m_messages;
    std::vector<ShownMessage> m_questions;
};

// The control with identifier nId; a missing one fails the test.
template <typename W> W& Control(const QWidget& dialog, int nId) {
    W* widget = dialog.findChild<W*>(QString::number(nId));
    if (widget == nullptr)
        throw std::runtime_error("no control " + std::to_string(nId));
    return *widget;
}

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PressOk(QDialog& dialog) {
    Control<QPushButton>(dialog, 1).click();
}
inline void PressEsc(QDialog& dialog) {
    QTest::keyClick(&dialog, Qt::Key_Escape);
}
