// zelvora-configure: stores the dealer's credentials, the proxy and the language edition in the
// settings store, the way the operator dialogs would, for installers and the demo (no screen
// needed).

#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "net/NetLimits.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"
#include "sync/SyncConstants.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kAusgabeDeutsch = 1;
constexpr int kAusgabeFranzoesisch = 2;
// Room for the store's 32 characters in UTF-8 and a line end; a longer line is refused whole.
constexpr int kPasswordLineBytes = 4 * credential::kPasswordFieldSize + 3;

struct Request {
    std::optional<Credentials> credentials;
    std::optional<ProxySettings> proxy;
    std::optional<int> nAusgabe;
};

int Fail(int nCode, const QString& message) {
    std::fputs(qUtf8Printable(QStringLiteral("zelvora-configure: %1\n").arg(message)), stderr);
    return nCode;
}

void Print(const QString& text) {
    std::fputs(qUtf8Printable(text + u'\n'), stdout);
}

// Typed at a terminal, the password is not echoed; piped in, it is the first line.
std::optional<QString> ReadPasswordLine() {
    const bool bTerminal = isatty(STDIN_FILENO) != 0;
    termios saved{};
    if (bTerminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        std::fputs("Password: ", stderr);
    }
    char szLine[kPasswordLineBytes + 1] = {};
    const bool bRead = std::fgets(szLine, sizeof szLine, stdin) != nullptr;
    if (bTerminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputc('\n', stderr);
    }
    if (!bRead)
        return QString();
    const size_t nLength = std::strlen(szLine);
    if (nLength == sizeof szLine - 1 && szLine[nLength - 1] != '\n')
        return std::nullopt;
    QString line = QString::fromUtf8(szLine, qsizetype(nLength));
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

// host:port with a bare host name or IPv4 address: the request line carries only the path, so
// a scheme or user part would become part of the host name the show connects to.
std::optional<ProxySettings> ParseProxy(const QString& value, QString* error) {
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z0-9._-]+):([^:]*)$"));
    const auto match = pattern.match(value);
    if (value.contains(QStringLiteral("://"))) {
        *error = QStringLiteral("--proxy takes host:port without a scheme, not %1").arg(value);
        return std::nullopt;
    }
    const std::optional<int> port =
        match.hasMatch() ? ParseProxyPort(match.captured(2)) : std::nullopt;
    if (!port) {
        *error = QStringLiteral("--proxy needs host:port with a port from 1 to %1, not %2")
                     .arg(net::kMaxPort)
                     .arg(value);
        return std::nullopt;
    }
    if (match.captured(1).size() > kServerNameSize - 1) {
        *error =
            QStringLiteral("--proxy host is longer than %1 characters").arg(kServerNameSize - 1);
        return std::nullopt;
    }
    return ProxySettings{1, match.captured(1), *port};
}

std::optional<Credentials> ParseCredentials(const QString& kundenNr, const QString& password,
                                            QString* error) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(kundenNr).hasMatch() || kundenNr.size() > credential::kKundenNrFieldSize) {
        *error = QStringLiteral("--customer takes 1 to %1 digits, not %2")
                     .arg(credential::kKundenNrFieldSize)
                     .arg(kundenNr);
        return std::nullopt;
    }
    // An empty password would erase the login; a longer one would be cut without a word.
    if (password.isEmpty() || password.size() > credential::kPasswordFieldSize) {
        *error = QStringLiteral("the password needs 1 to %1 characters")
                     .arg(credential::kPasswordFieldSize);
        return std::nullopt;
    }
    // The store and the portal know the password in Windows-1252 only.
    if (cache::FromCp1252(cache::ToCp1252(password)) != password) {
        *error = QStringLiteral("the password holds characters outside Windows-1252");
        return std::nullopt;
    }
    return Credentials{kundenNr, password};
}

