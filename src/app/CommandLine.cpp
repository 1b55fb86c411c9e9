#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <array>
#include <cstdlib>
#include <optional>

namespace {
// Qt's own options, which the application object takes off the command line (also with two
// dashes): those with a value, then those without.
constexpr std::array kQtValueOptions{
    "platform",     "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon",  "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",      "geometry",           "title",         "icon",   "name",
    "qmljsdebugger"};
constexpr std::array kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct ParsedCommandLine {
    bool bHelp = false;
    bool bVersion = false;
    bool bStatus = false;
    StatusRequest status;
    std::string strPlatform; // "-platform NAME", the last one given; empty when none
    std::string strError;    // the first thing not understood; empty when all is

    std::optional<std::string> screenshot; // "--screenshot FILE"
    std::optional<std::string> dir;        // "--dir DIR"
};

// The options that go only with another, or not with each other; empty when all fit.
std::string Mismatch(const ParsedCommandLine& parsed, bool bJson) {
    if (parsed.bStatus && parsed.screenshot)
        return "--status and --screenshot go one at a time";
    if (bJson && !parsed.bStatus)
        return "--json goes with --status only";
    if (parsed.dir && !parsed.bStatus && !parsed.screenshot)
        return "--dir goes with --status or --screenshot";
    if (parsed.screenshot && parsed.screenshot->empty())
        return "--screenshot needs a file name";
    return {};
}

// Read as Qt reads its own options: "-platform xcb" is one long option with its value.
ParsedCommandLine Parse(const std::vector<std::string>& args) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption status(QStringLiteral("status"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                        QStringLiteral("file"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("folder"));
    parser.addOptions({help, version, status, json, screenshot, dir});
    for (const char* name : kQtValueOptions)
        parser.addOption({QString::fromLatin1(name), QString(), QStringLiteral("value")});
    for (const char* name : kQtFlags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    QStringList arguments;
    for (const std::string& arg : args)
        arguments.append(QString::fromLocal8Bit(arg));
    ParsedCommandLine parsed;
    if (!parser.parse(arguments)) {
        parsed.strError = parser.errorText().toStdString();
    } else if (!parser.positionalArguments().isEmpty()) {
        parsed.strError =
            "unexpected argument " + parser.positionalArguments().constFirst().toStdString();
    }
    parsed.bHelp = parser.isSet(help);
    parsed.bVersion = parser.isSet(version);
    parsed.bStatus = parser.isSet(status);
    parsed.status = {parser.isSet(json), parser.value(dir).toStdString()};
    if (parser.isSet(screenshot))
        parsed.screenshot = parser.value(screenshot).toStdString();
    if (parser.isSet(dir))
        parsed.dir = parser.value(dir).toStdString();
    if (parsed.strError.empty())
        parsed.strError = Mismatch(parsed, parser.isSet(json));
    // A "-platform" without its value is set, yet has none.
    if (const QStringList platforms = parser.values(QStringLiteral("platform"));
        !platforms.isEmpty())
        parsed.strPlatform = platforms.constLast().toStdString();
    return parsed;
}
} // namespace

DisplayEnvironment ReadDisplayEnvironment() {
    return {Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"), Variable("QT_QPA_PLATFORM")};
}

StatusRequest StatusRequestOf(const std::vector<std::string>& args) {
    return Parse(args).status;
}

std::string RequestedPlatform(const std::vector<std::string>& args, const DisplayEnvironment& env) {
    // The command line's plug-in wins over QT_QPA_PLATFORM; a name may carry options after a
    // colon.
    const ParsedCommandLine parsed = Parse(args);
    const std::string platform = parsed.strPlatform.empty() ? env.strPlatform : parsed.strPlatform;
    return platform.substr(0, platform.find(':'));
}

EStartMode StartMode(const std::vector<std::string>& args, const DisplayEnvironment& env) {
    const ParsedCommandLine parsed = Parse(args);
    if (!parsed.strError.empty())
        return EStartMode::BadArgument;
    if (parsed.bHelp)
        return EStartMode::Help;
    if (parsed.bVersion)
        return EStartMode::Version;
    if (parsed.bStatus)
        return EStartMode::Status;
    // Asks a running show over its socket: no display needed.
    if (parsed.screenshot)
        return EStartMode::Screenshot;
    const std::string platform = RequestedPlatform(args, env);
    const bool bX11 = !env.strDisplay.empty();
    const bool bWayland = !env.strWaylandDisplay.empty();
    // Only the window-system plug-ins need a display; offscreen, vnc and the like do not.
    if (platform.empty()
            ? !bX11 && !bWayland
            : (platform == "xcb" && !bX11) || (platform.starts_with("wayland") && !bWayland))
        return EStartMode::NoDisplay;
    return EStartMode::Show;
}

ScreenshotArguments ScreenshotArgumentsOf(const std::vector<std::string>& args) {
    const ParsedCommandLine parsed = Parse(args);
    return {parsed.screenshot.value_or(std::string()), parsed.dir.value_or(".")};
}

std::string BadArgumentText(const std::vector<std::string>& args) {
    return "zelvora: " + Parse(args).strError + '\n';
}

std::string HelpText() {
    return "Usage: zelvora [--help] [--version]\n"
           "       zelvora --status [--json] [--dir DIR]\n"
           "       zelvora --screenshot FILE [--dir DIR]\n"
           "Shows the dealer's vehicles full screen, from the caches Daten/ and Bilder/ of the\n"
           "working folder. Start it with zelvora-start, which enters that folder.\n"
           "\n"
           "  -h, --help     Shows this help and exits.\n"
           "  -v, --version  Shows the version and exits.\n"
           "  --status       Tells whether the show on the working folder (or DIR) is healthy;\n"
           "                 exit code 0 healthy, 1 stale or no show. --json prints JSON.\n"
           "  --screenshot FILE\n"
           "                 Writes the frame the show on the working folder (or DIR) shows\n"
           "                 as a PNG file and exits.\n"
           "  --dir DIR      The show's working folder.\n";
}

std::string VersionText() {
    return std::string("zelvora ") + ZELVORA_VERSION + "\n";
}

std::string NoDisplayText() {
    return "zelvora: no display to show on (DISPLAY and WAYLAND_DISPLAY are not set); start it "
           "in the graphical session\n";
}
