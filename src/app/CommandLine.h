#pragma once
// What the program's command line asks for, decided before Qt is started: Qt's own start
// without a display ends in an abort, and the help and the version need no window.

#include <string>
#include <vector>

enum class EStartMode { Show, Help, Version, Status, Screenshot, NoDisplay, BadArgument };

// The environment values that decide whether a display can be reached; empty when unset.
struct DisplayEnvironment {
    std::string strDisplay;        // DISPLAY
    std::string strWaylandDisplay; // WAYLAND_DISPLAY
    std::string strPlatform;       // QT_QPA_PLATFORM
};

DisplayEnvironment ReadDisplayEnvironment();

// args: the whole command line, the program's name first. Besides its own options it takes
// only Qt's; anything else is a BadArgument.
EStartMode StartMode(const std::vector<std::string>& args, const DisplayEnvironment& env);

// What "--status [--json] [--dir DIR]" asks for.
struct StatusRequest {
    bool bJson = false;
    std::string strDir; // empty: the current folder
};
StatusRequest StatusRequestOf(const std::vector<std::string>& args);

// "--screenshot FILE [--dir DIR]": the file to write and the show's working folder, "." when
// none is given.
struct ScreenshotArguments {
    std::string strFile;
    std::string strDir;
};
ScreenshotArguments ScreenshotArgumentsOf(const std::vector<std::string>& args);

// The platform plug-in asked for, without its options; empty for Qt's default.
std::string RequestedPlatform(const std::vector<std::string>& args, const DisplayEnvironment& env);

// The texts of the four early ends, each ending in a line feed. BadArgumentText names the first
// argument not understood, in one line, as the tools do.
std::string BadArgumentText(const std::vector<std::string>& args);
std::string HelpText();
std::string VersionText();
std::string NoDisplayText();
