#include "sync/SyncStatus.h"

#include "settings/Clock.h"
#include "settings/Profile.h"
#include "sync/UpdateScheduler.h"

#include <array>
#include <utility>

namespace {

constexpr char kStatusSection[] = "Status";

struct StatusKeys {
    const char* time; // of the last attempt
    const char* outcome;
    const char* status;
    const char* requests;
    const char* bytes;
    const char* successTime;
};
constexpr StatusKeys kUsedKeys{"UsedSyncTime",     "UsedSyncOutcome", "UsedSyncHttpStatus",
                               "UsedSyncRequests", "UsedSyncBytes",   "UsedSyncSuccessTime"};
constexpr StatusKeys kNeuFzKeys{"NeuFzSyncTime",     "NeuFzSyncOutcome", "NeuFzSyncHttpStatus",
                                "NeuFzSyncRequests", "NeuFzSyncBytes",   "NeuFzSyncSuccessTime"};

// Records of earlier versions named success "none" and kept no success time of their own.
constexpr char kLegacySuccess[] = "none";

constexpr std::array<std::pair<SyncFailure, const char*>, 8> kFailureNames{{
    {SyncFailure::None, "success"},
    {SyncFailure::NameLookup, "name lookup"},
    {SyncFailure::Connect, "connect"},
    {SyncFailure::TimeOut, "time-out"},
    {SyncFailure::Status, "status"},
    {SyncFailure::ErrorAnswer, "error answer"},
    {SyncFailure::NoCredentials, "no credentials"},
    {SyncFailure::HeaderTooLong, "header too long"},
}};

const StatusKeys& Keys(SyncKind kind) {
    return kind == SyncKind::Used ? kUsedKeys : kNeuFzKeys;
}

} // namespace

const char* FailureName(SyncFailure failure) {
    for (const auto& [f, name] : kFailureNames)
        if (f == failure)
            return name;
    return "";
}

void WriteSyncOutcome(SyncKind kind, const SyncOutcome& outcome) {
    const StatusKeys& keys = Keys(kind);
    const QString time = FormatLocalTime(outcome.time, "%Y-%m-%d %H:%M:%S");
    WriteProfileString(kStatusSection, keys.time, time);
    WriteProfileString(kStatusSection, keys.outcome,
                       QString::fromLatin1(FailureName(outcome.failure)));
    WriteProfileInt(kStatusSection, keys.status,
                    outcome.failure == SyncFailure::Status ? outcome.nStatusCode : 0);
    WriteProfileInt(kStatusSection, keys.requests, outcome.nRequests);
    WriteProfileString(kStatusSection, keys.bytes, QString::number(outcome.nBytes));
    if ((outcome.failure == SyncFailure::None || outcome.bListed) && !outcome.bPhotosOnly)
        WriteProfileString(kStatusSection, keys.successTime, time);
}

SyncOutcome ReadSyncOutcome(SyncKind kind) {
    const StatusKeys& keys = Keys(kind);
    SyncOutcome outcome;
    outcome.time = CUpdateScheduler::ParseTimeStamp(GetProfileString(kStatusSection, keys.time));
    const QString name = GetProfileString(kStatusSection, keys.outcome);
    for (const auto& [failure, text] : kFailureNames)
        if (name == QLatin1String(text))
            outcome.failure = failure;
    outcome.nStatusCode = GetProfileInt(kStatusSection, keys.status, 0);
    outcome.nRequests = GetProfileInt(kStatusSection, keys.requests, 0);
    outcome.nBytes = GetProfileString(kStatusSection, keys.bytes).toLongLong();
    const QString successTime = GetProfileString(kStatusSection, keys.successTime);
    if (!successTime.isEmpty())
        outcome.successTime = CUpdateScheduler::ParseTimeStamp(successTime);
    else if (name == QLatin1String(kLegacySuccess))
        outcome.successTime = outcome.time;
    return outcome;
}
