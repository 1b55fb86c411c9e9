// "LastUpdate" as the settings store may hold it, read as a time stamp.

#include "sync/UpdateScheduler.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CUpdateScheduler::ParseTimeStamp(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
