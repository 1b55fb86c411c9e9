#include "sync/ProxySettings.h"

#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/Portal.h"

ProxySettings LoadProxySettings() {
    ProxySettings proxy;
    proxy.strProxyIP = GetProfileString(setting::kSection, setting::kProxyIP);
    proxy.nProxyPort = GetProfileInt(setting::kSection, setting::kProxyPort, 0);
    proxy.nProxyOn = GetProfileInt(setting::kSection, setting::kProxyOn, 0);
    return proxy;
}

void SaveProxySettings(const ProxySettings& proxy) {
    WriteProfileString(setting::kSection, setting::kProxyIP, proxy.strProxyIP);
    WriteProfileInt(setting::kSection, setting::kProxyPort, proxy.nProxyPort);
    WriteProfileInt(setting::kSection, setting::kProxyOn, proxy.nProxyOn);
}

void ApplyConnectionTarget(CSatzStore& store, const ProxySettings& proxy) {
    if (proxy.nProxyOn == 1)
        store.SetConnectionTarget(cache::ToCp1252(proxy.strProxyIP), proxy.nProxyPort);
    else
        store.SetConnectionTarget(QByteArray(portal::kHost), portal::kPort);
}
