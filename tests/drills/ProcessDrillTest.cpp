// The machine fails the show's process: the disk is full, the cache folders may not be
// written, or the process is killed in the middle of a sync and started again. The process
// is zelvora-render --sync, which syncs as the show does at its start and then loads and
// lists the catalogue.

#include "DrillFixture.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/Emulation.h"
#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"
#include "sync/SyncConstants.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Generous: a sanitizer build starts slowly on a loaded machine.
constexpr int kChildWaitMs = 120000;
// Held until the child is killed; never reached.
constexpr int kHeldAnswerMs = 60000;
// Less than the settings file, where its credentials end; more than a record file.
constexpr rlim_t kCutSettings = 200;
// The unprivileged user a child runs as to find the folders read-only.
constexpr char kNobody[] = "65534";

struct ChildResult {
    int nExit = -1; // -1 when the child did not end by itself in time
    QByteArray output;
    QByteArray errors;
};

// Makes folders read-only for this process, and undoes it however the test ends. Permissions
// do not stop root, so as root the folders get the immutable attribute instead.
class CReadOnlyFolders {
public:
    explicit CReadOnlyFolders(const QStringList& folders) {
        for (const QString& folder : folders) {
            const QByteArray path = QFile::encodeName(folder);
            struct stat st {};
            if (::stat(path.constData(), &st) != 0) {
                m_strWhy = QStringLiteral("no folder %1").arg(folder);
                return;
            }
            const bool bRoot = ::geteuid() == 0;
            if (bRoot ? !SetImmutable(path, true) : ::chmod(path.constData(), 0555) != 0) {
                m_strWhy = bRoot ? QStringLiteral("the immutable attribute cannot be set on %1 "
                                                  "(no CAP_LINUX_IMMUTABLE, or a file system "
                                                  "without it)")
                                       .arg(folder)
                                 : QStringLiteral("cannot change the mode of %1").arg(folder);
                return;
            }
            m_held.push_back({path, bRoot, st.st_mode & 07777});
            // Probed, not assumed: a file system may accept the attribute and ignore it.
            QFile probe(QDir(folder).filePath(QStringLiteral(".drill-probe")));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.close();
                probe.remove();
                m_strWhy = QStringLiteral("%1 can still be written").arg(folder);
                return;
            }
        }
    }
    ~CReadOnlyFolders() {
        for (auto it = m_held.rbegin(); it != m_held.rend(); ++it) {
            if (it->bImmutable)
                SetImmutable(it->path, false);
            else
                ::chmod(it->path.constData(), it->mode);
        }
    }
    CReadOnlyFolders(const CReadOnlyFolders&) = delete;
    CReadOnlyFolders& operator=(const CReadOnlyFolders&) = delete;

    // Empty when every folder is read-only.
    QString WhyNot() const { return m_strWhy; }

private:
    static bool SetImmutable(const QByteArray& path, bool bOn) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool bOk = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (bOk) {
            flags = bOn ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            bOk = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return bOk;
    }

    struct Held {
        QByteArray path;
        bool bImmutable;
        mode_t mode;
    };
    std::vector<Held> m_held;
    QString m_strWhy;
};

// Whether every folder on the way to path may be entered by any user, and path run.
bool OpenToEveryone(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !(st.st_mode & S_IXOTH) ||
        !(st.st_mode & S_IROTH))
        return false;
    for (QDir dir = QFileInfo(path).absoluteDir(); !dir.isRoot(); dir.cdUp())
        if (::stat(QFile::encodeName(dir.path()).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
    return true;
}

class ProcessDrill : public CDrillFixture {
protected:
    void SetUp() override { SKIP_WITHOUT_CHILD_PROCESSES(); }

    ProcessDrill() {
        // The child reaches the portal as its proxy, with this binary's settings store.
        SaveProxySettings({1, QStringLiteral("127.0.0.1"), m_portal.Port()});
        NewVehiclesDue();
    }

    static QStringList SettingsKeys() {
        return QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).allKeys();
    }
    // Every setting there was is still there, and the credentials and the proxy still work.
    void ExpectSettingsWhole(const QStringList& keys) {
        const QSettings store(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora"));
        for (const QString& key : keys)
            EXPECT_TRUE(store.contains(key)) << "setting lost: " << key.toStdString();
        EXPECT_TRUE(CTempWorkDir::ReadFile(store.fileName()).endsWith('\n'))
            << "the settings file is cut";
        EXPECT_EQ(LoadCredentials().strKundenNr, QString::number(kKundenNr));
        EXPECT_EQ(LoadProxySettings().nProxyPort, m_portal.Port());
    }

    // The child's weekly check is due, so it runs both sync steps.
    static void NewVehiclesDue() {
        WriteProfileString(setting::kSection, setting::kLastUpdate, QString());
    }

    // zelvora-render --sync --list on the working folder. setup runs in the child before the
    // program; wrapper runs the program; configHome replaces this binary's settings folder.
    std::unique_ptr<QProcess> StartChild(const std::function<void()>& setup = {},
                                         const QStringList& wrapper = {},
                                         const QString& configHome = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString config =
            configHome.isEmpty() ? qEnvironmentVariable("XDG_CONFIG_HOME") : configHome;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("HOME"), config);
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_cacheHome.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(env);
        if (setup)
            process->setChildProcessModifier(setup);
        QStringList arguments = wrapper;
        arguments << QStringLiteral(ZELVORA_RENDER_EXE) << QStringLiteral("--sync")
                  << QStringLiteral("--list") << QStringLiteral("--dir") << m_work.Path();
        const QString program = arguments.takeFirst();
        process->start(program, arguments);
        return process;
    }

    ChildResult RunChild(const std::function<void()>& setup = {}, const QStringList& wrapper = {},
                         const QString& configHome = {}) {
        const auto process = StartChild(setup, wrapper, configHome);
        ChildResult result;
        if (process->waitForFinished(kChildWaitMs) && process->exitStatus() == QProcess::NormalExit)
            result.nExit = process->exitCode();
        else
            process->kill();
        result.output = process->readAllStandardOutput();
        result.errors = process->readAllStandardError();
        return result;
    }

    QTemporaryDir m_cacheHome;
};

