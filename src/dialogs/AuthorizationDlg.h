#pragma once
// "Authorization": the dealer's customer number and password.

#include <QDialog>
#include <QString>

class QLineEdit;

class CAuthorizationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAuthorizationDlg(QWidget* parent = nullptr);

    QString m_strKundenNr;
    QString m_strPasswort;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DoDataExchange(bool bSaveAndValidate);

    bool m_bInitialised = false;
    QLineEdit* m_kundenNr;
    QLineEdit* m_passwort;
};
