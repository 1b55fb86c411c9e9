#pragma once
// Time values are seconds since 1970 (UTC), converted from and to local time by the C library's
// calendar. The clock is a seam so tests can run the shutdown and update rules at any hour.

#include <QString>
#include <QtGlobal>
#include <ctime>

class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t Now() const = 0;
    // Milliseconds on a clock that never jumps, for spans within the run; the real one unless
    // a test drives it.
    virtual qint64 SteadyMs() const;
};

// The real clock. Stateless; one instance for the life of the process.
IClock& SystemClock();

// Local calendar conversion; -1 when the platform cannot convert.
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second);
// Seconds after local midnight of t: hour * 3600 + minute * 60 + second.
int SecondsOfDay(std::time_t t);
// t in local time, formatted by strftime's szFormat (ASCII fields only).
QString FormatLocalTime(std::time_t t, const char* szFormat);
