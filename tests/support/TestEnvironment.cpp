#include "support/TestEnvironment.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int RunAllTests(int argc, char** argv, const AppFactory& makeApp) {
    ::testing::InitGoogleTest(&argc, argv);

    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    const auto app = makeApp(argc, argv);
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, configHome.path());
    return RUN_ALL_TESTS();
}
