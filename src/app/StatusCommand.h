#pragma once
// `zelvora --status`: whether the show on a working folder is healthy, for someone who logs in
// over SSH or a check that runs there. Needs no display and no running show: it reads the
// folder's lock, the status file the show writes there and the settings store.

#include "app/CommandLine.h"

#include <ctime>
#include <string>

struct StatusAnswer {
    std::string strOut; // for standard output
    std::string strErr; // one line for standard error, for a usage error
    int nExit = 0;      // 0 healthy, 1 stale or no show, 2 usage error
};

StatusAnswer StatusCommand(const StatusRequest& request, std::time_t now);
