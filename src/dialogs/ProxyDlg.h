#pragma once
// "Proxy Server": whether and through which HTTP proxy the portal is reached.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

class CProxyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProxyDlg(QWidget* parent = nullptr);

    int m_nProxyOn = 0;
    QString m_strProxyIP;
    QString m_strPort; // the port's decimal text, as typed

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DoDataExchange(bool bSaveAndValidate);

    bool m_bInitialised = false;
    QCheckBox* m_proxyOn;
    QLineEdit* m_proxyIP;
    QLineEdit* m_port;
};