// Returns an exit code when the command line is not usable or only asked for help or version.
std::optional<int> ParseRequest(const QCoreApplication& app, Request& request) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Stores Zelvora's portal credentials, proxy and language in the current "
                       "user's settings (%1).")
            .arg(ProfileFileName()));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption customer(QStringLiteral("customer"),
                                      QStringLiteral("The dealer's customer number (digits)."),
                                      QStringLiteral("number"));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("The dealer's portal password; - reads it from standard input."),
        QStringLiteral("password"));
    const QCommandLineOption proxy(QStringLiteral("proxy"),
                                   QStringLiteral("Connect through this HTTP proxy."),
                                   QStringLiteral("host:port"));
    const QCommandLineOption noProxy(QStringLiteral("no-proxy"),
                                     QStringLiteral("Connect to the portal directly."));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Show the slides in German or French."),
                                  QStringLiteral("de|fr"));
    parser.addOptions({customer, password, proxy, noProxy, lang});

    if (!parser.parse(app.arguments()))
        return Fail(kExitUsage, parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        Print(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail(kExitUsage, QStringLiteral("unexpected argument %1")
                                    .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(customer) != parser.isSet(password))
        return Fail(kExitUsage, QStringLiteral("--customer and --password go together"));
    if (parser.isSet(proxy) && parser.isSet(noProxy))
        return Fail(kExitUsage, QStringLiteral("--proxy and --no-proxy exclude each other"));
    if (!parser.isSet(customer) && !parser.isSet(proxy) && !parser.isSet(noProxy) &&
        !parser.isSet(lang))
        return Fail(kExitUsage, QStringLiteral("nothing to store; see --help"));

    QString error;
    if (parser.isSet(lang)) {
        const QString value = parser.value(lang);
        if (value == QLatin1String("de"))
            request.nAusgabe = kAusgabeDeutsch;
        else if (value == QLatin1String("fr"))
            request.nAusgabe = kAusgabeFranzoesisch;
        else
            return Fail(kExitUsage, QStringLiteral("--lang is de or fr, not %1").arg(value));
    }
    if (parser.isSet(proxy)) {
        request.proxy = ParseProxy(parser.value(proxy), &error);
        if (!request.proxy)
            return Fail(kExitUsage, error);
    } else if (parser.isSet(noProxy)) {
        request.proxy = LoadProxySettings();
        request.proxy->nProxyOn = 0;
    }
    if (parser.isSet(customer)) {
        std::optional<QString> secret = parser.value(password);
        if (*secret == QLatin1String("-"))
            secret = ReadPasswordLine();
        if (!secret)
            return Fail(kExitUsage, QStringLiteral("the password line is too long"));
        request.credentials = ParseCredentials(parser.value(customer), *secret, &error);
        if (!request.credentials)
            return Fail(kExitUsage, error);
    }
    return std::nullopt;
}

// The store refuses a write it cannot finish whole (a full disk): what was not taken is
// reported, not claimed.
int Store(const Request& request) {
    QStringList stored;
    bool bComplete = true;
    if (request.credentials) {
        SaveCredentials(request.credentials->strKundenNr, request.credentials->strPassword);
        const Credentials back = LoadCredentials();
        bComplete = bComplete && back.strKundenNr == request.credentials->strKundenNr &&
                    back.strPassword == request.credentials->strPassword;
        stored << QStringLiteral("customer number and password");
    }
    if (request.proxy) {
        SaveProxySettings(*request.proxy);
        const ProxySettings back = LoadProxySettings();
        bComplete = bComplete && back.nProxyOn == request.proxy->nProxyOn &&
                    back.strProxyIP == request.proxy->strProxyIP &&
                    back.nProxyPort == request.proxy->nProxyPort;
        stored << QStringLiteral("proxy");
    }
    if (request.nAusgabe) {
        WriteProfileInt(setting::kSection, setting::kAusgabe, *request.nAusgabe);
        bComplete = bComplete &&
                    GetProfileInt(setting::kSection, setting::kAusgabe, 0) == *request.nAusgabe;
        stored << QStringLiteral("language");
    }
    if (!bComplete)
        return Fail(kExitFailure, QStringLiteral("could not write %1").arg(ProfileFileName()));
    Print(QStringLiteral("stored %1 in %2")
              .arg(stored.join(QStringLiteral(", ")), ProfileFileName()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvora-configure"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));

    Request request;
    if (const auto exitCode = ParseRequest(app, request))
        return *exitCode;
    return Store(request);
}
