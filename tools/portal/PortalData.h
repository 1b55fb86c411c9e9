#pragma once
// The demo portal's data folder, read from disk on every request so that a test may change it
// between two syncs.
//
//   haendler/<kn>.txt              one dealer: passwort, adresse
//   occasionen/<kn>/<nr>.txt       one used vehicle of dealer kn; nr is its record number,
//                                  unique over all dealers and greater than 1
//   neufahrzeuge/<id>.txt          one new vehicle
//   kunden_occasionen/<kn>/<name>  used-vehicle photos, served as they are
//   standard_bilder/<path>         new-vehicle photos, served as they are
//
// Each .txt file holds UTF-8 lines "key=value" (the value runs to the end of the line; a
// trailing carriage return is dropped). Empty lines and lines starting with "#" are skipped.
// "key.de" or "key.fr" gives a value for one language and wins over a plain "key"; a key may
// repeat where a list is meant ("zubehoer", "bild"). The keys of each kind of file and the
// record lines they fill are listed in PortalAnswers.cpp.
//
// Photos are named in the data by their base: "bild=40101_1" in a used vehicle is served as
// "40101_1.jpg" in layout mode 1 and "40101_1_xl.jpg" in the large layouts; "bild=aurex/5001_1"
// in a new vehicle as "/standard_bilder/aurex/5001_1.jpg" or "..._xl.jpg". An empty "bild="
// keeps its position free.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace demoportal {

enum class Sprache { De, Fr };

// Keys of the data files.
namespace key {
// Dealer.
inline constexpr char kPasswort[] = "passwort";
inline constexpr char kAdresse[] = "adresse";
// Used vehicle.
inline constexpr char kTitel[] = "titel";
inline constexpr char kInfo[] = "info";
inline constexpr char kPreis[] = "preis";
inline constexpr char kStand[] = "stand";
inline constexpr char kInverkehrsetzung[] = "inverkehrsetzung";
inline constexpr char kKm[] = "km";
inline constexpr char kFarbe[] = "farbe";
inline constexpr char kZusatz[] = "zusatz";
inline constexpr char kLeistung[] = "leistung";
inline constexpr char kZustand[] = "zustand";
inline constexpr char kRate[] = "rate";
inline constexpr char kKat[] = "kat";
inline constexpr char kMarke[] = "marke";
inline constexpr char kZubehoer[] = "zubehoer";
inline constexpr char kBild[] = "bild";
// New vehicle, besides marke, preis, kat, leistung, rate and bild.
inline constexpr char kModell[] = "modell";
inline constexpr char kJahrgang[] = "jahrgang";
inline constexpr char kHubraum[] = "hubraum";
inline constexpr char kDrehmoment[] = "drehmoment";
inline constexpr char kZylinder[] = "zylinder";
inline constexpr char kGetriebe[] = "getriebe";
inline constexpr char kSitzhoehe[] = "sitzhoehe";
inline constexpr char kReifenVorne[] = "reifen_vorne";
inline constexpr char kReifenHinten[] = "reifen_hinten";
inline constexpr char kGewicht[] = "gewicht";
inline constexpr char kFarben[] = "farben";
} // namespace key

class CDataFile {
public:
    static CDataFile Parse(const QByteArray& utf8);
    // Nothing when the file cannot be read.
    static std::optional<CDataFile> Read(const QString& path);

    // The last value of key for the language, else the last plain value, else empty.
    QString Value(const QString& key, Sprache la = Sprache::De) const;
    // Every value of key for the language in order, else every plain value.
    QStringList Values(const QString& key, Sprache la = Sprache::De) const;

    void Add(const QString& key, const QString& value);
    // Adds key.de and key.fr.
    void Add(const QString& key, const QString& de, const QString& fr);
    QByteArray ToUtf8() const;

private:
    std::vector<std::pair<QString, QString>> m_entries;
};

struct OccasionRecord {
    int nSatzNr = 0;
    int nKundenNr = 0;
    CDataFile data;
};

struct NeuFzRecord {
    QString strId; // the file name without ".txt"
    CDataFile data;
};

class CPortalData {
public:
    explicit CPortalData(const QString& folder);

    std::optional<CDataFile> Dealer(int nKundenNr) const;
    // The dealer's used vehicles by record number.
    std::vector<OccasionRecord> Occasionen(int nKundenNr) const;
    // The used vehicle of that record number, whichever dealer it belongs to.
    std::optional<OccasionRecord> Occasion(int nSatzNr) const;
    // Every new vehicle, by file name.
    std::vector<NeuFzRecord> NeuFahrzeuge() const;
    // The file a photo path of the portal names ("/kunden_occasionen/12345/40101_1.jpg"), or
    // empty when it names none; never a file outside the two photo folders.
    QString PhotoFile(const QString& urlPath) const;

private:
    QString m_folder;
};

// The photo file name of base in layout mode nResMode.
QString PhotoName(const QString& base, int nResMode);

} // namespace demoportal
