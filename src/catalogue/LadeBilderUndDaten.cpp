#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/SatzStore.h"
#include "catalogue/Sprache.h"
#include "settings/Trace.h"

#include <QDir>
#include <algorithm>

namespace {

const QByteArray kZubehoerTag = QByteArrayLiteral("<zubehoer>");
const QByteArray kEndeTag = QByteArrayLiteral("<ende>");

// The lines of one record file as far as they are read: up to line 51, or up to its "<ende>"
// line. A line the file does not have is empty.
class COccRecord {
public:
    explicit COccRecord(const QByteArray& text) {
        for (QByteArray& line : cache::SplitLines(text, kOccMaxLines)) {
            const int n = static_cast<int>(m_lines.size());
            if (line == kZubehoerTag)
                m_nZubehoer = n;
            const bool bEnde = line == kEndeTag;
            m_lines.push_back(std::move(line));
            if (bEnde) {
                m_nEnde = n;
                break;
            }
        }
    }

    const QByteArray& Line(int n) const {
        static const QByteArray empty;
        return n < std::ssize(m_lines) ? m_lines[n] : empty;
    }
    QString Text(int n) const { return cache::FromCp1252(Line(n)); }
    int Number(int n) const { return cache::ParseInt(Line(n)); }

    // The lines strictly between "<zubehoer>" and "<ende>" (a missing tag counts as line 0).
    int ZubehoerCount() const {
        return std::clamp(m_nEnde - m_nZubehoer - 1, 0, kMaxZubehoerZeilen);
    }
    int FirstZubehoer() const { return m_nZubehoer + 1; }

private:
    std::vector<QByteArray> m_lines;
    int m_nZubehoer = 0;
    int m_nEnde = 0;
};

QString Zustand(int nSprache, int nCode) {
    switch (nCode) {
    case occ::kVorfuehrmodell:
        return QString::fromUtf8(ByLanguage(nSprache, "Vorführmodell", "Modèle de démonstration"));
    case occ::kVorjahresmodell:
        return QString::fromUtf8(
            ByLanguage(nSprache, "Vorjahresmodell", "Modèle de l\u2019année passée"));
    default:
        return QStringLiteral("Occasion");
    }
}

// Mileage, first registration, power and extra text in one line.
QString KmText(const COccRecord& record, int nSprache) {
    const QString strKm = CSatzStore::FormatThousands(record.Number(occ::kKm));
    QString strErstzulassung;
    if (record.Line(occ::kErstzulassung).size() > 2)
        strErstzulassung = u' ' + record.Text(occ::kErstzulassung) + QStringLiteral(", ");
    QString strLeistung;
    if (record.Line(occ::kLeistung).size() > 1)
        strLeistung = QString::asprintf("%dPS, ", record.Number(occ::kLeistung));
    QString strZusatz;
    if (record.Line(occ::kZusatz).size() > 1)
        strZusatz = record.Text(occ::kZusatz);
    return QString::asprintf(ByLanguage(nSprache, "%s km, 1. IV %s%s%s", "%s km, 1. MC %s%s%s"),
                             qUtf8Printable(strKm), qUtf8Printable(strErstzulassung),
                             qUtf8Printable(strLeistung), qUtf8Printable(strZusatz));
}

// Record files in name order with numbers compared as numbers, so the show's order does not
// depend on the file system.
QStringList RecordFiles() {
    QStringList names = QDir(QString::fromLatin1(cache::kDaten))
                            .entryList({QStringLiteral("satz_*.txt")}, QDir::Files);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return cache::NaturalLess(a, b); });
    return names;
}

} // namespace

void CSatzStore::LadeBilderUndDaten() {
    Trace(QStringLiteral("LadeBilderUndDaten"));
    ++m_nGeneration;
    m_bSatzLoaded = false;
    for (const QString& name : RecordFiles()) {
        if (m_nSatzCount >= kMaxSatz || m_nPictureCount >= kMaxPictures) {
            Trace(QStringLiteral("Katalog voll"));
            break;
        }
        const auto text = cache::ReadWholeFile(QString::fromLatin1(cache::kDaten) + u'/' + name,
                                               kMaxCacheTextSize);
        if (!text || text->isEmpty())
            continue;
        const COccRecord record(*text);

        Satz satz;
        int nHeight = 0;
        int nWidth = 0;
        const QByteArrayView hauptfoto = cache::WithoutTrailingCr(record.Line(occ::kHauptfoto));
        if (hauptfoto.size() <= kMinFotoName ||
            !AppendPicture(cache::PhotoPath(hauptfoto), satz.nBild[0], nHeight, nWidth) ||
            nWidth <= kMinOccMainWidth) {
            Trace(QStringLiteral("Bild zu klein"));
            continue;
        }

        satz.nArt = 1;
        satz.strRecord = name;
        satz.strMarke = record.Text(occ::kMarke);
        satz.nPreis = record.Number(occ::kPreis);
        satz.nKatID = record.Number(occ::kKategorie);
        satz.nKm = record.Number(occ::kKm);
        satz.strTitel = record.Text(occ::kTitel);
        satz.dRate = cache::ParseRate(record.Line(occ::kRate));
        satz.strZustand = Zustand(m_nSprache, record.Number(occ::kZustand));
        satz.strKmText = KmText(record, m_nSprache);
        if (satz.nPreis >= 1)
            satz.strPreis = FormatThousands(satz.nPreis);
        satz.nZeilen = record.ZubehoerCount();
        for (int j = 0; j < satz.nZeilen; ++j)
            satz.strZeilen[j] = record.Text(record.FirstZubehoer() + j);
        for (int k = 1; k < kBilderProSatz; ++k) {
            const QByteArrayView foto = cache::WithoutTrailingCr(record.Line(occ::kHauptfoto + k));
            if (foto.size() > kMinFotoName)
                AppendPicture(cache::PhotoPath(foto), satz.nBild[k], nHeight, nWidth);
        }

        m_satz[m_nSatzCount++] = std::move(satz);
        m_bSatzLoaded = true;
    }
    Trace(QStringLiteral("LadeBilderUndDaten fertig"));
}
