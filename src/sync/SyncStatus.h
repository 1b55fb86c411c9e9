#pragma once
// The outcome of the latest run of each sync step, kept in the settings group "Status" for a
// status view: when it ended, the first failure it met, and what it moved; and, kept apart,
// when the last successful run ended, so a failed run never hides how old the data is.

#include <QtGlobal>
#include <ctime>

enum class SyncFailure {
    None,
    NameLookup,    // the connection target's name could not be looked up
    Connect,       // the connection failed or broke off before the answer was whole
    TimeOut,       // a wait ran out
    Status,        // the portal answered with a status other than 200
    ErrorAnswer,   // an empty answer, the portal's refusal, or a photo too small to be one
    NoCredentials, // no customer number stored: nothing was asked
    HeaderTooLong  // an answer's header, or one of its lines, ran over the client's bounds
};

struct SyncOutcome {
    std::time_t time = 0; // 0 when no run is on record
    SyncFailure failure = SyncFailure::None;
    int nStatusCode = 0; // the first status other than 200 the portal answered with
    int nRequests = 0;
    qint64 nBytes = 0; // body bytes received
    // The portal's list came through: the data is as fresh as the portal's, even when a photo
    // failed.
    bool bListed = false;
    // Only photos were asked for: a run that says nothing about how fresh the data is.
    bool bPhotosOnly = false;
    std::time_t successTime = 0; // read only: the end of the last successful run

    // Keeps the first failure of a run: later ones are mostly its consequences.
    void Note(SyncFailure f) {
        if (failure == SyncFailure::None)
            failure = f;
    }
};

enum class SyncKind { Used, NeuFz };

// Records a run; one without a failure, or whose list came through, is also the last successful
// one, unless it asked for photos only.
void WriteSyncOutcome(SyncKind kind, const SyncOutcome& outcome);
// The failure's name as the record keeps it: "success", "time-out", "name lookup" and so on.
const char* FailureName(SyncFailure failure);
SyncOutcome ReadSyncOutcome(SyncKind kind);
