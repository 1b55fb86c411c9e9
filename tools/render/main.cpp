// zelvora-render: the slides of a working folder's cache as PNG files, loaded and drawn by the
// program's own loaders and slide composition; or the catalogue as JSON lines.

#include "OffscreenTool.h"
#include "SlideJson.h"

#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/SlideLayout.h"
#include "show/SlidePainter.h"
#include "sync/PortalSyncSteps.h"
#include "sync/ProxySettings.h"
#include "sync/UpdateScheduler.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr int kSmallResMode = 1;
constexpr QSize kSmallView{1366, 768};
constexpr QSize kLargeView{1920, 1080};
// Larger images are no screen: refuse them rather than allocate gigabytes.
constexpr int kMaxSide = 8192;

struct Options {
    QString dir;
    QString out;
    std::optional<int> slide;
    bool bAll = false;
    bool bList = false;
    bool bSync = false;
    int nResMode = 0;
    int nSprache = 1;
    QSize size;
};

void Note(const QString& message) {
    std::fputs(qUtf8Printable(QStringLiteral("zelvora-render: %1\n").arg(message)), stderr);
}

int Fail(int nCode, const QString& message) {
    Note(message);
    return nCode;
}

void Print(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
}

std::optional<int> ParseInt(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

std::optional<QSize> ParseSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide)
        return std::nullopt;
    return size;
}

// The layout mode of the settings store's screen choice, as the view derives it.
int ResModeFromSettings() {
    return GetProfileInt(setting::kSection, setting::kScrRes, 0) == 0 ? kSmallResMode
                                                                      : slide::kLargeResMode;
}

// Returns an exit code when the command line is not usable.
std::optional<int> ParseOptions(const QCoreApplication& app, Options& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Renders the slides of a Zelvora working folder (Daten/ and Bilder/) to "
                       "PNG files, or lists its catalogue as JSON, one slide per line."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption dir(QStringLiteral("dir"),
                                 QStringLiteral("Working folder with the caches (default: .)."),
                                 QStringLiteral("folder"), QStringLiteral("."));
    const QCommandLineOption slideOption(QStringLiteral("slide"),
                                         QStringLiteral("Render the slide at this catalogue "
                                                        "index (from 0)."),
                                         QStringLiteral("N"));
    const QCommandLineOption all(QStringLiteral("all"),
                                 QStringLiteral("Render every slide of the catalogue."));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Print the catalogue as JSON lines."));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("Layout mode 1 (1366 x 768) or 2 (larger); "
                                                 "default from the screen setting."),
                                  QStringLiteral("1|2"));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Language 1 German or 2 French (default 1)."),
                                  QStringLiteral("1|2"), QStringLiteral("1"));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("Image size, the slide scaled to it as the show scales it to its screen "
                       "(default 1366x768 in mode 1, 1920x1080 in mode 2)."),
        QStringLiteral("WxH"));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Folder for the PNG files (default: .)."),
                                 QStringLiteral("folder"), QStringLiteral("."));
    const QCommandLineOption sync(
        QStringLiteral("sync"),
        QStringLiteral("Bring the caches in line with the portal first, as the show does at "
                       "start (credentials and proxy from the settings store)."));
    parser.addOptions({dir, slideOption, all, list, mode, lang, size, out, sync});

    if (!parser.parse(app.arguments()))
        return Fail(kExitUsage, parser.errorText());
    if (parser.isSet(help)) {
        Print(parser.helpText().toUtf8().chopped(1));
        return 0;
    }
    if (parser.isSet(version)) {
        Print((QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion())
                  .toUtf8());
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail(kExitUsage, QStringLiteral("unexpected argument %1")
                                    .arg(parser.positionalArguments().constFirst()));
    if (int(parser.isSet(slideOption)) + int(parser.isSet(all)) + int(parser.isSet(list)) != 1)
        return Fail(kExitUsage, QStringLiteral("give exactly one of --slide, --all or --list"));

    options.dir = parser.value(dir);
    options.out = QDir(parser.value(out)).absolutePath(); // before entering the working folder
    options.bAll = parser.isSet(all);
    options.bList = parser.isSet(list);
    options.bSync = parser.isSet(sync);
    if (parser.isSet(slideOption)) {
        options.slide = ParseInt(parser.value(slideOption));
        if (!options.slide || *options.slide < 0)
            return Fail(kExitUsage, QStringLiteral("--slide needs a slide index from 0"));
    }
    options.nResMode = parser.isSet(mode) ? ParseInt(parser.value(mode)).value_or(0) : 0;
    if (parser.isSet(mode) && options.nResMode != kSmallResMode &&
        options.nResMode != slide::kLargeResMode)
        return Fail(kExitUsage, QStringLiteral("--mode is 1 or 2"));
    options.nSprache = ParseInt(parser.value(lang)).value_or(0);
    if (options.nSprache != kDeutsch && options.nSprache != kFranzoesisch)
        return Fail(kExitUsage, QStringLiteral("--lang is 1 or 2"));
    if (parser.isSet(size)) {
        const auto parsed = ParseSize(parser.value(size));
        if (!parsed)
            return Fail(kExitUsage,
                        QStringLiteral("--size is WxH, each from 1 to %1").arg(kMaxSide));
        options.size = *parsed;
    }
    return std::nullopt;
}

