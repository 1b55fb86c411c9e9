// A used-vehicle record file as the portal may send it, loaded in both languages and released.
// Seeds name Bilder/p.jpg as their main photo, so the slide's texts are built too.

#include "CacheFileFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterFuzzWorkDir();
    WriteFuzzPhotos();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LoadFuzzedCacheFile("Daten/satz_1_2.txt", &CSatzStore::LadeBilderUndDaten, data, size);
    return 0;
}
