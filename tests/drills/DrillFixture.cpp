#include "DrillFixture.h"

#include "PortalData.h"
#include "catalogue/CacheText.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"
#include "sync/SyncConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <set>
#include <stdexcept>

namespace {

constexpr char kStandAlt[] = "2024-05-01 10:00:00";
constexpr char kStandNeu[] = "2024-06-01 08:30:00";

// A new vehicle's main photo must be wider than 720 and lower than 610 pixels.
QByteArray NeuFzMainPhoto(int nSeed) {
    QByteArray bytes = MakePhoto(800, 530, QColor::fromHsv((nSeed * 53) % 360, 180, 220));
    if (bytes.size() <= portalsync::kMinPhotoBytes)
        throw std::runtime_error("test photo too small");
    return bytes;
}

// The same name always gets the same photo.
int NameSeed(const QString& name) {
    unsigned nSeed = 0;
    for (const QChar c : name)
        nSeed = nSeed * 31 + c.unicode();
    return int(nSeed & 0xFFFF);
}

QString Jpg(const QString& base) {
    return base + QStringLiteral(".jpg");
}

bool EndsWithLine(const QByteArray& text, const QByteArray& line) {
    const std::vector<QByteArray> lines = cache::SplitLines(text);
    // A closing line feed leaves one empty line after the last.
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (!it->isEmpty())
            return *it == line;
    return false;
}

// A file of a cache that the portal wrote whole: records and lists end with their closing
// line, photos decode.
void ExpectWholeFile(const QString& drill, const QString& name, const QByteArray& bytes) {
    if (name.startsWith(QLatin1String("Daten/satz_"))) {
        EXPECT_TRUE(EndsWithLine(bytes, "<ende>"))
            << drill.toStdString() << ": " << name.toStdString();
    } else if (name == QLatin1String("Daten/NeufahrzeugeListe.txt")) {
        EXPECT_TRUE(EndsWithLine(bytes, "<neufz>"))
            << drill.toStdString() << ": " << name.toStdString();
    } else if (name == QLatin1String("Daten/SatzNrListeAktuell.txt")) {
        EXPECT_TRUE(bytes.endsWith('\n')) << drill.toStdString() << ": " << name.toStdString();
    } else if (name == QLatin1String("Daten/BilderAbgelehnt.txt") ||
               name == QLatin1String("Daten/BilderUnbenannt.txt")) {
        EXPECT_TRUE(bytes.endsWith('\n')) << drill.toStdString() << ": " << name.toStdString();
    } else if (name.startsWith(QLatin1String("Bilder/"))) {
        EXPECT_FALSE(QImage::fromData(bytes).isNull())
            << drill.toStdString() << ": " << name.toStdString() << " does not decode";
    } else {
        ADD_FAILURE() << drill.toStdString() << ": " << name.toStdString() << " is no cache file";
    }
}

} // namespace

std::map<QString, QString> SlidesByTitle(const QStringList& slides) {
    std::map<QString, QString> byTitle;
    for (const QString& slide : slides)
        byTitle[slide.section(u'|', 0, 0)] = slide;
    return byTitle;
}

std::string CacheDifferences(const CacheFiles& actual, const CacheFiles& expected) {
    std::string differences;
    for (const auto& [name, bytes] : actual) {
        const auto it = expected.find(name);
        if (it == expected.end())
            differences += "extra " + name.toStdString() + '\n';
        else if (it->second != bytes)
            differences += "different " + name.toStdString() + " (" + std::to_string(bytes.size()) +
                           " bytes, not " + std::to_string(it->second.size()) + ")\n";
    }
    for (const auto& [name, bytes] : expected)
        if (!actual.contains(name))
            differences += "missing " + name.toStdString() + '\n';
    return differences;
}

std::string Lines(const QStringList& slides) {
    return slides.join(u'\n').toStdString();
}

CDrillFixture::CDrillFixture() {
    WriteGoodPortal();
    SyncBoth();
    m_good = Snapshot();
    m_goodSlides = Slides();

    ChangePortal();
    SyncBoth();
    m_changed = Snapshot();
    m_changedSlides = Slides();

    RestoreGoodCache();
    TakeRequests();
}

void CDrillFixture::WriteVehicle(int nSatzNr, const char* stand, int nPreis,
                                 const QStringList& bilder) {
    namespace key = demoportal::key;
    demoportal::CDataFile record;
    record.Add(QLatin1String(key::kTitel), QStringLiteral("AUREX Strada %1").arg(nSatzNr));
    record.Add(QLatin1String(key::kPreis), QString::number(nPreis));
    record.Add(QLatin1String(key::kStand), QLatin1String(stand));
    record.Add(QLatin1String(key::kKm), QStringLiteral("12500"));
    record.Add(QLatin1String(key::kMarke), QStringLiteral("AUREX"));
    for (const QString& bild : bilder)
        record.Add(QLatin1String(key::kBild), bild);
    WritePortalFile(QStringLiteral("occasionen/%1/%2.txt").arg(kKundenNr).arg(nSatzNr),
                    record.ToUtf8());
    for (const QString& bild : bilder)
        WriteOccasionPhoto(Jpg(bild), Photo(NameSeed(bild)));
}

