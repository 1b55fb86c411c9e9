#pragma once
// "Authorization": the dealer's customer number and password.

#include "dialogs/ExchangeDlg.h"

#include <QString>

class QLineEdit;

class CAuthorizationDlg : public CExchangeDlg {
    Q_OBJECT
public:
    explicit CAuthorizationDlg(QWidget* parent = nullptr);

    QString m_strKundenNr;
    QString m_strPasswort;

private:
    void DoDataExchange(bool bSaveAndValidate) override;

    QLineEdit* m_kundenNr;
    QLineEdit* m_passwort;
};
