#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"

namespace {
constexpr int kOpenUpperPrice = 9999999;

int TextAsNumber(const char* name) {
    return cache::ParseInt(GetProfileString(setting::kSection, name));
}

// A lower price bound with no upper bound means "from here on".
void ReadPriceRange(const char* von, const char* bis, int32_t& nVon, int32_t& nBis) {
    nVon = TextAsNumber(von);
    nBis = TextAsNumber(bis);
    if (nVon > 0 && nBis == 0)
        nBis = kOpenUpperPrice;
}
} // namespace

void CSatzStore::LoadSettings() {
    using namespace setting;
    ++m_nGeneration;
    m_nAnzeige = GetProfileInt(kSection, kAnzeige, 0);
    m_strMarken = GetProfileString(kSection, kMarken);
    ReadPriceRange(kPreisVon, kPreisBis, m_nPreisVon, m_nPreisBis);
    ReadPriceRange(kPreisVonOcc, kPreisBisOcc, m_nPreisVonOcc, m_nPreisBisOcc);
    m_nKmVon = TextAsNumber(kKmVon);
    m_nKmBis = TextAsNumber(kKmBis);
    m_nKatID = GetProfileInt(kSection, kKatID, 0);
    m_nKatIDOcc = GetProfileInt(kSection, kKatIDOcc, 0);
    m_strMarkenOccAnzeigen = GetProfileString(kSection, kMarkenOccAnzeigen);
    m_strMarkenNeuFzAnzeigen = GetProfileString(kSection, kMarkenNeuFzAnzeigen);
    m_strPromoText = GetProfileString(kSection, kPromoText);
    m_bManuellUpdate = GetProfileInt(kSection, kManuellUpdate, 0) != 0;
    m_bShutDown = GetProfileInt(kSection, kShutDown, 0) != 0;
    // Seconds are dropped: the shutdown window always opens at second 0 of the minute.
    const int t = GetProfileInt(kSection, kShutDownTime, 0);
    m_timeShutDown = LocalTime(2007, 12, 13, t / 3600, (t % 3600) / 60, 0);
}
