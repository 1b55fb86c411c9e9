#include "support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

// Two outputs side by side, the second one a 4K TV.
int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "HDMI-1", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1},
        {"name": "HDMI-2", "x": 1366, "y": 0, "width": 3840, "height": 2160, "logicalDpi": 96,
         "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    return RunAllTestsWith<QApplication>(argc, argv);
}