constexpr const char* kKillNames[] = {"InAChangedRecord", "AtTheNewMainPhotoOfAChangedRecord",
                                      "AtAPhotoOfANewRecord", "AtTheNewVehicleList",
                                      "AtTheNewMainPhotoOfANewVehicle"};

class ProcessKillDrill : public ProcessDrill, public ::testing::WithParamInterface<const char*> {};

class CacheLeftoverDrill : public CDrillFixture {};

class ReadOnlyCacheDrill : public CDrillFixture,
                           public ::testing::WithParamInterface<std::vector<const char*>> {};

} // namespace

TEST_F(ProcessDrill, FullDiskKeepsTheLastGoodCacheAndTheSettings) {
    qint64 nLargestText = 0;
    qint64 nSmallestPhoto = std::numeric_limits<qint64>::max();
    for (const auto& [name, bytes] : m_changed) {
        if (name.startsWith(QLatin1String("Daten/")))
            nLargestText = std::max(nLargestText, bytes.size());
        else
            nSmallestPhoto = std::min(nSmallestPhoto, bytes.size());
    }
    ASSERT_LT(nLargestText, nSmallestPhoto);

    // Nothing fits; the records and the settings file's lock, but not the settings file, which
    // a cut would cost its credentials; then every record and list fits, but no photo.
    for (const rlim_t limit :
         {rlim_t(0), kCutSettings, rlim_t((nLargestText + nSmallestPhoto) / 2)}) {
        const QString drill = QStringLiteral("file size limit %1").arg(limit);
        SCOPED_TRACE(drill.toStdString());
        RestoreGoodCache();
        NewVehiclesDue();
        const QStringList settings = SettingsKeys();
        const ChildResult run = RunChild([limit] {
            // A write past the limit then fails with EFBIG instead of ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
        });
        EXPECT_EQ(run.nExit, 0) << run.errors.toStdString();
        ExpectLastGoodCache(drill);
        ExpectSettingsWhole(settings);
        ExpectCompletedAfterSync(drill);
    }
}

// A save killed between writing and renaming leaves the start of the new file under a
// temporary name beside the old one. Neither the loaders nor the sync take it for a cache file.
TEST_F(CacheLeftoverDrill, HalfWrittenTemporaryFilesAreNoCacheEntries) {
    for (const auto& [name, bytes] : m_changed)
        CTempWorkDir::WriteFile(name + QStringLiteral(".Xq3ZbT"), bytes.left(bytes.size() / 2));
    const CacheFiles withLeftovers = Snapshot();
    EXPECT_EQ(Lines(Slides()), Lines(m_goodSlides));

    SyncBoth();
    EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
    CacheFiles files = Snapshot();
    for (const auto& [name, bytes] : withLeftovers)
        if (name.endsWith(QLatin1String(".Xq3ZbT"))) {
            EXPECT_EQ(files[name], bytes) << "left alone: " << name.toStdString();
            files.erase(name);
        }
    EXPECT_EQ(CacheDifferences(files, m_changed), "");
}

TEST_P(ProcessKillDrill, RestartAfterAKillCompletesTheSync) {
    const QString pattern = QString::fromLatin1(GetParam());
    SetFault(pattern + QStringLiteral("=delay:%1").arg(kHeldAnswerMs));
    const QStringList settings = SettingsKeys();
    const auto child = StartChild();
    ASSERT_TRUE(child->waitForStarted(kChildWaitMs));
    QElapsedTimer waited;
    waited.start();
    bool bAsked = false;
    while (!bAsked && child->state() == QProcess::Running && waited.elapsed() < kChildWaitMs) {
        bAsked = !TakeRequests().filter(pattern).isEmpty();
        QThread::msleep(2);
    }
    ASSERT_TRUE(bAsked) << "the child never asked for " << GetParam() << ": "
                        << child->readAllStandardError().toStdString();
    child->kill();
    ASSERT_TRUE(child->waitForFinished(kChildWaitMs));
    EXPECT_EQ(child->exitStatus(), QProcess::CrashExit);

    ExpectLastGoodCache(pattern);
    ExpectSettingsWhole(settings);

    SetFault({});
    const ChildResult restart = RunChild();
    ASSERT_EQ(restart.nExit, 0) << restart.errors.toStdString();
    EXPECT_EQ(CacheDifferences(Snapshot(), m_changed), "");
    EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides));
    EXPECT_EQ(restart.output.count('\n'), m_changedSlides.size()) << "one JSON line per slide";
}

