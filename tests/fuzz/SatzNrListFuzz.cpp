// The record-number list as the portal may send it, taken by the used-vehicle sync: the address
// goes to the settings store, the records are compared with the record files and unlisted
// files are deleted. The catalogue has no connection target, so a stale record's request ends
// at the name lookup and nothing leaves the process.

#include "FuzzWorkDir.h"
#include "catalogue/SatzStore.h"
#include "sync/UsedSync.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace {
// Record 17 of customer number 0, the catalogue's own, with its change time and two photos.
constexpr std::uint8_t kRecord[] = "HONDA CBR 600 F\n\n8900\n2024-05-01 10:00:00\n05.2003\n12500\n"
                                   "\na.jpg\nb.jpg\n\n\n\n";
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterFuzzWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CSatzStore store;
    static const SyncOptions options;
    // An unlisted record file is deleted: every input starts with it in place.
    WriteFuzzFile("Daten/satz_0_17.txt", kRecord, sizeof kRecord - 1);
    SyncOutcome outcome;
    CUsedSync(store, options, outcome)
        .ReadSatzNrList(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
