#include "dialogs/ExchangeDlg.h"

void CExchangeDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CExchangeDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
