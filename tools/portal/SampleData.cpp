#include "SampleData.h"

#include "PortalConstants.h"
#include "PortalData.h"
#include "SamplePhotos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace demoportal {
namespace {

constexpr int kFirstSatzNr = 40101;
constexpr int kFirstNeuFzId = 5001;
constexpr int kNeuFzCount = 60;
constexpr int kMaxZubehoer = 12;
constexpr int kCategoryCount = 14;
constexpr int kThisYear = 2024;

struct Pair {
    const char* de;
    const char* fr;
};

struct DealerSpec {
    int nKundenNr;
    const char* passwort;
    Pair adresse;
    int nOccasionen;
};

// The second and third passwords hold letters whose Windows-1252 bytes differ from UTF-8.
const DealerSpec kDealers[] = {
    {kDemoKundenNr,
     kDemoPasswort,
     {"Demo Motos AG · Seestrasse 12 · 8000 Zürich · Tel. 044 000 12 34",
      "Démo Motos SA · Seestrasse 12 · 8000 Zurich · tél. 044 000 12 34"},
     28},
    {23456,
     "Grüezi",
     {"Rüegg Zweirad GmbH, Bahnhofstrasse 7, 3000 Bern",
      "Rüegg Deux-Roues Sàrl, rue de la Gare 7, 3000 Berne"},
     8},
    {34567,
     "léman",
     {"Moto du Léman AG, Quai du Mont-Blanc 3, 1201 Genf",
      "Moto du Léman SA, l’atelier du quai, 1201 Genève"},
     4},
};

const char* const kBrands[] = {"AUREX", "BALTRO", "CORVELLO", "DURANZA", "ESKARO", "VELTRIX"};

const Pair kGetriebe[] = {{"6-Gang", "6 vitesses"},
                          {"5-Gang", "5 vitesses"},
                          {"Automat", "automatique"},
                          {"CVT", "variateur"}};

struct Range {
    int lo;
    int hi;
};

struct CategorySpec {
    const char* stems[3];
    Range ccm, ps, nm, zylinder, sitzhoehe, gewicht;
    const char* reifenVorne;
    const char* reifenHinten;
    int nGetriebe;
    Range preis;
};

// By category number 1 to 14.
const CategorySpec kCategories[kCategoryCount] = {
    {{"Pico", "Zippo", "Flink"},
     {49, 49},
     {1, 2},
     {3, 4},
     {1, 1},
     {760, 790},
     {52, 62},
     "2.25-17",
     "2.50-17",
     2,
     {1590, 2490}},
    {{"Mini", "Floh", "Zwerg"},
     {49, 49},
     {2, 4},
     {2, 3},
     {1, 1},
     {440, 470},
     {20, 26},
     "90/65-6.5",
     "110/50-6.5",
     2,
     {590, 1190}},
    {{"Città", "Corso", "Piazza"},
     {125, 400},
     {11, 36},
     {10, 38},
     {1, 1},
     {770, 800},
     {135, 210},
     "110/70-13",
     "130/70-13",
     3,
     {3490, 9490}},
    {{"Terra", "Rally", "Sentiero"},
     {450, 1250},
     {45, 136},
     {40, 145},
     {1, 2},
     {850, 890},
     {150, 249},
     "90/90-21",
     "150/70 R18",
     0,
     {8990, 23990}},
    {{"Bravo", "Lungo", "Ombra"},
     {900, 1900},
     {55, 105},
     {80, 160},
     {2, 2},
     {680, 720},
     {250, 345},
     "130/90-16",
     "180/65-16",
     0,
     {11990, 29990}},
    {{"Strada", "Nudo", "Vento"},
     {650, 1300},
     {70, 180},
     {60, 140},
     {2, 4},
     {790, 830},
     {180, 215},
     "120/70 ZR17",
     "180/55 ZR17",
     0,
     {7990, 19990}},
    {{"Viaggio", "Orizzonte", "Tour"},
     {1100, 1800},
     {110, 160},
     {120, 170},
     {2, 6},
     {800, 850},
     {250, 380},
     "120/70 ZR17",
     "190/55 ZR17",
     0,
     {19990, 37990}},
    {{"Corsa", "Pista", "Fulmine"},
     {600, 1000},
     {120, 215},
     {60, 115},
     {3, 4},
     {820, 840},
     {170, 200},
     "120/70 ZR17",
     "200/55 ZR17",
     0,
     {13990, 31990}},
    {{"Duetto", "Compagno", "Coppia"},
     {1000, 1250},
     {75, 110},
     {90, 125},
     {2, 2},
     {790, 810},
     {380, 450},
     "135/70 R15",
     "165/65 R15",
     1,
     {27990, 44990}},
    {{"Tria", "Triade", "Tricolo"},
     {1300, 1800},
     {80, 120},
     {110, 160},
     {2, 4},
     {690, 720},
     {400, 500},
     "120/70 R17",
     "205/55 R16",
     1,
     {29990, 49990}},
    {{"Salto", "Fango", "Cross"},
     {125, 450},
     {35, 63},
     {25, 50},
     {1, 1},
     {950, 960},
     {95, 110},
     "80/100-21",
     "120/80-19",
     1,
     {7990, 11490}},
    {{"Quadro", "Dune", "Bisonte"},
     {450, 1000},
     {35, 90},
     {40, 80},
     {1, 2},
     {870, 890},
     {300, 390},
     "26x8-14",
     "26x10-14",
     2,
     {8990, 17990}},
    {{"Asfalto", "Curva", "Slide"},
     {450, 700},
     {50, 75},
     {45, 75},
     {1, 1},
     {890, 900},
     {140, 160},
     "120/70 R17",
     "160/60 R17",
     0,
     {8990, 12990}},
    {{"Volta", "Ampère", "Scintilla"},
     {0, 0},
     {5, 110},
     {20, 200},
     {0, 0},
     {760, 820},
     {60, 220},
     "100/80-16",
     "120/80-16",
     2,
     {2990, 21990}},
};

struct Colour {
    Pair name;
    QRgb rgb;
};

const Colour kColours[] = {
    {{"rot", "rouge"}, 0xc62828},         {{"schwarz", "noir"}, 0x1b1b1b},
    {{"weiss", "blanc"}, 0xeeeeee},       {{"grau", "gris"}, 0x7a7a7a},
    {{"blau", "bleu"}, 0x1e56b8},         {{"grün", "vert"}, 0x2e7d32},
    {{"orange", "orange"}, 0xef6c00},     {{"silber", "argent"}, 0xb8bcc2},
    {{"gelb", "jaune"}, 0xf9c80e},        {{"anthrazit", "anthracite"}, 0x3a3d42},
    {{"bordeaux", "bordeaux"}, 0x6d1a2a}, {{"türkis", "turquoise"}, 0x1aa3a3},
};

const Pair kZubehoer[] = {
    {"Topcase 45 l", "Top-case 45 l"},
    {"Seitenkoffer", "Valises latérales"},
    {"Heizgriffe", "Poignées chauffantes"},
    {"Tempomat", "Régulateur de vitesse"},
    {"Sturzbügel", "Pare-carters"},
    {"Tankrucksack", "Sacoche de réservoir"},
    {"LED-Zusatzscheinwerfer", "Phares d’appoint LED"},
    {"Navi-Halterung", "Support GPS"},
    {"Quickshifter", "Shifter"},
    {"Sportauspuff", "Échappement sport"},
    {"Komfortsitzbank", "Selle confort"},
    {"Windschild hoch", "Bulle haute"},
    {"Gepäckträger", "Porte-bagages"},
    {"Motorschutz", "Sabot moteur"},
    {"Reifen neu", "Pneus neufs"},
    {"Kettensatz neu", "Kit chaîne neuf"},
    {"Werksgarantie bis 2026", "Garantie d’usine jusqu’en 2026"},
    {"Handprotektoren", "Protège-mains"},
    {"Lenkererhöhung", "Rehausse de guidon"},
    {"Diebstahlsicherung", "Antivol électronique"},
};

// Appended to the mileage line; the first leaves it without an extra text.
const Pair kZusatz[] = {
    {"", ""},
    {"ab MFK", "expertisée"},
    {"Service neu", "service effectué"},
    {"Garantie 12 Monate", "garantie 12 mois"},
    {"1. Hand", "première main"},
    {"unfallfrei", "jamais accidentée"},
};

class CRandom {
public:
    explicit CRandom(unsigned nSeed) : m_engine(nSeed) {}
    // The engine's sequence is fixed by the standard; the mapping onto the range is ours.
    int In(int lo, int hi) { return lo + int(m_engine() % unsigned(hi - lo + 1)); }
    int In(Range range) { return In(range.lo, range.hi); }

private:
    std::mt19937 m_engine;
};

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Capitalised(const char* brand) {
    QString text = QString::fromLatin1(brand).toLower();
    text[0] = text[0].toUpper();
    return text;
}

// Prices end in 90, as dealers write them.
int ShopPrice(int francs) {
    return std::max(90, francs / 100 * 100 - 10);
}

QString Rate(int francs, int months) {
    return QString::number(double(francs) / months, 'f', 2);
}

struct Model {
    int nKatID = 0;
    const char* brand = nullptr;
    QString strModell;
    int nCcm = 0, nPs = 0, nNm = 0, nZylinder = 0, nSitzhoehe = 0, nGewicht = 0, nPreis = 0;
    int nColour = 0;