// The catalogue as the view builds it at its first load, without contacting the portal.
void LoadCatalogue(CSatzStore& store, const Options& options) {
    store.m_nSprache = options.nSprache;
    store.m_nResMode = options.nResMode;
    store.LoadSettings();
    if (store.m_nAnzeige < 0)
        store.m_nAnzeige = 0;
    store.m_strAdresse = GetProfileString(setting::kSection, setting::kAdresse);
    store.m_nCurrentSatz = 0;
    store.m_nSatzCount = 0;
    store.m_nPictureCount = 0;
    store.LadeBilderUndDaten();
    store.LadeNeuFzDatenUndBilder();
}

// The start-up sync of the show: used vehicles, then new vehicles when their week is due.
void SyncCaches(CSatzStore& store, const Options& options) {
    QDir().mkpath(QLatin1String(cache::kDaten));
    QDir().mkpath(QLatin1String(cache::kBilder));
    store.m_nSprache = options.nSprache;
    store.m_nResMode = options.nResMode;
    ApplyConnectionTarget(store, LoadProxySettings());
    CPortalSync sync(store);
    CUpdateScheduler scheduler(store, sync, SystemClock());
    sync.UpdatePictureList();
    scheduler.WeeklyNeuFzUpdateCheck();
}

int RenderSlides(CSatzStore& store, const Options& options) {
    if (options.slide && *options.slide >= store.m_nSatzCount)
        return Fail(kExitFailure, QStringLiteral("no slide %1; the catalogue has %2")
                                      .arg(*options.slide)
                                      .arg(store.m_nSatzCount));
    if (!QDir().mkpath(options.out))
        return Fail(kExitFailure, QStringLiteral("cannot create folder %1").arg(options.out));

    const QSize size = options.size.isEmpty()
                           ? (options.nResMode == slide::kLargeResMode ? kLargeView : kSmallView)
                           : options.size;
    // The show's own choice between filling the screen and the table size.
    const bool bFit = GetProfileInt(setting::kSection, setting::kFitScreen, 1) != 0;
    const int nFirst = options.slide.value_or(0);
    const int nEnd = options.slide ? nFirst + 1 : store.m_nSatzCount;
    for (int nSatz = nFirst; nSatz < nEnd; ++nSatz) {
        // As the show passes it over, a slide whose main photo does not decode is not drawn.
        if (!store.PrefetchPictures(nSatz)) {
            const QString message =
                QStringLiteral("slide %1 left out: its main photo does not decode").arg(nSatz);
            if (options.slide)
                return Fail(kExitFailure, message);
            Note(message);
            continue;
        }
        store.m_nCurrentSatz = nSatz;
        const QImage image = RenderSlide(store, size, bFit);
        const QString path =
            QDir(options.out)
                .filePath(QStringLiteral("slide-%1.png").arg(nSatz, 3, 10, QLatin1Char('0')));
        if (image.isNull() || !image.save(path, "PNG"))
            return Fail(kExitFailure, QStringLiteral("cannot write %1").arg(path));
        Print(path.toUtf8());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // A tool, not a window: draw without a display unless told otherwise.
    const auto runtime = PrepareOffscreenTool();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));

    Options options;
    if (const auto exitCode = ParseOptions(app, options))
        return *exitCode;
    if (!QDir::setCurrent(options.dir))
        return Fail(kExitFailure, QStringLiteral("cannot enter folder %1").arg(options.dir));
    if (options.nResMode == 0)
        options.nResMode = ResModeFromSettings();

    const auto store = std::make_unique<CSatzStore>();
    if (options.bSync)
        SyncCaches(*store, options);
    LoadCatalogue(*store, options);
    if (options.bList) {
        for (int nSatz = 0; nSatz < store->m_nSatzCount; ++nSatz)
            Print(QJsonDocument(SatzToJson(*store, nSatz)).toJson(QJsonDocument::Compact));
        return 0;
    }
    return RenderSlides(*store, options);
}
