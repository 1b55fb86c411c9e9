#include "settings/Clock.h"

#include <chrono>

namespace {
class CSystemClock final : public IClock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};
} // namespace

qint64 IClock::SteadyMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

IClock& SystemClock() {
    static CSystemClock clock;
    return clock;
}

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1; // let the platform decide on daylight saving
    return std::mktime(&tm);
}

int SecondsOfDay(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

QString FormatLocalTime(std::time_t t, const char* szFormat) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[64] = {};
    std::strftime(text, sizeof text, szFormat, &tm);
    return QString::fromLatin1(text);
}
