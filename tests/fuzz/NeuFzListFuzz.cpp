// The new-vehicle list as the portal may send it, loaded in both languages and released.
// Seeds name Bilder/p.jpg as their main photo, so records are kept and their texts built.

#include "CacheFileFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterFuzzWorkDir();
    WriteFuzzPhotos();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LoadFuzzedCacheFile("Daten/NeufahrzeugeListe.txt", &CSatzStore::LadeNeuFzDatenUndBilder, data,
                        size);
    return 0;
}
