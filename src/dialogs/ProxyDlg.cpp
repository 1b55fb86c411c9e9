#include "dialogs/ProxyDlg.h"
#include "catalogue/CatalogueLimits.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/DialogControls.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kFieldWidth = 240;
// A TCP port has at most five digits.
constexpr int kPortDigits = 5;
} // namespace

CProxyDlg::CProxyDlg(QWidget* parent) : CExchangeDlg(parent) {
    setWindowTitle(QStringLiteral("Proxy Server"));

    m_proxyOn =
        Named(dlg::kIdProxyOn, new QCheckBox(QStringLiteral("Proxy Server eingeschaltet"), this));
    // The connection target holds no longer a host name: what is stored is what is used.
    m_proxyIP = Named(dlg::kIdProxyIP, new QLineEdit(this));
    m_proxyIP->setMaxLength(kServerNameSize - 1);
    m_port = Named(dlg::kIdProxyPort, new QLineEdit(this));
    m_port->setMaxLength(kPortDigits);
    AcceptDigitsOnly(m_port);

    m_proxyIP->setMinimumWidth(kFieldWidth);
    m_port->setMinimumWidth(kFieldWidth);
    auto* form = new QFormLayout;
    form->addRow(m_proxyOn);
    form->addRow(QStringLiteral("Proxy IP"), m_proxyIP);
    form->addRow(QStringLiteral("Port"), m_port);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addLayout(OkCancelRow(*this, QStringLiteral("OK")));
}

void CProxyDlg::DoDataExchange(bool bSaveAndValidate) {
    ExchangeCheck(bSaveAndValidate, m_proxyOn, m_nProxyOn);
    ExchangeText(bSaveAndValidate, m_proxyIP, m_strProxyIP);
    ExchangeText(bSaveAndValidate, m_port, m_strPort);
}
