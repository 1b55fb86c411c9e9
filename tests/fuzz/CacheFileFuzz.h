#pragma once
// The shared body of the cache-file targets: the input becomes the file at path, which one of
// the catalogue's loaders reads in both languages before the catalogue is released again.

#include "FuzzWorkDir.h"
#include "catalogue/SatzStore.h"

#include <cstddef>
#include <cstdint>

using CacheLoader = void (CSatzStore::*)();

inline void LoadFuzzedCacheFile(const char* path, CacheLoader load, const std::uint8_t* data,
                                std::size_t size) {
    // Built once: a catalogue holds every slide and picture slot up front.
    static CSatzStore store;
    WriteFuzzFile(path, data, size);
    for (const int nSprache : {kDeutsch, kFranzoesisch}) {
        store.m_nSprache = nSprache;
        (store.*load)();
        store.ResetBilderUndDaten();
    }
}
