#pragma once
// The start of a tool that draws without a screen: the offscreen platform unless another is
// asked for, and a runtime folder of its own where the session gives none. Qt's platform start
// looks into that folder and, without one, warns on every call, --help included.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

// Before the application object; the folder lives as long as the result, and goes with it.
inline std::unique_ptr<QTemporaryDir> PrepareOffscreenTool() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return nullptr;
    // Made for this user alone (mode 700), as Qt requires of a runtime folder.
    auto runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                   QStringLiteral("/zelvora-runtime-XXXXXX"));
    if (runtime->isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    return runtime;
}
