#include "PortalAnswers.h"

#include "PortalConstants.h"
#include "catalogue/CacheText.h"

#include <QCryptographicHash>

namespace demoportal {
namespace {

struct LineKey {
    int nLine;
    const char* key;
};

// Record lines of a used vehicle filled from the data file; lines 7 to 11 are the photos,
// the others stay empty.
constexpr LineKey kOccasionLines[] = {
    {0, key::kTitel},
    {1, key::kInfo},
    {2, key::kPreis},
    {3, key::kStand},
    {4, key::kInverkehrsetzung},
    {5, key::kKm},
    {6, key::kFarbe},
    {13, key::kZusatz},
    {14, key::kLeistung},
    {15, key::kZustand},
    {16, key::kRate},
    {17, key::kKat},
    {18, key::kMarke},
};

// Record lines of a new vehicle; lines 22 to 26 are the photos, the others stay empty.
constexpr LineKey kNeuFzRecordLines[] = {
    {1, key::kMarke},         {2, key::kModell},    {3, key::kPreis},      {4, key::kJahrgang},
    {5, key::kKat},           {6, key::kHubraum},   {7, key::kDrehmoment}, {8, key::kZylinder},
    {9, key::kGetriebe},      {10, key::kLeistung}, {11, key::kSitzhoehe}, {12, key::kReifenVorne},
    {13, key::kReifenHinten}, {14, key::kGewicht},  {16, key::kRate},      {17, key::kFarben},
};

template <std::size_t N>
QStringList FillLines(const CDataFile& data, const LineKey (&table)[N], int nLines, Sprache la) {
    QStringList lines(nLines);
    for (const LineKey& row : table)
        lines[row.nLine] = data.Value(QLatin1String(row.key), la);
    return lines;
}

QByteArray Text(const QStringList& lines) {
    QByteArray text;
    for (const QString& line : lines)
        text += cache::ToCp1252(line) + '\n';
    return text;
}

QStringList FivePhotos(const CDataFile& data, int nResMode, const QString& prefix) {
    QStringList names = data.Values(QLatin1String(key::kBild)).mid(0, kPhotosPerVehicle);
    for (QString& name : names)
        if (!name.isEmpty())
            name = prefix + PhotoName(name, nResMode);
    while (names.size() < kPhotosPerVehicle)
        names.append(QString());
    return names;
}

} // namespace

QByteArray PasswordDigest(const QString& password) {
    return QCryptographicHash::hash(cache::ToCp1252(password), QCryptographicHash::Md5)
        .toHex()
        .toUpper();
}

bool CheckLogin(const std::optional<CDataFile>& dealer, QByteArrayView digest) {
    return dealer && PasswordDigest(dealer->Value(QLatin1String(key::kPasswort))) ==
                         digest.toByteArray().toUpper();
}

QStringList OccasionPhotoNames(const CDataFile& record, int nResMode) {
    return FivePhotos(record, nResMode, QString());
}

QStringList NeuFzPhotoPaths(const CDataFile& vehicle, int nResMode) {
    return FivePhotos(vehicle, nResMode,
                      QLatin1Char('/') + QLatin1String(kNeuFzPhotoFolder) + QLatin1Char('/'));
}

QByteArray RecordList(const CDataFile& dealer, const std::vector<OccasionRecord>& records,
                      Sprache la, int nResMode) {
    QStringList lines{dealer.Value(QLatin1String(key::kAdresse), la)};
    for (const OccasionRecord& record : records) {
        QStringList fields{QString::number(record.nSatzNr),
                           record.data.Value(QLatin1String(key::kStand))};
        fields += OccasionPhotoNames(record.data, nResMode);
        lines.append(fields.join(QLatin1Char(';')));
    }
    return Text(lines);
}

QByteArray RecordFile(const OccasionRecord& record, Sprache la, int nResMode) {
    QStringList lines = FillLines(record.data, kOccasionLines, kOccasionFixedLines, la);
    const QStringList photos = OccasionPhotoNames(record.data, nResMode);
    for (int i = 0; i < kPhotosPerVehicle; ++i)
        lines[kOccasionPhotoLine + i] = photos[i];
    lines.append(QLatin1String(kTagZubehoer));
    lines += record.data.Values(QLatin1String(key::kZubehoer), la);
    lines.append(QLatin1String(kTagEnde));
    return Text(lines);
}

QByteArray NeuFzList(const std::vector<NeuFzRecord>& vehicles, const QStringList& brands,
                     Sprache la, int nResMode) {
    QStringList wanted;
    for (const QString& brand : brands)
        if (!brand.trimmed().isEmpty())
            wanted.append(brand.trimmed().toUpper());
    QStringList lines;
    for (const NeuFzRecord& vehicle : vehicles) {
        const QString brand = vehicle.data.Value(QLatin1String(key::kMarke)).trimmed().toUpper();
        if (!wanted.isEmpty() && !wanted.contains(brand))
            continue;
        // Index 0 is the "<neufz>" line itself.
        QStringList record = FillLines(vehicle.data, kNeuFzRecordLines, kNeuFzLines + 1, la);
        record[0] = QLatin1String(kTagNeuFz);
        const QStringList photos = NeuFzPhotoPaths(vehicle.data, nResMode);
        for (int i = 0; i < kPhotosPerVehicle; ++i)
            record[kNeuFzPhotoLine + i] = photos[i];
        lines += record;
    }
    lines.append(QLatin1String(kTagNeuFz));
    return Text(lines);
}

} // namespace demoportal
