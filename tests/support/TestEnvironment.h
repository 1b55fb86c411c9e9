#pragma once
// Every test binary runs with its settings store in a temporary folder, never the user's.

#include <QCoreApplication>
#include <functional>
#include <memory>

using AppFactory = std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)>;

// Creates the isolated settings folder and the application object, then runs every test.
// GUI binaries get the offscreen platform unless one is set.
int RunAllTests(int argc, char** argv, const AppFactory& makeApp);

template <typename App> int RunAllTestsWith(int argc, char** argv) {
    return RunAllTests(argc, argv, [](int& c, char** v) { return std::make_unique<App>(c, v); });
}