    const CategorySpec& Ranges() const { return kCategories[nKatID - 1]; }
    const Colour& Farbe() const { return kColours[nColour]; }
};

Model MakeModel(int nKatID, int nBrand, int nVariant, CRandom& rnd) {
    Model m;
    m.nKatID = nKatID;
    m.brand = kBrands[nBrand];
    const CategorySpec& ranges = m.Ranges();
    m.nCcm = rnd.In(ranges.ccm);
    m.nPs = rnd.In(ranges.ps);
    m.nNm = rnd.In(ranges.nm);
    m.nZylinder = rnd.In(ranges.zylinder);
    m.nSitzhoehe = rnd.In(ranges.sitzhoehe);
    m.nGewicht = rnd.In(ranges.gewicht);
    m.nPreis = ShopPrice(rnd.In(ranges.preis));
    m.nColour = rnd.In(0, int(std::size(kColours)) - 1);
    static const char* const kSuffix[] = {"", " S", " R"};
    const QString number = m.nCcm == 0    ? QStringLiteral("e%1").arg(m.nPs / 10 + 1)
                           : m.nCcm < 100 ? QStringLiteral("50")
                                          : QString::number((m.nCcm + 5) / 10 * 10);
    m.strModell = U(ranges.stems[nVariant % 3]) + QLatin1Char(' ') + number +
                  QLatin1String(kSuffix[(nVariant / 3) % 3]);
    return m;
}

class CWriter {
public:
    explicit CWriter(const QString& folder) : m_root(QDir(folder).absolutePath()) {}

