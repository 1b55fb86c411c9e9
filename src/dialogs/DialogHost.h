#pragma once
// What the operator commands need from the view that runs them. The view implements it; tests
// pass a fake that answers the modal dialogs and message boxes without blocking.

#include <QString>

class CSatzStore;
class IClock;
class IPowerOff;
class QDialog;
class QWidget;

class IDialogHost {
public:
    virtual ~IDialogHost() = default;

    virtual CSatzStore& Store() = 0;
    virtual IPowerOff& PowerOff() = 0;
    virtual const IClock& Clock() = 0;
    // Owner of the dialogs and message boxes.
    virtual QWidget* DialogParent() = 0;

    // Shows the dialog modally; QDialog::Accepted or Rejected.
    virtual int RunModal(QDialog& dialog) = 0;
    // A message box with a single OK button.
    virtual void ShowMessage(const QString& text, const QString& caption) = 0;
    // The same, closing by itself after dlg::kMessageCloseSeconds so an unattended show goes on.
    virtual void ShowClosingMessage(const QString& text, const QString& caption) {
        ShowMessage(text, caption);
    }
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // Arms the view's settings-changed timer (identifier 2398, 200 ms).
    virtual void StartSettingsChangedTimer() = 0;
    // Posts a close request to the main window; the program then ends.
    virtual void PostCloseRequest() = 0;
    // Asks for a fresh start of the program in its own process; a host that cannot restart
    // closes instead.
    virtual void PostRestartRequest() { PostCloseRequest(); }
    // Whether a restart asked for now would come; a host that restarts too often refuses.
    virtual bool CanRestart() { return true; }
    // Cancels a running sync job and waits for it (bounded), so that a change written next
    // is neither overwritten by the job nor mixed with what it read before.
    virtual void StopSyncJob() {}
    // Starts the job StopSyncJob ended once more, with what is stored now.
    virtual void ResumeSyncJob() {}
};
