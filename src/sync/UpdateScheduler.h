#pragma once
// When the two syncs run and what follows them: the hourly update with its rebuild of the
// catalogue, the weekly new-vehicle check kept in "LastUpdate", and the manual update.

#include <QString>
#include <ctime>
#include <functional>
#include <optional>

class CCancelToken;
class CSatzStore;
class IClock;
class IPortalSync;

class CUpdateScheduler {
public:
    // A job's cancel: a new-vehicle sync it cut short leaves "LastUpdate" as it was.
    CUpdateScheduler(CSatzStore& store, IPortalSync& sync, const IClock& clock,
                     const CCancelToken* pCancel = nullptr);

    // Syncs the used vehicles, runs the weekly check and rebuilds the catalogue, unless updates
    // are manual. stopSlideTimer is called before the catalogue changes; the caller restarts it.
    void OnlineUpdate(const std::function<void()>& stopSlideTimer);
    // Runs the new-vehicle sync when more than 168 full hours have passed since "LastUpdate",
    // or when it lies more than a day ahead.
    void WeeklyNeuFzUpdateCheck();
    // The sync steps of the menu command "Update"; the caller then shows its message and
    // closes the program.
    void ManualUpdate(const std::function<void()>& stopSlideTimer);

    // A job's: "LastUpdate" is written only while it still holds text (or what this scheduler
    // wrote since), so a job never overwrites a change made while it ran.
    void GuardLastUpdate(const QString& text) { m_lastUpdateRead = text; }
    // The clock's local time, unless the clock stands before 2020.
    void SetLastUpdate();
    std::time_t GetLastUpdate() const;
    // "YYYY-MM-DD HH:MM:SS" read by position as local time; 0 for any other length.
    static std::time_t ParseTimeStamp(const QString& text);

private:
    CSatzStore& m_store;
    IPortalSync& m_sync;
    const IClock& m_clock;
    const CCancelToken* m_pCancel;
    std::optional<QString> m_lastUpdateRead;
};
