#pragma once
// The command line of zelvora-portal.

#include "PortalConfig.h"
#include "PortalConstants.h"

#include <QCommandLineParser>
#include <QString>
#include <optional>

namespace demoportal {

struct PortalOptions {
    QString strData;     // the folder to serve
    QString strGenerate; // when set: write the sample data there and end
    QString strBind = QLatin1String(kDefaultBind);
    int nPort = kDefaultPort;
    PortalConfig config;
};

// Declares the options on parser (help and version are the caller's).
void AddPortalOptions(QCommandLineParser& parser);
// The options after parser has parsed; nothing, with the reason in error, when they do not
// fit together. A bind address other than loopback needs --allow-remote.
std::optional<PortalOptions> ReadPortalOptions(const QCommandLineParser& parser,
                                               QString* error = nullptr);

} // namespace demoportal
