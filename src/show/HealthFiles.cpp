#include "show/HealthFiles.h"

#include "catalogue/CacheText.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "show/ViewConstants.h"
#include "sync/SafeCache.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <utility>
#include <vector>

namespace {

constexpr double kMsPerSecond = 1000.0;

struct Metric {
    const char* szName;
    const char* szHelp;
    std::vector<std::pair<QByteArray, double>> values; // labels, value
};

} // namespace

QJsonObject SyncJson(const SyncOutcome& outcome) {
    return {{"last_attempt", qint64(outcome.time)},
            {"last_success", qint64(outcome.successTime)},
            {"ok", outcome.time != 0 && outcome.failure == SyncFailure::None}};
}

QJsonObject StatusJson(const ShowFacts& facts) {
    QJsonObject json{
        {"version", QStringLiteral(ZELVORA_VERSION)},
        {"pid", QCoreApplication::applicationPid()},
        {"written", qint64(facts.now)},
        {"working_folder", facts.strWorkDir},
        {"customer_number", facts.strKundenNr},
        {"connection", QJsonObject{{"server", facts.strServer},
                                   {"port", facts.nServerPort},
                                   {"direct", facts.bDirect}}},
        {"slide", QJsonObject{{"number", facts.nPosition},
                              {"count", facts.bSatzLoaded ? facts.nVisible : 0},
                              {"records", facts.nRecords},
                              {"last_change", qint64(facts.lastSlideChange)}}},
        {"show", QJsonObject{{"advancing", facts.show.bAdvancing},
                             {"should_advance", facts.bShouldAdvance},
                             {"interval_ms", facts.show.nSpeed}}},
        {"paint_ms", QJsonObject{{"median", facts.paint.dMedianMs},
                                 {"longest", facts.paint.dLongestMs},
                                 {"count", facts.paint.nCount}}},
        {"restarts_last_day", facts.nRestarts},
        {"photos", facts.nPictures},
        {"syncs", QJsonObject{{"used", SyncJson(facts.used)}, {"new", SyncJson(facts.neuFz)}}},
        {"job", QJsonObject{{"running", facts.job.bRunning}, {"last_ms", facts.job.nLastMs}}},
    };
    if (facts.bFolders) {
        json.insert("cache_bytes", QJsonObject{{cache::kDaten, facts.daten.nBytes},
                                               {cache::kBilder, facts.bilder.nBytes}});
        json.insert("free_bytes", facts.nFreeBytes);
    }
    if (!facts.screen.strName.isEmpty() || !facts.screen.size.isEmpty())
        json.insert("screen", QJsonObject{{"name", facts.screen.strName},
                                          {"width", facts.screen.size.width()},
                                          {"height", facts.screen.size.height()},
                                          {"device_pixel_ratio", facts.screen.dDevicePixelRatio},
                                          {"refresh_rate", facts.screen.dRefreshRate},
                                          {"missing", facts.screen.strMissing}});
    return json;
}

QByteArray MetricsText(const ShowFacts& facts) {
    const auto kinds = [](std::time_t used, std::time_t neuFz) {
        return std::vector<std::pair<QByteArray, double>>{{"{kind=\"used\"}", double(used)},
                                                          {"{kind=\"new\"}", double(neuFz)}};
    };
    const bool bStale = StaleReasons(facts.now, true, facts.used.successTime, facts.bShouldAdvance,
                                     facts.lastSlideChange) != 0;
    const Metric metrics[] = {
        {"zelvora_sync_last_attempt_timestamp_seconds", "End of the last sync run, by kind.",
         kinds(facts.used.time, facts.neuFz.time)},
        {"zelvora_sync_last_success_timestamp_seconds",
         "End of the last successful sync run, by kind.",
         kinds(facts.used.successTime, facts.neuFz.successTime)},
        {"zelvora_records", "Vehicles in the catalogue.", {{"", double(facts.nRecords)}}},
        {"zelvora_photos", "Photos in the catalogue.", {{"", double(facts.nPictures)}}},
        {"zelvora_cache_bytes",
         "Bytes of the cache folders.",
         {{"{folder=\"Daten\"}", double(facts.daten.nBytes)},
          {"{folder=\"Bilder\"}", double(facts.bilder.nBytes)}}},
        {"zelvora_free_bytes",
         "Free bytes on the working folder's file system.",
         {{"", double(facts.nFreeBytes)}}},
        {"zelvora_last_slide_change_timestamp_seconds",
         "When the slide on screen last changed.",
         {{"", double(facts.lastSlideChange)}}},
        {"zelvora_slide_change_paint_median_seconds",
         "Median paint of a slide change over the last hour.",
         {{"", facts.paint.dMedianMs / kMsPerSecond}}},
        {"zelvora_slide_change_paint_longest_seconds",
         "Longest paint of a slide change over the last hour.",
         {{"", facts.paint.dLongestMs / kMsPerSecond}}},
        {"zelvora_restarts_last_day",
         "Restarts in place within the last day.",
         {{"", double(facts.nRestarts)}}},
        {"zelvora_stale",
         "1 when the show is stale: old data or slides that do not advance.",
         {{"", bStale ? 1.0 : 0.0}}},
    };
    QByteArray text;
    for (const Metric& metric : metrics) {
        text += QByteArray("# HELP ") + metric.szName + ' ' + metric.szHelp + '\n';
        text += QByteArray("# TYPE ") + metric.szName + " gauge\n";
        for (const auto& [labels, value] : metric.values)
            text += metric.szName + labels + ' ' + QByteArray::number(value, 'g', 17) + '\n';
    }
    return text;
}

CHealthFiles::CHealthFiles(FactsSource facts, QObject* parent)
    : QObject(parent), m_facts(std::move(facts)) {
    m_timer.setInterval(view::kHealthWritePeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CHealthFiles::Write);
}

void CHealthFiles::Start() {
    Write();
    m_timer.start();
}

void CHealthFiles::Write() {
    const ShowFacts facts = m_facts();
    // Readable by the owner only: it names the customer and the folders.
    if (!ReplaceCacheFile(QString::fromLatin1(view::kStatusFile),
                          QJsonDocument(StatusJson(facts)).toJson(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        Trace(QStringLiteral("Statusdatei nicht geschrieben"));
    const QString metrics = GetProfileString(setting::kSection, setting::kMetrikDatei);
    if (!metrics.isEmpty() && !ReplaceCacheFile(metrics, MetricsText(facts)))
        Trace(QStringLiteral("Metrikdatei nicht geschrieben: ") + metrics);
}
