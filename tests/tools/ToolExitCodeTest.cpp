// The command-line tools and the show end as their manual pages say: 0 for help and version,
// 1 for a run that failed, 2 for a command line that is wrong; the latter with one line on
// standard error, the former with none, also outside a session (no XDG_RUNTIME_DIR).

#include "support/Emulation.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char* tool;
    QStringList arguments;
    int nExit;
};

int RunProgram(const QString& tool, const QStringList& arguments, QByteArray* err) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(env);
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    *err = process.readAllStandardError();
    return process.exitCode();
}

} // namespace

TEST(ToolExitCodes, FollowTheManualPages) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));

    // zelvora-configure's own refusals are tested with the tool.
    const Case cases[] = {
        {ZELVORA_CONFIGURE_TOOL, {"--bogus"}, 2},
        {ZELVORA_PROGRAM, {"--bogus"}, 2},
        {ZELVORA_PROGRAM, {"--status", "--dir", file}, 2},
        {ZELVORA_RENDER_TOOL, {"--version"}, 0},
        {ZELVORA_RENDER_TOOL, {"--help"}, 0},
        {ZELVORA_RENDER_TOOL, {"--bogus"}, 2},
        {ZELVORA_RENDER_TOOL, {"--slide", "0", "--dir", dir.path()}, 1},
        {ZELVORA_PORTAL_TOOL, {"--help"}, 0},
        {ZELVORA_PORTAL_TOOL, {"--bogus"}, 2},
        {ZELVORA_PORTAL_TOOL, {"--data", dir.path(), "stray"}, 2},
        {ZELVORA_PORTAL_TOOL, {"--data", dir.filePath(QStringLiteral("missing"))}, 2},
        {ZELVORA_PORTAL_TOOL, {"--generate", file + "/data"}, 1},
    };
    for (const Case& c : cases) {
        QByteArray err;
        const int nExit = RunProgram(QString::fromUtf8(c.tool), c.arguments, &err);
        const std::string call = std::string(c.tool) + ' ' + c.arguments.join(u' ').toStdString();
        EXPECT_EQ(nExit, c.nExit) << call;
        if (c.nExit == 0) {
            EXPECT_EQ(err.toStdString(), "") << call;
        } else {
            EXPECT_FALSE(err.isEmpty()) << call << " says why";
        }
        if (c.nExit == 2) {
            EXPECT_EQ(err.count('\n'), 1) << call << ": " << err.toStdString();
        }
    }
}
