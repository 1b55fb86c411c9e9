#include "app/CommandLine.h"

#include <cstdlib>

namespace {
std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The platform plug-in Qt will load: "-platform NAME" on the command line wins over
// QT_QPA_PLATFORM; a plug-in name may carry options after a colon.
std::string Platform(const std::vector<std::string>& args, const DisplayEnvironment& env) {
    std::string platform = env.strPlatform;
    for (size_t i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "-platform" || args[i] == "--platform")
            platform = args[i + 1];
    return platform.substr(0, platform.find(':'));
}
} // namespace

DisplayEnvironment ReadDisplayEnvironment() {
    return {Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"), Variable("QT_QPA_PLATFORM")};
}

EStartMode StartMode(const std::vector<std::string>& args, const DisplayEnvironment& env) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h")
            return EStartMode::Help;
        if (args[i] == "--version" || args[i] == "-v")
            return EStartMode::Version;
    }
    const std::string platform = Platform(args, env);
    const bool bX11 = !env.strDisplay.empty();
    const bool bWayland = !env.strWaylandDisplay.empty();
    // Only the window-system plug-ins need a display; offscreen, vnc and the like do not.
    if (platform.empty()
            ? !bX11 && !bWayland
            : (platform == "xcb" && !bX11) || (platform.starts_with("wayland") && !bWayland))
        return EStartMode::NoDisplay;
    return EStartMode::Show;
}

std::string HelpText() {
    return "Usage: zelvora [--help] [--version]\n"
           "Shows the dealer's vehicles full screen, from the caches Daten/ and Bilder/ of the\n"
           "working folder. Start it with zelvora-start, which enters that folder.\n"
           "\n"
           "  -h, --help     Shows this help and exits.\n"
           "  -v, --version  Shows the version and exits.\n";
}

std::string VersionText() {
    return std::string("zelvora ") + ZELVORA_VERSION + "\n";
}

std::string NoDisplayText() {
    return "zelvora: no display to show on (DISPLAY and WAYLAND_DISPLAY are not set); start it "
           "in the graphical session\n";
}
