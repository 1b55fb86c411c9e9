#pragma once
// Every text the loaders build exists in German and in French.

#include "catalogue/CatalogueLimits.h"

// Any language value but French gives the German text, the program's own language.
inline const char* ByLanguage(int nSprache, const char* de, const char* fr) {
    return nSprache == kFranzoesisch ? fr : de;
}