    bool Text(const QString& relative, const CDataFile& data) {
        return Bytes(relative, data.ToUtf8());
    }

    // Photos 1 to nCount of a vehicle in both layout modes; base names the file of photo 1
    // without its number.
    bool Photos(const QString& relativeBase, int nCount, const PhotoSubject& subject) {
        for (int k = 0; k < nCount; ++k) {
            PhotoSubject view = subject;
            view.nView = k;
            for (int mode = 0; mode < 2; ++mode) {
                const QSize size = k > 0 ? kSmallPhoto[mode] : m_mainSize[mode];
                const QString path =
                    PhotoName(relativeBase + QString::number(k + 1), mode == 0 ? 1 : kLargeResMode);
                if (!MakeFolder(path) ||
                    !DrawVehiclePhoto(view, size)
                         .save(m_root + QLatin1Char('/') + path, "JPG", kJpegQuality))
                    return Fail(path);
                ++m_summary.nPhotos;
            }
        }
        return true;
    }

    void SetMainSize(const QSize (&sizes)[2]) { std::copy(sizes, sizes + 2, m_mainSize); }
    SampleSummary& Summary() { return m_summary; }
    QString Error() const { return m_error; }

private:
    bool Bytes(const QString& relative, const QByteArray& bytes) {
        QFile file(m_root + QLatin1Char('/') + relative);
        if (!MakeFolder(relative) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return Fail(relative);
        return true;
    }

    bool MakeFolder(const QString& relative) {
        return QDir(m_root).mkpath(QFileInfo(relative).path());
    }

    bool Fail(const QString& relative) {
        m_error = QStringLiteral("cannot write %1/%2").arg(m_root, relative);
        return false;
    }

    QString m_root;
    QString m_error;
    QSize m_mainSize[2];
    SampleSummary m_summary;
};

bool WriteDealers(CWriter& out) {
    for (const DealerSpec& dealer : kDealers) {
        CDataFile data;
        data.Add(QLatin1String(key::kPasswort), U(dealer.passwort));
        data.Add(QLatin1String(key::kAdresse), U(dealer.adresse.de), U(dealer.adresse.fr));
        if (!out.Text(QStringLiteral("%1/%2%3")
                          .arg(QLatin1String(kDealerFolder))
                          .arg(dealer.nKundenNr)
                          .arg(QLatin1String(kDataFileSuffix)),
                      data))
            return false;
        ++out.Summary().nDealers;
    }
    return true;
}

// Every 14 used vehicles cover every category; the counts of photos (1 to 5) and of
// accessories (0 to 12) run through all their values.
bool WriteOccasionen(CWriter& out, CRandom& rnd) {
    out.SetMainSize(kOccMainPhoto);
    int u = 0;
    for (const DealerSpec& dealer : kDealers) {
        for (int i = 0; i < dealer.nOccasionen; ++i, ++u) {
            const int nSatzNr = kFirstSatzNr + u;
            const Model m =
                MakeModel(u % kCategoryCount + 1, (u * 5) % int(std::size(kBrands)), u / 2, rnd);
            const bool bVorfuehr = u % 9 == 4;
            const bool bVorjahr = u % 13 == 6;
            const int nJahr = bVorfuehr || bVorjahr ? kThisYear - 1 : rnd.In(2008, kThisYear - 1);
            const int nAlter = kThisYear - nJahr;
            const int nKm = bVorjahr    ? 0
                            : bVorfuehr ? rnd.In(150, 2500)
                                        : nAlter * rnd.In(1500, 6000) + rnd.In(0, 999);
            const int nPreis = ShopPrice(int(m.nPreis * std::max(0.3, 0.92 - 0.07 * nAlter)));

            CDataFile data;
            data.Add(QLatin1String(key::kTitel),
                     Capitalised(m.brand) + QLatin1Char(' ') + m.strModell);
            data.Add(QLatin1String(key::kInfo), QStringLiteral("Jahrgang %1").arg(nJahr),
                     QStringLiteral("Année %1").arg(nJahr));
            data.Add(QLatin1String(key::kPreis), QString::number(nPreis));
            data.Add(QLatin1String(key::kStand), QStringLiteral("%1-%2-%3 %4:%5:%6")
                                                     .arg(kThisYear)
                                                     .arg(rnd.In(1, 12), 2, 10, QLatin1Char('0'))
                                                     .arg(rnd.In(1, 28), 2, 10, QLatin1Char('0'))
                                                     .arg(rnd.In(7, 19), 2, 10, QLatin1Char('0'))
                                                     .arg(rnd.In(0, 59), 2, 10, QLatin1Char('0'))
                                                     .arg(rnd.In(0, 59), 2, 10, QLatin1Char('0')));
            if (bVorjahr)
                data.Add(QLatin1String(key::kInverkehrsetzung), QStringLiteral("neu"),
                         QStringLiteral("neuf"));
            else
                data.Add(
                    QLatin1String(key::kInverkehrsetzung),
                    QStringLiteral("%1.%2").arg(rnd.In(1, 12), 2, 10, QLatin1Char('0')).arg(nJahr));
            data.Add(QLatin1String(key::kKm), QString::number(nKm));
            data.Add(QLatin1String(key::kFarbe), U(m.Farbe().name.de), U(m.Farbe().name.fr));
            const int nFotos = 1 + (u * 3) % kPhotosPerVehicle;
            for (int k = 1; k <= nFotos; ++k)
                data.Add(QLatin1String(key::kBild), QStringLiteral("%1_%2").arg(nSatzNr).arg(k));
            const Pair& zusatz = kZusatz[u % std::size(kZusatz)];
            data.Add(QLatin1String(key::kZusatz), U(zusatz.de), U(zusatz.fr));
            data.Add(QLatin1String(key::kLeistung), QString::number(m.nPs));
            data.Add(QLatin1String(key::kZustand), QString::number(bVorfuehr  ? 2
                                                                   : bVorjahr ? 3
                                                                              : 1));
            // Every tenth offers no financing.
            data.Add(QLatin1String(key::kRate),
                     u % 10 == 3 ? QStringLiteral("0") : Rate(nPreis, 55));
            data.Add(QLatin1String(key::kKat), QString::number(m.nKatID));
            data.Add(QLatin1String(key::kMarke), QLatin1String(m.brand));
            std::vector<int> order(std::size(kZubehoer));
            std::iota(order.begin(), order.end(), 0);
            std::rotate(order.begin(), order.begin() + rnd.In(0, int(order.size()) - 1),
                        order.end());
            for (int z = 0; z < (u * 7) % (kMaxZubehoer + 1); ++z)
                data.Add(QLatin1String(key::kZubehoer), U(kZubehoer[order[z]].de),
                         U(kZubehoer[order[z]].fr));

            const QString folder =
                QStringLiteral("%1/%2/").arg(QLatin1String(kOccasionFolder)).arg(dealer.nKundenNr);
            const QString photos = QStringLiteral("%1/%2/%3_")
                                       .arg(QLatin1String(kOccasionPhotoFolder))
                                       .arg(dealer.nKundenNr)
                                       .arg(nSatzNr);
            const PhotoSubject subject{data.Value(QLatin1String(key::kTitel)), m.nKatID,
                                       QColor(m.Farbe().rgb), 0, unsigned(rnd.In(0, 359))};
            if (!out.Text(folder + QString::number(nSatzNr) + QLatin1String(kDataFileSuffix),
                          data) ||
                !out.Photos(photos, nFotos, subject))
                return false;
            ++out.Summary().nOccasionen;
        }
    }
    return true;
}

bool WriteNeuFahrzeuge(CWriter& out, CRandom& rnd) {
    out.SetMainSize(kNeuFzMainPhoto);
    for (int i = 0; i < kNeuFzCount; ++i) {
        const int nId = kFirstNeuFzId + i;
        const Model m = MakeModel(i % kCategoryCount + 1, i % int(std::size(kBrands)), i, rnd);
        const CategorySpec& ranges = m.Ranges();
        CDataFile data;
        data.Add(QLatin1String(key::kMarke), QLatin1String(m.brand));
        data.Add(QLatin1String(key::kModell), m.strModell);
        data.Add(QLatin1String(key::kPreis), QString::number(m.nPreis));
        data.Add(QLatin1String(key::kJahrgang), QString::number(kThisYear + i % 2));
        data.Add(QLatin1String(key::kKat), QString::number(m.nKatID));
        data.Add(QLatin1String(key::kHubraum), QString::number(m.nCcm));
        data.Add(QLatin1String(key::kDrehmoment), QString::number(m.nNm));
        data.Add(QLatin1String(key::kZylinder), QString::number(m.nZylinder));
        data.Add(QLatin1String(key::kGetriebe), U(kGetriebe[ranges.nGetriebe].de),
                 U(kGetriebe[ranges.nGetriebe].fr));
        data.Add(QLatin1String(key::kLeistung), QString::number(m.nPs));
        data.Add(QLatin1String(key::kSitzhoehe), QString::number(m.nSitzhoehe));
        data.Add(QLatin1String(key::kReifenVorne), QLatin1String(ranges.reifenVorne));
        data.Add(QLatin1String(key::kReifenHinten), QLatin1String(ranges.reifenHinten));
        data.Add(QLatin1String(key::kGewicht), QString::number(m.nGewicht));
        data.Add(QLatin1String(key::kRate), i % 12 == 5 ? QStringLiteral("0") : Rate(m.nPreis, 58));
        QStringList de{U(m.Farbe().name.de)};
        QStringList fr{U(m.Farbe().name.fr)};
        for (int c = 1; c <= i % 3; ++c) {
            const Colour& more = kColours[(m.nColour + c * 5) % std::size(kColours)];
            de.append(U(more.name.de));
            fr.append(U(more.name.fr));
        }
        data.Add(QLatin1String(key::kFarben), de.join(QLatin1Char(' ')), fr.join(QLatin1Char(' ')));
        const int nFotos = 1 + (i * 2) % kPhotosPerVehicle;
        const QString base =
            QStringLiteral("%1/%2_").arg(QString::fromLatin1(m.brand).toLower()).arg(nId);
        for (int k = 1; k <= nFotos; ++k)
            data.Add(QLatin1String(key::kBild), base + QString::number(k));

        const PhotoSubject subject{Capitalised(m.brand) + QLatin1Char(' ') + m.strModell, m.nKatID,
                                   QColor(m.Farbe().rgb), 0, unsigned(rnd.In(0, 359))};
        if (!out.Text(QStringLiteral("%1/%2%3")
                          .arg(QLatin1String(kNeuFzFolder))
                          .arg(nId)
                          .arg(QLatin1String(kDataFileSuffix)),
                      data) ||
            !out.Photos(QLatin1String(kNeuFzPhotoFolder) + QLatin1Char('/') + base, nFotos,
                        subject))
            return false;
        ++out.Summary().nNeuFahrzeuge;
    }
    return true;
}

} // namespace

std::optional<SampleSummary> GenerateSampleData(const QString& folder, QString* error) {
    CWriter out(folder);
    CRandom rnd(kSampleSeed);
    if (!WriteDealers(out) || !WriteOccasionen(out, rnd) || !WriteNeuFahrzeuge(out, rnd)) {
        if (error)
            *error = out.Error();
        return std::nullopt;
    }
    return out.Summary();
}

} // namespace demoportal
