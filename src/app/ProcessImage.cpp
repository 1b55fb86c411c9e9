#include "app/ProcessImage.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

std::string ReplaceProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // By name first, as it was started, so an upgraded binary is the one that starts; the
    // running image when that name no longer leads to it.
    ::execvp(argv[0], argv.data());
    const int nByName = errno;
    ::execv("/proc/self/exe", argv.data());
    return std::string(std::strerror(nByName));
}
