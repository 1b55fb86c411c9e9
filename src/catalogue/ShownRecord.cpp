#include "catalogue/ShownRecord.h"

#include "catalogue/SatzStore.h"

#include <algorithm>

namespace {
int LoadedCount(const CSatzStore& store) {
    return std::min<int>(store.m_nSatzCount, int(store.m_satz.size()));
}
} // namespace

CShownRecord::CShownRecord(const CSatzStore& store) {
    const int nSatz = store.m_nCurrentSatz;
    if (nSatz < 0 || nSatz >= LoadedCount(store))
        return;
    m_nArt = store.m_satz[size_t(nSatz)].nArt;
    m_strRecord = store.m_satz[size_t(nSatz)].strRecord;
}

void CShownRecord::Resume(CSatzStore& store) const {
    store.m_nCurrentSatz = 0;
    if (m_strRecord.isEmpty())
        return;
    for (int nSatz = 0; nSatz < LoadedCount(store); ++nSatz) {
        const Satz& satz = store.m_satz[size_t(nSatz)];
        if (satz.nArt == m_nArt && satz.strRecord == m_strRecord) {
            store.m_nCurrentSatz = nSatz;
            return;
        }
    }
}
