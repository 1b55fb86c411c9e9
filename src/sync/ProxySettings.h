#pragma once
// The three proxy values of the settings store, and the connection target they choose.

#include <QString>

class CSatzStore;

struct ProxySettings {
    int nProxyOn = 0; // only 1 means that the proxy is used
    QString strProxyIP;
    int nProxyPort = 0;
};

ProxySettings LoadProxySettings();
void SaveProxySettings(const ProxySettings& proxy);

// The portal host on its port, or the proxy when nProxyOn is exactly 1.
void ApplyConnectionTarget(CSatzStore& store, const ProxySettings& proxy);
