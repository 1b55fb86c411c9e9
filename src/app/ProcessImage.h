#pragma once
// The seam around exec: only the program links it, so no test can replace its own process.

#include <string>
#include <vector>

// Starts the program of args[0] afresh in this process, with args, keeping the process ID (a
// supervisor keeps its main process). Returns only when that fails, with the error's text.
std::string ReplaceProcess(const std::vector<std::string>& args);
