// zelvora-configure: stores the dealer's credentials and the proxy in the settings store, the
// way the operator dialogs would, for installers and the demo (no screen needed).

#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {
int Fail(const QString& message) {
    QTextStream(stderr) << "zelvora-configure: " << message << '\n';
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvora-configure"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stores Zelvora's portal credentials and proxy in the current user's "
                       "settings (~/.config/TarrelZelvora/Zelvora.conf)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption customer(QStringLiteral("customer"),
                                      QStringLiteral("The dealer's customer number."),
                                      QStringLiteral("number"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("The dealer's portal password."),
                                      QStringLiteral("password"));
    const QCommandLineOption proxy(QStringLiteral("proxy"),
                                   QStringLiteral("Connect through this HTTP proxy."),
                                   QStringLiteral("host:port"));
    const QCommandLineOption noProxy(QStringLiteral("no-proxy"),
                                     QStringLiteral("Connect to the portal directly."));
    parser.addOptions({customer, password, proxy, noProxy});
    parser.process(app);

    if (parser.isSet(customer) != parser.isSet(password))
        return Fail(QStringLiteral("--customer and --password go together"));
    if (parser.isSet(proxy) && parser.isSet(noProxy))
        return Fail(QStringLiteral("--proxy and --no-proxy exclude each other"));
    if (!parser.isSet(customer) && !parser.isSet(proxy) && !parser.isSet(noProxy))
        return Fail(QStringLiteral("nothing to store; see --help"));

    ProxySettings settings = LoadProxySettings();
    if (parser.isSet(proxy)) {
        const QString value = parser.value(proxy);
        const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int port = colon > 0 ? value.mid(colon + 1).toInt(&ok) : 0;
        if (!ok || port <= 0 || port > 65535)
            return Fail(QStringLiteral("--proxy needs host:port"));
        settings = {1, value.left(colon), port};
    } else if (parser.isSet(noProxy)) {
        settings.nProxyOn = 0;
    }
    if (parser.isSet(customer))
        SaveCredentials(parser.value(customer), parser.value(password));
    if (parser.isSet(proxy) || parser.isSet(noProxy))
        SaveProxySettings(settings);
    return 0;
}
