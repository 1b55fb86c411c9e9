#pragma once
// What the program's command line asks for, decided before Qt is started: Qt's own start
// without a display ends in an abort, and the help and the version need no window.

#include <string>
#include <vector>

enum class EStartMode { Show, Help, Version, NoDisplay };

// The environment values that decide whether a display can be reached; empty when unset.
struct DisplayEnvironment {
    std::string strDisplay;        // DISPLAY
    std::string strWaylandDisplay; // WAYLAND_DISPLAY
    std::string strPlatform;       // QT_QPA_PLATFORM
};

DisplayEnvironment ReadDisplayEnvironment();

// args: the whole command line, the program's name first. Arguments it does not know are
// left to Qt.
EStartMode StartMode(const std::vector<std::string>& args, const DisplayEnvironment& env);

// The texts of the three early ends, each ending in a line feed.
std::string HelpText();
std::string VersionText();
std::string NoDisplayText();
