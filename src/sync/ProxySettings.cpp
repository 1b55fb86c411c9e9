#include "sync/ProxySettings.h"

#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "net/NetLimits.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/Portal.h"

#include <algorithm>

std::optional<int> ParseProxyPort(const QString& text) {
    // "8080x" is a typing error, not port 8080: nothing but digits is read.
    if (text.isEmpty() || text.size() > net::kPortDigits ||
        !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int nPort = text.toInt();
    if (nPort < 1 || nPort > net::kMaxPort)
        return std::nullopt;
    return nPort;
}

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
