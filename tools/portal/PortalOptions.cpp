#include "PortalOptions.h"

#include <QFileInfo>

namespace demoportal {
namespace {

constexpr char kData[] = "data";
constexpr char kGenerate[] = "generate";
constexpr char kBind[] = "bind";
constexpr char kAllowRemote[] = "allow-remote";
constexpr char kPort[] = "port";
constexpr char kLog[] = "log";
constexpr char kFault[] = "fault";
constexpr int kMaxPort = 65535;

bool IsLoopback(const QString& address) {
    if (address == QLatin1String("localhost") || address == QLatin1String("::1"))
        return true;
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0 || value > 255)
            return false;
    }
    return parts[0] == QLatin1String("127");
}

std::optional<PortalOptions> Refuse(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

void AddPortalOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QLatin1String(kData), QStringLiteral("Serve the data folder <folder>."),
         QStringLiteral("folder")},
        {QLatin1String(kGenerate),
         QStringLiteral("Write the sample data set into <folder> and end."),
         QStringLiteral("folder")},
        {QLatin1String(kPort),
         QStringLiteral("Listen on port <n>; 0 picks a free one (default %1).").arg(kDefaultPort),
         QStringLiteral("n")},
        {QLatin1String(kBind),
         QStringLiteral("Listen on address <addr> (default %1).").arg(QLatin1String(kDefaultBind)),
         QStringLiteral("addr")},
        {QLatin1String(kAllowRemote),
         QStringLiteral("Allow a --bind address other than loopback.")},
        {QLatin1String(kLog), QStringLiteral("Append one line per request to <file>."),
         QStringLiteral("file")},
        {QLatin1String(kFault),
         QStringLiteral(
             "Inject a fault, PATTERN=KIND[:VALUE]; KIND is delay:MS, close-before-body, "
             "cut-body, long-length, status:CODE, fehler, no-length, body:TEXT, type:TEXT, "
             "encoding:TEXT, crlf, long-header:BYTES, two-lengths or cut-no-length; TEXT is "
             "percent-decoded. A PATTERN with * is a glob over the request target, any other a "
             "substring. Repeatable."),
         QStringLiteral("rule")},
    });
}

std::optional<PortalOptions> ReadPortalOptions(const QCommandLineParser& parser, QString* error) {
    PortalOptions options;
    options.strGenerate = parser.value(QLatin1String(kGenerate));
    if (!options.strGenerate.isEmpty())
        return options;

    options.strData = parser.value(QLatin1String(kData));
    if (options.strData.isEmpty())
        return Refuse(error, QStringLiteral("--data or --generate is needed"));
    if (!QFileInfo(options.strData).isDir())
        return Refuse(error, QStringLiteral("no data folder %1").arg(options.strData));
    if (parser.isSet(QLatin1String(kPort))) {
        bool ok = false;
        options.nPort = parser.value(QLatin1String(kPort)).toInt(&ok);
        if (!ok || options.nPort < 0 || options.nPort > kMaxPort)
            return Refuse(error,
                          QStringLiteral("bad port %1").arg(parser.value(QLatin1String(kPort))));
    }
    if (parser.isSet(QLatin1String(kBind)))
        options.strBind = parser.value(QLatin1String(kBind));
    if (!IsLoopback(options.strBind) && !parser.isSet(QLatin1String(kAllowRemote)))
        return Refuse(error, QStringLiteral("%1 is not a loopback address; add --allow-remote")
                                 .arg(options.strBind));
    options.config.strLogFile = parser.value(QLatin1String(kLog));
    for (const QString& ruleText : parser.values(QLatin1String(kFault))) {
        auto rule = ParseFaultRule(ruleText, error);
        if (!rule)
            return std::nullopt;
        options.config.faults.push_back(*rule);
    }
    return options;
}

} // namespace demoportal
