#pragma once
// The scheduled shutdown's rule: due in the first half minute after the set time of day.

#include <ctime>

class CSatzStore;

// True when the shutdown is enabled and now lies 0 to 29 seconds after the shutdown time of
// day. Both are seconds within the same day: a window that would cross midnight ends there.
bool IsShutdownDue(const CSatzStore& store, std::time_t now);
