#include "dialogs/ProxyDlg.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "dialogs/ChromeScale.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/DialogControls.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogTexts.h"
#include "net/NetLimits.h"
#include "sync/ProxySettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kFieldWidth = 240;
} // namespace

CProxyDlg::CProxyDlg(IDialogHost& host, QWidget* parent) : CExchangeDlg(parent), m_host(host) {
    setWindowTitle(QStringLiteral("Proxy Server"));

    m_proxyOn =
        Named(dlg::kIdProxyOn, new QCheckBox(QStringLiteral("Proxy Server eingeschaltet"), this));
    // The connection target holds no longer a host name: what is stored is what is used.
    m_proxyIP = Named(dlg::kIdProxyIP, new QLineEdit(this));
    m_proxyIP->setMaxLength(kServerNameSize - 1);
    m_port = Named(dlg::kIdProxyPort, new QLineEdit(this));
    m_port->setMaxLength(net::kPortDigits);
    AcceptDigitsOnly(m_port);

    m_proxyIP->setMinimumWidth(ChromePixels(parent, kFieldWidth));
    m_port->setMinimumWidth(ChromePixels(parent, kFieldWidth));
    auto* form = new QFormLayout;
    form->addRow(m_proxyOn);
    form->addRow(QStringLiteral("Proxy IP"), m_proxyIP);
    form->addRow(QStringLiteral("Port"), m_port);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addLayout(OkCancelRow(*this, QStringLiteral("OK")));
}

void CProxyDlg::accept() {
    // The connection would go to a port that does not exist: the dialog says so and stays open.
    if (m_proxyOn->isChecked() && !ParseProxyPort(m_port->text())) {
        const dlgtext::Message message = dlgtext::ProxyPortUngueltig(m_host.Store().m_nSprache);
        m_host.ShowMessage(message.strText, message.strCaption);
        m_port->setFocus();
        return;
    }
    CExchangeDlg::accept();
}

void CProxyDlg::DoDataExchange(bool bSaveAndValidate) {
    ExchangeCheck(bSaveAndValidate, m_proxyOn, m_nProxyOn);
    ExchangeText(bSaveAndValidate, m_proxyIP, m_strProxyIP);
    ExchangeText(bSaveAndValidate, m_port, m_strPort);
}
