#include "catalogue/SatzStore.h"

#include <algorithm>

CSatzStore::CSatzStore()
    : m_satzNrList(kSatzNrListSize), m_pPictures(kMaxPictures), m_pictureSize(kMaxPictures),
      m_satz(kMaxSatz) {}

CSatzStore::~CSatzStore() = default;

void CSatzStore::SetConnectionTarget(const QByteArray& host, int nPort) {
    m_szServer.fill('\0');
    std::copy_n(host.constData(), std::min<qsizetype>(host.size(), kServerNameSize - 1),
                m_szServer.begin());
    m_nServerPort = nPort;
}
