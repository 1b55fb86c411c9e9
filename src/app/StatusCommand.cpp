#include "app/StatusCommand.h"

#include "app/AppConstants.h"
#include "app/ShowLock.h"
#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "settings/Clock.h"
#include "show/HealthFiles.h"
#include "show/ShowFacts.h"
#include "show/ViewConstants.h"
#include "sync/SyncStatus.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <utility>

namespace {

constexpr int kExitHealthy = 0;
constexpr int kExitStale = 1;
constexpr int kExitUsage = 2;
// The show writes a few kilobytes; anything much larger is not its file.
constexpr qint64 kMaxStatusFileBytes = 1024 * 1024;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

const std::pair<unsigned, const char*> kReasons[] = {
    {stale::kNoShow, "no show runs on the folder"},
    {stale::kOldSync, "no successful used-vehicle sync for 48 h"},
    {stale::kNoSlideChange, "no slide change for 5 minutes while the show should advance"},
    {stale::kSilent, "the show has not written its status for 5 minutes"},
};

QString When(qint64 t, std::time_t now) {
    if (t <= 0)
        return QStringLiteral("never");
    return QStringLiteral("%1 (%2 s ago)")
        .arg(FormatLocalTime(static_cast<std::time_t>(t), "%Y-%m-%d %H:%M:%S"))
        .arg(now - t);
}

QString Megabytes(double bytes) {
    return QString::number(bytes / kBytesPerMegabyte, 'f', 1) + QStringLiteral(" MB");
}

QString SyncText(const char* szLabel, const QJsonObject& sync, std::time_t now) {
    return QStringLiteral("%1: last sync %2%3, last success %4\n")
        .arg(QString::fromLatin1(szLabel), When(sync["last_attempt"].toInteger(), now),
             sync["last_attempt"].toInteger() > 0
                 ? (sync["ok"].toBool() ? QStringLiteral(" ok") : QStringLiteral(" failed"))
                 : QString(),
             When(sync["last_success"].toInteger(), now));
}

QString Text(const QJsonObject& answer, std::time_t now) {
    const QJsonObject status = answer["status"].toObject();
    const QJsonObject slide = status["slide"].toObject();
    const QJsonObject paint = status["paint_ms"].toObject();
    const QJsonObject syncs = answer["syncs"].toObject();
    QString text = QStringLiteral("Folder: %1\n").arg(answer["folder"].toString());
    text += answer["show_running"].toBool()
                ? QStringLiteral("Show: runs (process %1)\n").arg(answer["pid"].toInteger())
                : QStringLiteral("Show: not running\n");
    QStringList reasons;
    for (const QJsonValue& reason : answer["stale"].toArray())
        reasons << reason.toString();
    text += reasons.isEmpty() ? QStringLiteral("State: healthy\n")
                              : QStringLiteral("State: stale: %1\n").arg(reasons.join(u"; "));
    text += SyncText("Used vehicles", syncs["used"].toObject(), now);
    text += SyncText("New vehicles", syncs["new"].toObject(), now);
    if (status.isEmpty())
        return text + QStringLiteral("Status file: none\n");
    text += QStringLiteral("Slide: %1 of %2, last change %3\n")
                .arg(slide["number"].toInt())
                .arg(slide["count"].toInt())
                .arg(When(slide["last_change"].toInteger(), now));
    text += QStringLiteral("Slide-change paint, last hour: median %1 ms, longest %2 ms (%3)\n")
                .arg(paint["median"].toDouble(), 0, 'f', 1)
                .arg(paint["longest"].toDouble(), 0, 'f', 1)
                .arg(paint["count"].toInt());
    text += QStringLiteral("Records: %1, photos: %2\n")
                .arg(slide["records"].toInt())
                .arg(status["photos"].toInt());
    const QJsonObject cacheBytes = status["cache_bytes"].toObject();
    text += QStringLiteral("Cache: Daten %1, Bilder %2; free %3\n")
                .arg(Megabytes(cacheBytes[cache::kDaten].toDouble()),
                     Megabytes(cacheBytes[cache::kBilder].toDouble()),
                     Megabytes(status["free_bytes"].toDouble()));
    text +=
        QStringLiteral("Restarts in the last day: %1\n").arg(status["restarts_last_day"].toInt());
    if (const QJsonObject screen = status["screen"].toObject(); !screen.isEmpty())
        text += QStringLiteral("Screen: %1 %2x%3\n")
                    .arg(screen["name"].toString())
                    .arg(screen["width"].toInt())
                    .arg(screen["height"].toInt());
    return text + QStringLiteral("Status file: written %1\n")
                      .arg(When(status["written"].toInteger(), now));
}

QJsonObject ReadStatusFile(const QString& folder) {
    const auto bytes = cache::ReadWholeFile(
        QDir(folder).filePath(QString::fromLatin1(view::kStatusFile)), kMaxStatusFileBytes);
    return bytes ? QJsonDocument::fromJson(*bytes).object() : QJsonObject();
}

} // namespace

StatusAnswer StatusCommand(const StatusRequest& request, std::time_t now) {
    const QString folder = QDir(QString::fromStdString(request.strDir)).absolutePath();
    if (!QFileInfo(folder).isDir())
        return {{}, "zelvora: no folder " + request.strDir + '\n', kExitUsage};

    const qint64 nPid = ShowLockHolder(folder);
    const QJsonObject status = ReadStatusFile(folder);
    // The file of an earlier show says nothing about this one, which writes its own at once.
    const bool bCurrent = nPid > 0 && status["pid"].toInteger() == nPid;
    const SyncOutcome used = ReadSyncOutcome(SyncKind::Used);
    unsigned reasons =
        StaleReasons(now, nPid > 0, used.successTime,
                     bCurrent && status["show"].toObject()["should_advance"].toBool(),
                     status["slide"].toObject()["last_change"].toInteger());
    if (nPid > 0 &&
        (!bCurrent || now - status["written"].toInteger() > view::kNoSlideChangeSeconds))
        reasons |= stale::kSilent;

    QJsonArray reasonTexts;
    for (const auto& [nReason, szText] : kReasons) {
        if (reasons & nReason)
            reasonTexts.append(QString::fromLatin1(szText));
    }
    const QJsonObject answer{
        {"folder", QDir::toNativeSeparators(folder)},
        {"show_running", nPid > 0},
        {"pid", nPid > 0 ? QJsonValue(nPid) : QJsonValue()},
        {"healthy", reasons == 0},
        {"stale", reasonTexts},
        {"syncs", QJsonObject{{"used", SyncJson(used)},
                              {"new", SyncJson(ReadSyncOutcome(SyncKind::NeuFz))}}},
        {"status", status.isEmpty() ? QJsonValue() : QJsonValue(status)},
    };
    const std::string out = request.bJson ? QJsonDocument(answer).toJson().toStdString()
                                          : Text(answer, now).toStdString();
    return {out, {}, reasons == 0 ? kExitHealthy : kExitStale};
}
