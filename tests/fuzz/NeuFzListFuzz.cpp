// The new-vehicle list as the portal may send it, loaded in both languages and released.
// Seeds name Bilder/p.jpg as their main photo, so records are kept and their texts built.

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
    WriteFuzzFile("Daten/NeufahrzeugeListe.txt", data, size);
    for (const int nSprache : {kDeutsch, kFranzoesisch}) {
        store.m_nSprache = nSprache;
        store.LadeNeuFzDatenUndBilder();
        store.ResetBilderUndDaten();
    }
    return 0;
}
