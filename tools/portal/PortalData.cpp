#include "PortalData.h"

#include "PortalConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace demoportal {
namespace {

QString LanguageKey(const QString& key, Sprache la) {
    return key + (la == Sprache::Fr ? QStringLiteral(".fr") : QStringLiteral(".de"));
}

// "<nr>.txt" with nr in its plain decimal form; 0 for any other name.
int NumberOfFile(const QString& fileName) {
    const QString base = fileName.chopped(int(std::size(kDataFileSuffix)) - 1);
    bool ok = false;
    const int nr = base.toInt(&ok);
    return ok && nr > 0 && QString::number(nr) == base ? nr : 0;
}

QStringList DataFileNames(const QDir& dir) {
    return dir.entryList({QStringLiteral("*") + QLatin1String(kDataFileSuffix)}, QDir::Files,
                         QDir::Name);
}

bool IsSafeSegment(const QString& segment) {
    return !segment.isEmpty() && segment != QLatin1String(".") && segment != QLatin1String("..") &&
           !segment.contains(QLatin1Char('\\')) && !segment.contains(QChar(0));
}

} // namespace

CDataFile CDataFile::Parse(const QByteArray& utf8) {
    CDataFile file;
    for (QByteArray line : utf8.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        file.Add(QString::fromUtf8(line.left(eq)).trimmed(), QString::fromUtf8(line.mid(eq + 1)));
    }
    return file;
}

std::optional<CDataFile> CDataFile::Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Parse(file.readAll());
}

QString CDataFile::Value(const QString& key, Sprache la) const {
    const QStringList values = Values(key, la);
    return values.isEmpty() ? QString() : values.back();
}

QStringList CDataFile::Values(const QString& key, Sprache la) const {
    QStringList own;
    QStringList plain;
    const QString languageKey = LanguageKey(key, la);
    for (const auto& [k, v] : m_entries) {
        if (k == languageKey)
            own.append(v);
        else if (k == key)
            plain.append(v);
    }
    return own.isEmpty() ? plain : own;
}

void CDataFile::Add(const QString& key, const QString& value) {
    m_entries.emplace_back(key, value);
}

void CDataFile::Add(const QString& key, const QString& de, const QString& fr) {
    Add(LanguageKey(key, Sprache::De), de);
    Add(LanguageKey(key, Sprache::Fr), fr);
}

QByteArray CDataFile::ToUtf8() const {
    QByteArray text;
    for (const auto& [k, v] : m_entries)
        text += k.toUtf8() + '=' + v.toUtf8() + '\n';
    return text;
}

CPortalData::CPortalData(const QString& folder) : m_folder(QDir(folder).absolutePath()) {}

std::optional<CDataFile> CPortalData::Dealer(int nKundenNr) const {
    if (nKundenNr <= 0)
        return std::nullopt;
    return CDataFile::Read(QStringLiteral("%1/%2/%3%4")
                               .arg(m_folder, QLatin1String(kDealerFolder))
                               .arg(nKundenNr)
                               .arg(QLatin1String(kDataFileSuffix)));
}

std::vector<OccasionRecord> CPortalData::Occasionen(int nKundenNr) const {
    std::vector<OccasionRecord> records;
    if (nKundenNr <= 0)
        return records;
    const QDir dir(
        QStringLiteral("%1/%2/%3").arg(m_folder, QLatin1String(kOccasionFolder)).arg(nKundenNr));
    for (const QString& name : DataFileNames(dir)) {
        const int nr = NumberOfFile(name);
        if (nr <= 1)
            continue;
        if (auto data = CDataFile::Read(dir.filePath(name)))
            records.push_back({nr, nKundenNr, std::move(*data)});
    }
    std::sort(records.begin(), records.end(), [](const OccasionRecord& a, const OccasionRecord& b) {
        return a.nSatzNr < b.nSatzNr;
    });
    return records;
}

std::optional<OccasionRecord> CPortalData::Occasion(int nSatzNr) const {
    if (nSatzNr <= 1)
        return std::nullopt;
    const QDir root(m_folder + QLatin1Char('/') + QLatin1String(kOccasionFolder));
    const QString name = QString::number(nSatzNr) + QLatin1String(kDataFileSuffix);
    for (const QString& dealer : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const int kn = NumberOfFile(dealer + QLatin1String(kDataFileSuffix));
        if (kn == 0)
            continue;
        if (auto data = CDataFile::Read(root.filePath(dealer + QLatin1Char('/') + name)))
            return OccasionRecord{nSatzNr, kn, std::move(*data)};
    }
    return std::nullopt;
}

std::vector<NeuFzRecord> CPortalData::NeuFahrzeuge() const {
    std::vector<NeuFzRecord> vehicles;
    const QDir dir(m_folder + QLatin1Char('/') + QLatin1String(kNeuFzFolder));
    for (const QString& name : DataFileNames(dir))
        if (auto data = CDataFile::Read(dir.filePath(name)))
            vehicles.push_back(
                {name.chopped(int(std::size(kDataFileSuffix)) - 1), std::move(*data)});
    return vehicles;
}

QString CPortalData::PhotoFile(const QString& urlPath) const {
    const QStringList segments = urlPath.split(QLatin1Char('/'));
    // "", the photo folder, then at least one more segment.
    if (segments.size() < 3 || !segments.front().isEmpty())
        return {};
    const QString& folder = segments[1];
    if (folder != QLatin1String(kOccasionPhotoFolder) && folder != QLatin1String(kNeuFzPhotoFolder))
        return {};
    if (!std::all_of(segments.begin() + 1, segments.end(), IsSafeSegment))
        return {};
    const QString path = m_folder + urlPath;
    return QFileInfo(path).isFile() ? path : QString();
}

QString PhotoName(const QString& base, int nResMode) {
    return base + QLatin1String(nResMode == kLargeResMode ? kLargePhotoSuffix : kPhotoSuffix);
}

} // namespace demoportal
