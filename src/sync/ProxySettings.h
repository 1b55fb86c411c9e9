#pragma once
// The three proxy values of the settings store, and the connection target they choose.

#include <QString>
#include <optional>

class CSatzStore;

struct ProxySettings {
    int nProxyOn = 0; // only 1 means that the proxy is used
    QString strProxyIP;
    int nProxyPort = 0;
};

// The port of a proxy as the dialog and the configuration tool take it: digits only, from 1 to
// 65535; nothing for any other text.
std::optional<int> ParseProxyPort(const QString& text);

ProxySettings LoadProxySettings();
void SaveProxySettings(const ProxySettings& proxy);

// The portal host on its port, or the proxy when nProxyOn is exactly 1.
void ApplyConnectionTarget(CSatzStore& store, const ProxySettings& proxy);
