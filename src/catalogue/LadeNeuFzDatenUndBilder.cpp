#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "catalogue/Sprache.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"

#include <span>

namespace {

const QByteArray kNeuFzTag = QByteArrayLiteral("<neufz>");
const QByteArray kListe = QByteArrayLiteral("NeufahrzeugeListe.txt");
const QString kKeinWert = QStringLiteral("---");

using NeuFzRecord = std::span<const QByteArray, kNeuFzMaxLines>;

struct Sprachpaar {
    const char* de;
    const char* fr;
};

constexpr Sprachpaar kKategorien[neufz::kKategorien] = {
    {"Mofa", "Vélomoteur"},
    {"Minibike", "Pocketbike"},
    {"Roller", "Scooter"},
    {"Enduro", "Enduro"},
    {"Chopper/Cruiser", "Chopper/Cruiser"},
    {"Naked/Roadster", "Naked/Roadster"},
    {"Touring", "Touring"},
    {"Sport", "Sport"},
    {"Gespann", "Side-Car"},
    {"Trike", "Trike"},
    {"Motocross", "Motocross"},
    {"Quad", "Quad"},
    {"Supermoto", "Supermoto"},
    {"e-Fahrzeuge", "e-Bicyclette"},
};

// The ten data lines, one row per record line from line 5 on. Counts and sizes lose
// their leading zeros in German.
struct SpecZeile {
    Sprachpaar format;
    bool bOhneNullen;
};

constexpr int kErsteSpecZeile = neufz::kKategorie;
constexpr SpecZeile kSpecZeilen[kNeuFzSpecZeilen] = {
    {{"Kat. %s", "Cat. %s"}, false},
    {{"Hubraum %s ccm", "Cylindrée %s ccm"}, true},
    {{"Drehm. %s Nm", "Couple %s Nm"}, true},
    {{"Anz. Zylinder %s", "Nbr cylindres %s"}, true},
    {{"Getriebe %s", "Boîte de vitesse %s"}, false},
    {{"Leistung %s PS", "Puissance %s PS"}, true},
    {{"Sitzhöhe %0.1f cm", "Hauteur selle %0.1f cm"}, true},
    {{"PneuV %s", "PneuAv %s"}, false},
    {{"PneuH %s", "PneuAr %s"}, false},
    {{"Gewicht %s kg", "Poids %s kg"}, true},
};
constexpr Sprachpaar kFarbe = {"Farbe %s", "Couleur %s"};

// A line's value as shown: "---" for an empty line or "0".
QString Wert(const QByteArray& line) {
    return line.isEmpty() || line == "0" ? kKeinWert : cache::FromCp1252(line);
}

QString SpecText(NeuFzRecord record, int nLine, int nSprache) {
    const SpecZeile& row = kSpecZeilen[nLine - kErsteSpecZeile];
    const char* format = ByLanguage(nSprache, row.format.de, row.format.fr);
    if (nLine == neufz::kSitzhoehe)
        return QString::asprintf(format, cache::ParseInt(record[nLine]) / 10.0);
    QString value = Wert(record[nLine]);
    if (nLine == neufz::kKategorie) {
        const int nKat = cache::ParseInt(value);
        if (nKat >= 1 && nKat <= neufz::kKategorien)
            value = QString::fromUtf8(
                ByLanguage(nSprache, kKategorien[nKat - 1].de, kKategorien[nKat - 1].fr));
    } else if (row.bOhneNullen && nSprache != kFranzoesisch) {
        qsizetype nZeros = 0;
        while (nZeros < value.size() && value[nZeros] == u'0')
            ++nZeros;
        value.remove(0, nZeros);
    }
    return QString::asprintf(format, qUtf8Printable(value));
}

// Only a capital that Windows-1252 can hold: the list's texts stay in that code page.
QChar Capital(QChar c) {
    const QChar upper = c.toUpper();
    return cache::ToCp1252(QString(upper)) != "?" ? upper : c;
}

// Up to five colour lines from the blank-separated colour words; each word keeps its blank,
// and words of one letter are passed over.
int FarbZeilen(const QByteArray& line, int nSprache, Satz& satz) {
    QString colours = Wert(line);
    if (colours == kKeinWert)
        return 0;
    colours += u' ';
    int nCount = 0;
    qsizetype start = 0;
    for (qsizetype blank = colours.indexOf(u' '); blank >= 0 && nCount < kMaxFarbZeilen;
         start = blank + 1, blank = colours.indexOf(u' ', start)) {
        QString word = colours.mid(start, blank + 1 - start);
        if (word.size() <= 2)
            continue;
        word[0] = Capital(word[0]);
        satz.strZeilen[kNeuFzSpecZeilen + nCount++] =
            QString::asprintf(ByLanguage(nSprache, kFarbe.de, kFarbe.fr), qUtf8Printable(word));
    }
    return nCount;
}

QByteArray FotoName(const QByteArray& line) {
    return cache::WithoutTrailingCr(line).toByteArray().replace('/', '_');
}

// Appends the slide of one record when its main photo is a landscape photo large enough.
// False when the catalogue is full.
bool AddNeuFzSatz(CSatzStore& store, NeuFzRecord record) {
    if (store.m_nSatzCount >= kMaxSatz || store.m_nPictureCount >= kMaxPictures) {
        Trace(QStringLiteral("Katalog voll"));
        return false;
    }
    const QByteArray hauptfoto = FotoName(record[neufz::kHauptfoto]);
    int nHeight = 0;
    int nWidth = 0;
    if (hauptfoto.size() > kMinFotoName)
        store.LoadPictureFile(-1, cache::PhotoPath(hauptfoto), nHeight, nWidth);
    TraceF("Checke Foto Gross %d %s  %d/%d", store.m_nPictureCount,
           qUtf8Printable(cache::FromCp1252(hauptfoto)), nHeight, nWidth);
    if (nWidth <= kMinNeuFzMainWidth || nHeight >= kMaxNeuFzMainHeight)
        return true;

    Satz satz;
    satz.nArt = 2;
    satz.strRecord = cache::FromCp1252(hauptfoto);
    satz.strMarke = cache::FromCp1252(record[neufz::kMarke]);
    satz.nPreis = cache::ParseInt(record[neufz::kPreis]);
    satz.nKatID = cache::ParseInt(record[neufz::kKategorie]);
    satz.strTitel = satz.strMarke + u' ' + cache::FromCp1252(record[neufz::kModell]);
    satz.strZustand =
        QString::fromUtf8(ByLanguage(store.m_nSprache, "Neufahrzeug", "Véhicule neuf"));
    satz.dRate = cache::ParseRate(record[neufz::kRate]);
    if (satz.nPreis > 0)
        satz.strPreisZeile = QString::fromUtf8(ByLanguage(store.m_nSprache, "Fr. ", "CHF ")) +
                             CSatzStore::FormatThousands(satz.nPreis) + QStringLiteral(".-");
    for (int j = 0; j < kNeuFzSpecZeilen; ++j)
        satz.strZeilen[j] = SpecText(record, kErsteSpecZeile + j, store.m_nSprache);
    satz.nZeilen = kNeuFzSpecZeilen + FarbZeilen(record[neufz::kFarben], store.m_nSprache, satz);

    TraceF("Foto Gross %d %s", store.m_nPictureCount, qUtf8Printable(cache::FromCp1252(hauptfoto)));
    // The photo was measured a moment ago; if it is gone now the slide would have none.
    if (!store.AppendPicture(cache::PhotoPath(hauptfoto), satz.nBild[0], nHeight, nWidth))
        return true;
    Trace(QStringLiteral("FotoNrIntern START"));
    for (int k = 1; k < kBilderProSatz; ++k) {
        const QByteArray& line = record[neufz::kHauptfoto + k];
        if (line == kNeuFzTag)
            break;
        const QByteArray foto = FotoName(line);
        TraceF("FotoNrIntern %d %d %s", k, store.m_nPictureCount,
               qUtf8Printable(cache::FromCp1252(foto)));
        if (foto.size() > kMinNeuFzNebenfotoName)
            store.AppendPicture(cache::PhotoPath(foto), satz.nBild[k], nHeight, nWidth);
    }

    store.m_satz[store.m_nSatzCount++] = std::move(satz);
    store.m_bSatzLoaded = true;
    return true;
}

} // namespace

void CSatzStore::LadeNeuFzDatenUndBilder() {
    Trace(QStringLiteral("LadeNeuFzDatenUndBilder"));
    ++m_nGeneration;
    const auto text =
        cache::ReadWholeFile(cache::CachePath(cache::kDaten, kListe), kMaxCacheTextSize);
    if (text && !text->isEmpty()) {
        // A record's lines by number. Cleared for every record, so a short record never shows
        // lines of the one before it; lines past the table are cut.
        std::array<QByteArray, kNeuFzMaxLines> record;
        int nLine = 0;
        cache::CLineReader lines(*text);
        while (const auto line = lines.Next()) {
            const bool bTag = *line == kNeuFzTag;
            if (nLine < kNeuFzMaxLines)
                record[nLine] = line->toByteArray();
            if (!bTag) {
                ++nLine;
                continue;
            }
            if (!AddNeuFzSatz(*this, record))
                break;
            record.fill(QByteArray());
            nLine = 1;
        }
        m_strAdresse = GetProfileString(setting::kSection, setting::kAdresse);
    }
    Trace(QStringLiteral("LadeNeuFzDatenUndBilder fertig"));
}
