#include "dialogs/Commands.h"
#include "dialogs/DialogHost.h"
#include "dialogs/ProxyDlg.h"
#include "sync/ProxySettings.h"

void RunProxyCommand(IDialogHost& host) {
    const ProxySettings stored = LoadProxySettings();
    CProxyDlg dlg(host, host.DialogParent());
    // Only 1 switches the proxy on; the box shows what the connection actually does.
    dlg.m_nProxyOn = stored.nProxyOn == 1 ? 1 : 0;
    dlg.m_strProxyIP = stored.strProxyIP;
    dlg.m_strPort = QString::asprintf("%d", stored.nProxyPort);
    if (host.RunModal(dlg) != QDialog::Accepted)
        return;

    ProxySettings entered;
    entered.strProxyIP = dlg.m_strProxyIP;
    // Switched off, a port text that is no port keeps the stored port.
    entered.nProxyPort = ParseProxyPort(dlg.m_strPort).value_or(stored.nProxyPort);
    entered.nProxyOn = dlg.m_nProxyOn;
    // The job runs again through the new target, not on with the old one.
    host.StopSyncJob();
    SaveProxySettings(entered);
    ApplyConnectionTarget(host.Store(), entered);
    host.ResumeSyncJob();
}
