#pragma once
// A dialog whose members are its data: they go into the controls when the dialog is first
// shown and come back out when the operator confirms with OK.

#include <QDialog>

class QShowEvent;

class CExchangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExchangeDlg(QWidget* parent = nullptr) : QDialog(parent) {}

    // Takes the controls into the members, then closes with OK.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    // The first show; the members are filled by then.
    virtual void OnInitDialog() { DoDataExchange(false); }
    // Controls into members when bSaveAndValidate, members into controls otherwise.
    virtual void DoDataExchange(bool bSaveAndValidate) = 0;

private:
    bool m_bInitialised = false;
};