void CDrillFixture::WriteNew(const char* id, const char* marke, const QStringList& bilder) {
    WriteNeuFz(QLatin1String(id), QLatin1String(marke), bilder);
    for (const QString& bild : bilder)
        WriteNeuFzPhoto(Jpg(bild), NeuFzMainPhoto(NameSeed(bild)));
}

void CDrillFixture::WriteGoodPortal() {
    WriteVehicle(40, kStandAlt, 8900, {QStringLiteral("40_1"), QStringLiteral("40_2")});
    WriteVehicle(41, kStandAlt, 7400,
                 {QStringLiteral("41_1"), QStringLiteral("41_2"), QStringLiteral("41_3")});
    WriteVehicle(42, kStandAlt, 6100, {QStringLiteral("42_1")});
    WriteVehicle(43, kStandAlt, 9900, {QStringLiteral("43_1"), QStringLiteral("43_2")});
    WriteNew("501", "AUREX", {QStringLiteral("aurex/501_1"), QStringLiteral("aurex/501_2")});
    WriteNew("601", "BORA", {QStringLiteral("bora/601_1")});
}

void CDrillFixture::ChangePortal() {
    // A new price only; new names for two photos of another; one gone, one new.
    WriteVehicle(40, kStandNeu, 8500, {QStringLiteral("40_1"), QStringLiteral("40_2")});
    WriteVehicle(41, kStandNeu, 7400,
                 {QStringLiteral("41_1b"), QStringLiteral("41_2"), QStringLiteral("41_3b")});
    RemoveOccasion(42);
    WriteVehicle(44, kStandNeu, 5500, {QStringLiteral("44_1"), QStringLiteral("44_2")});
    // A new main photo for one new vehicle, and one more vehicle.
    WriteNew("501", "AUREX", {QStringLiteral("aurex/501_1b"), QStringLiteral("aurex/501_2")});
    WriteNew("502", "AUREX", {QStringLiteral("aurex/502_1"), QStringLiteral("aurex/502_2")});
}

void CDrillFixture::SyncBoth() {
    SyncUsed();
    SyncNeuFz();
}

void CDrillFixture::RestoreGoodCache() {
    for (const char* folder : {cache::kDaten, cache::kBilder}) {
        QDir dir(QString::fromLatin1(folder));
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (!dir.remove(name))
                throw std::runtime_error("cannot empty the cache");
    }
    for (const auto& [name, bytes] : m_good)
        CTempWorkDir::WriteFile(name, bytes);
}

void CDrillFixture::ExpectLastGoodCache(const QString& drill) {
    const std::string what = drill.toStdString();
    for (const auto& [name, bytes] : Snapshot()) {
        ExpectWholeFile(drill, name, bytes);
        const auto good = m_good.find(name);
        const auto changed = m_changed.find(name);
        const bool bGood = good != m_good.end() && good->second == bytes;
        const bool bChanged = changed != m_changed.end() && changed->second == bytes;
        EXPECT_TRUE(bGood || bChanged)
            << what << ": " << name.toStdString() << " is neither the good file nor the new one ("
            << bytes.size() << " bytes)";
    }

    const auto good = SlidesByTitle(m_goodSlides);
    const auto changed = SlidesByTitle(m_changedSlides);
    const auto now = SlidesByTitle(Slides());
    for (const auto& [title, slide] : now) {
        const bool bGood = good.contains(title) && good.at(title) == slide;
        const bool bChanged = changed.contains(title) && changed.at(title) == slide;
        EXPECT_TRUE(bGood || bChanged) << what << ": slide " << slide.toStdString();
    }
    // A vehicle the portal still lists must not vanish from the show on the way; only a new
    // vehicle waits for a new main photo that has not come yet, as its list is kept whatever
    // its photos did and the next update brings them.
    for (const auto& [title, slide] : good) {
        const QString mainPhoto =
            changed.contains(title) ? changed.at(title).section(u'|', 2, 2) : QString();
        const bool bWaits =
            mainPhoto.startsWith(QLatin1String("Bilder/_")) && !QFileInfo::exists(mainPhoto);
        EXPECT_TRUE(!changed.contains(title) || now.contains(title) || bWaits)
            << what << ": slide lost: " << slide.toStdString();
    }
}

void CDrillFixture::ExpectCompletedAfterSync(const QString& drill, DroppedPhotos dropped) {
    SetFault({});
    SyncBoth();
    CacheFiles files = Snapshot();
    if (dropped == DroppedPhotos::MayStay)
        for (const auto& [name, bytes] : m_good)
            if (name.startsWith(QLatin1String("Bilder/")) && !m_changed.contains(name))
                files.erase(name);
    EXPECT_EQ(CacheDifferences(files, m_changed), "") << drill.toStdString();
    EXPECT_EQ(Lines(Slides()), Lines(m_changedSlides)) << drill.toStdString();
}
