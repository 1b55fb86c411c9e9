#include "sync/SyncStatus.h"

#include "settings/Profile.h"
#include "sync/UpdateScheduler.h"

#include <array>
#include <utility>

namespace {

constexpr char kStatusSection[] = "Status";

struct StatusKeys {
    const char* time;
    const char* outcome;
    const char* requests;
    const char* bytes;
};
constexpr StatusKeys kUsedKeys{"UsedSyncTime", "UsedSyncOutcome", "UsedSyncRequests",
                               "UsedSyncBytes"};
constexpr StatusKeys kNeuFzKeys{"NeuFzSyncTime", "NeuFzSyncOutcome", "NeuFzSyncRequests",
                                "NeuFzSyncBytes"};

constexpr std::array<std::pair<SyncFailure, const char*>, 7> kFailureNames{{
    {SyncFailure::None, "none"},
    {SyncFailure::NameLookup, "name lookup"},
    {SyncFailure::Connect, "connect"},
    {SyncFailure::TimeOut, "time-out"},
    {SyncFailure::Status, "status"},
    {SyncFailure::ErrorAnswer, "error answer"},
    {SyncFailure::NoCredentials, "no credentials"},
}};

const StatusKeys& Keys(SyncKind kind) {
    return kind == SyncKind::Used ? kUsedKeys : kNeuFzKeys;
}

} // namespace

void WriteSyncOutcome(SyncKind kind, const SyncOutcome& outcome) {
    const StatusKeys& keys = Keys(kind);
    std::tm tm{};
    localtime_r(&outcome.time, &tm);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    WriteProfileString(kStatusSection, keys.time, QString::fromLatin1(text));
    for (const auto& [failure, name] : kFailureNames)
        if (failure == outcome.failure)
            WriteProfileString(kStatusSection, keys.outcome, QString::fromLatin1(name));
    WriteProfileInt(kStatusSection, keys.requests, outcome.nRequests);
    WriteProfileString(kStatusSection, keys.bytes, QString::number(outcome.nBytes));
}

SyncOutcome ReadSyncOutcome(SyncKind kind) {
    const StatusKeys& keys = Keys(kind);
    SyncOutcome outcome;
    outcome.time = CUpdateScheduler::ParseTimeStamp(GetProfileString(kStatusSection, keys.time));
    const QString name = GetProfileString(kStatusSection, keys.outcome);
    for (const auto& [failure, text] : kFailureNames)
        if (name == QLatin1String(text))
            outcome.failure = failure;
    outcome.nRequests = GetProfileInt(kStatusSection, keys.requests, 0);
    outcome.nBytes = GetProfileString(kStatusSection, keys.bytes).toLongLong();
    return outcome;
}
