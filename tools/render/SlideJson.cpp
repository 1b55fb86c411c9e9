#include "SlideJson.h"

#include "catalogue/SatzStore.h"

#include <QJsonArray>
#include <algorithm>

QJsonObject SatzToJson(const CSatzStore& store, int nSatz) {
    const Satz& satz = store.m_satz[size_t(nSatz)];

    QJsonArray zeilen;
    const int nZeilen = std::clamp<int>(satz.nZeilen, 0, int(satz.strZeilen.size()));
    for (int i = 0; i < nZeilen; ++i)
        zeilen.append(satz.strZeilen[size_t(i)]);

    // Slot 0 is a real slot for the main photo; in the further fields it means none.
    QJsonArray bild;
    QJsonArray bildSize;
    for (size_t k = 0; k < satz.nBild.size(); ++k) {
        const int nSlot = satz.nBild[k];
        bild.append(nSlot);
        if ((k == 0 || nSlot > 0) && nSlot >= 0 && nSlot < int(store.m_pictureSize.size())) {
            const PictureSize& size = store.m_pictureSize[size_t(nSlot)];
            bildSize.append(QJsonArray{size.nWidth, size.nHeight});
        }
    }

    return QJsonObject{
        {QStringLiteral("nArt"), satz.nArt},
        {QStringLiteral("strMarke"), satz.strMarke},
        {QStringLiteral("nPreis"), satz.nPreis},
        {QStringLiteral("nKatID"), satz.nKatID},
        {QStringLiteral("nKm"), satz.nKm},
        {QStringLiteral("strTitel"), satz.strTitel},
        {QStringLiteral("strKmText"), satz.strKmText},
        {QStringLiteral("strPreis"), satz.strPreis},
        {QStringLiteral("strZustand"), satz.strZustand},
        {QStringLiteral("dRate"), satz.dRate},
        {QStringLiteral("strZeilen"), zeilen},
        {QStringLiteral("strPreisZeile"), satz.strPreisZeile},
        {QStringLiteral("nBild"), bild},
        {QStringLiteral("bildSize"), bildSize},
        {QStringLiteral("visible"), store.IsSatzVisible(nSatz)},
    };
}
