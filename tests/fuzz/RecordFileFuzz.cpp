// A used-vehicle record file as the portal may send it, loaded in both languages and released.
// Seeds name Bilder/p.jpg as their main photo, so the slide's texts are built too.

#include "FuzzWorkDir.h"
#include "catalogue/SatzStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterFuzzWorkDir();
    WriteFuzzPhotos();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Built once: a catalogue holds every slide and picture slot up front.
    static CSatzStore store;
    WriteFuzzFile("Daten/satz_1_2.txt", data, size);
    for (const int nSprache : {kDeutsch, kFranzoesisch}) {
        store.m_nSprache = nSprache;
        store.LadeBilderUndDaten();
        store.ResetBilderUndDaten();
    }
    return 0;
}
