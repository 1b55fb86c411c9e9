#pragma once
// "Proxy Server": whether and through which HTTP proxy the portal is reached.

#include "dialogs/ExchangeDlg.h"

#include <QString>

class IDialogHost;
class QCheckBox;
class QLineEdit;

class CProxyDlg : public CExchangeDlg {
    Q_OBJECT
public:
    explicit CProxyDlg(IDialogHost& host, QWidget* parent = nullptr);

    int m_nProxyOn = 0;
    QString m_strProxyIP;
    QString m_strPort; // the port's decimal text, as typed

    // OK; refused, with a message, while the box is ticked and the port is no port.
    void accept() override;

private:
    void DoDataExchange(bool bSaveAndValidate) override;

    IDialogHost& m_host;
    QCheckBox* m_proxyOn;
    QLineEdit* m_proxyIP;
    QLineEdit* m_port;
};