INSTANTIATE_TEST_SUITE_P(Drills, ProcessKillDrill,
                         ::testing::Values("sn=41&", "/41_1b.jpg", "/44_2.jpg", "fn=101&",
                                           "/501_1b.jpg"),
                         [](const auto& info) { return std::string(kKillNames[info.index]); });

TEST_P(ReadOnlyCacheDrill, KeepsTheLastGoodCache) {
    QStringList folders;
    for (const char* folder : GetParam())
        folders << QDir(m_work.Path()).filePath(QLatin1String(folder));
    const QString drill = QStringLiteral("read-only ") + folders.join(u' ');
    {
        const CReadOnlyFolders readOnly(folders);
        if (!readOnly.WhyNot().isEmpty())
            GTEST_SKIP() << readOnly.WhyNot().toStdString()
                         << "; ProcessDrill.ReadOnlyCacheForAnUnprivilegedProcess covers it";
        SyncBoth();
    }
    ExpectLastGoodCache(drill);
    if (folders.size() == 2) {
        EXPECT_EQ(CacheDifferences(Snapshot(), m_good), "") << "nothing could change";
    }
    ExpectCompletedAfterSync(drill, DroppedPhotos::MayStay);
}

INSTANTIATE_TEST_SUITE_P(Drills, ReadOnlyCacheDrill,
                         ::testing::Values(std::vector<const char*>{"Daten"},
                                           std::vector<const char*>{"Bilder"},
                                           std::vector<const char*>{"Daten", "Bilder"}),
                         [](const auto& info) {
                             std::string name;
                             for (const char* folder : info.param)
                                 name += folder;
                             return name;
                         });

// Read-only long enough for records to be stored without their photos: the first run that
// may write brings every vehicle back, each photo whole.
TEST_P(ReadOnlyCacheDrill, TheFirstRunThatMayWriteCompletesTheCache) {
    QStringList folders;
    for (const char* folder : GetParam())
        folders << QDir(m_work.Path()).filePath(QLatin1String(folder));
    {
        const CReadOnlyFolders readOnly(folders);
        if (!readOnly.WhyNot().isEmpty())
            GTEST_SKIP() << readOnly.WhyNot().toStdString();
        for (int nRun = 0; nRun < portalsync::kMaxHeldBackRuns; ++nRun)
            SyncBoth();
    }
    ExpectCompletedAfterSync(QStringLiteral("after read-only ") + folders.join(u' '),
                             DroppedPhotos::MayStay);
}

// Root is not stopped by permissions: the child runs as an unprivileged user, for whom the
// cache folders and its settings store are read-only.
TEST_F(ProcessDrill, ReadOnlyCacheForAnUnprivilegedProcess) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: ReadOnlyCacheDrill makes the folders read-only by their mode";
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        GTEST_SKIP() << "no setpriv (package util-linux) to run a process as another user";
    if (!OpenToEveryone(QStringLiteral(ZELVORA_RENDER_EXE)))
        GTEST_SKIP() << "the build folder cannot be entered by an unprivileged user";

    // The child reads a copy of the settings, in folders it may read but not write.
    QTemporaryDir configHome;
    ASSERT_TRUE(configHome.isValid());
    const QString settingsFile =
        QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).fileName();
    const QString copy =
        QDir(configHome.path()).filePath(QStringLiteral("TarrelZelvora/Zelvora.conf"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
    ASSERT_TRUE(QFile::copy(settingsFile, copy));
    for (const QString& path : {configHome.path(), QFileInfo(copy).path(), m_work.Path()})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(copy).constData(), 0644), 0);

    const ChildResult run = RunChild({},
                                     {setpriv, QStringLiteral("--reuid=") + QLatin1String(kNobody),
                                      QStringLiteral("--regid=") + QLatin1String(kNobody),
                                      QStringLiteral("--clear-groups"), QStringLiteral("--")},
                                     configHome.path());
    ASSERT_EQ(run.nExit, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output.count('\n'), m_goodSlides.size()) << run.errors.toStdString();
    ASSERT_FALSE(TakeRequests().isEmpty()) << "the child synced";
    ExpectLastGoodCache(QStringLiteral("read-only for the process"));
    EXPECT_EQ(CacheDifferences(Snapshot(), m_good), "");
    ExpectCompletedAfterSync(QStringLiteral("read-only for the process"));
}
