#include "dialogs/AuthorizationDlg.h"
#include "dialogs/ChromeScale.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/DialogControls.h"
#include "sync/SyncConstants.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kFieldWidth = 240;
} // namespace

CAuthorizationDlg::CAuthorizationDlg(QWidget* parent) : CExchangeDlg(parent) {
    setWindowTitle(QStringLiteral("Authorization"));

    // The store keeps no more than its fields hold; longer entries would be cut without a word.
    m_kundenNr = Named(dlg::kIdKundenNr, new QLineEdit(this));
    m_kundenNr->setMaxLength(credential::kKundenNrFieldSize);
    // The portal knows the dealer by number; letters would be sent as 0.
    AcceptDigitsOnly(m_kundenNr);
    m_passwort = Named(dlg::kIdPasswort, new QLineEdit(this));
    m_passwort->setMaxLength(credential::kPasswordFieldSize);
    m_passwort->setEchoMode(QLineEdit::Password);

    m_kundenNr->setMinimumWidth(ChromePixels(parent, kFieldWidth));
    m_passwort->setMinimumWidth(ChromePixels(parent, kFieldWidth));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("KundenNr"), m_kundenNr);
    form->addRow(QStringLiteral("Passwort"), m_passwort);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addLayout(OkCancelRow(*this, QStringLiteral("OK")));
}

void CAuthorizationDlg::DoDataExchange(bool bSaveAndValidate) {
    ExchangeText(bSaveAndValidate, m_kundenNr, m_strKundenNr);
    ExchangeText(bSaveAndValidate, m_passwort, m_strPasswort);
}
