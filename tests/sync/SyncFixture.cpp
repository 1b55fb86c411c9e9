#include "SyncFixture.h"

#include "PortalAnswers.h"
#include "PortalData.h"
#include "support/TestPhotos.h"
#include "sync/CredentialStore.h"
#include "sync/Portal.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncConstants.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {
constexpr char kGateway[] = "/wsgateway/zelvora/zelvora.php?";
// Short enough that a test with a fault waits little, long enough for a loaded machine.
constexpr int kTestTimeout = 5;
} // namespace

QByteArray Photo(int nSeed) {
    QByteArray bytes = MakePhoto(640, 480, QColor::fromHsv((nSeed * 37) % 360, 200, 200));
    if (bytes.size() <= portalsync::kMinPhotoBytes)
        throw std::runtime_error("test photo too small");
    return bytes;
}

void PrintTo(SyncFailure failure, std::ostream* os) {
    constexpr const char* kNames[] = {"None",   "NameLookup",  "Connect",       "TimeOut",
                                      "Status", "ErrorAnswer", "NoCredentials", "HeaderTooLong"};
    *os << kNames[static_cast<int>(failure)];
}

CSyncFixture::CSyncFixture() {
    m_options.nRequestTimeout = kTestTimeout;
    m_options.nNeuFzListTimeout = kTestTimeout;
    WriteDealer(QStringLiteral("Motos Muster AG, Z\u00FCrich"));
    SaveCredentials(QString::number(kKundenNr), QString::fromLatin1(kPasswort));
    if (!m_portal.Start())
        throw std::runtime_error("cannot start the demo portal");
    m_store.SetConnectionTarget("127.0.0.1", m_portal.Port());
    m_store.m_nSprache = 1;
    m_store.m_nResMode = 1;
}

void CSyncFixture::WritePortalFile(const QString& relativePath, const QByteArray& bytes) {
    const QString path = m_data.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write portal data");
}

void CSyncFixture::WriteDealer(const QString& adresse, int nKundenNr) {
    demoportal::CDataFile dealer;
    dealer.Add(QLatin1String(demoportal::key::kPasswort), QString::fromLatin1(kPasswort));
    dealer.Add(QLatin1String(demoportal::key::kAdresse), adresse);
    WritePortalFile(QStringLiteral("haendler/%1.txt").arg(nKundenNr), dealer.ToUtf8());
}

void CSyncFixture::WriteOccasion(int nSatzNr, const QString& stand, const QStringList& bilder,
                                 int nKundenNr) {
    namespace key = demoportal::key;
    demoportal::CDataFile record;
    record.Add(QLatin1String(key::kTitel), QStringLiteral("AUREX Strada %1").arg(nSatzNr));
    record.Add(QLatin1String(key::kPreis), QStringLiteral("8900"));
    record.Add(QLatin1String(key::kStand), stand);
    record.Add(QLatin1String(key::kKm), QStringLiteral("12500"));
    record.Add(QLatin1String(key::kMarke), QStringLiteral("AUREX"));
    for (const QString& bild : bilder)
        record.Add(QLatin1String(key::kBild), bild);
    WritePortalFile(QStringLiteral("occasionen/%1/%2.txt").arg(nKundenNr).arg(nSatzNr),
                    record.ToUtf8());
}

void CSyncFixture::RemoveOccasion(int nSatzNr, int nKundenNr) {
    QFile::remove(
        m_data.filePath(QStringLiteral("occasionen/%1/%2.txt").arg(nKundenNr).arg(nSatzNr)));
}

void CSyncFixture::WriteOccasionPhoto(const QString& name, const QByteArray& bytes, int nKundenNr) {
    WritePortalFile(QStringLiteral("kunden_occasionen/%1/%2").arg(nKundenNr).arg(name), bytes);
}

void CSyncFixture::WriteNeuFz(const QString& id, const QString& marke, const QStringList& bilder,
                              const QString& farben) {
    namespace key = demoportal::key;
    demoportal::CDataFile vehicle;
    vehicle.Add(QLatin1String(key::kMarke), marke);
    vehicle.Add(QLatin1String(key::kModell), QStringLiteral("Modell %1").arg(id));
    vehicle.Add(QLatin1String(key::kPreis), QStringLiteral("15900"));
    vehicle.Add(QLatin1String(key::kFarben), farben);
    for (const QString& bild : bilder)
        vehicle.Add(QLatin1String(key::kBild), bild);
    WritePortalFile(QStringLiteral("neufahrzeuge/%1.txt").arg(id), vehicle.ToUtf8());
}

void CSyncFixture::WriteNeuFzPhoto(const QString& path, const QByteArray& bytes) {
    WritePortalFile(QStringLiteral("standard_bilder/") + path, bytes);
}

void CSyncFixture::SyncUsed() {
    CPortalSync(m_store, m_options, m_clock).UpdatePictureList();
}

void CSyncFixture::SyncNeuFz() {
    CPortalSync(m_store, m_options, m_clock).UpdateNeuFzPictureList();
}

void CSyncFixture::SetFault(const QString& rule) {
    demoportal::PortalConfig config;
    if (!rule.isEmpty()) {
        QString error;
        const auto fault = demoportal::ParseFaultRule(rule, &error);
        if (!fault)
            throw std::runtime_error(error.toStdString());
        config.faults.push_back(*fault);
    }
    m_portal.SetConfig(config);
}

QStringList CSyncFixture::TakeRequests() {
    const QStringList all = m_portal.Requests();
    const QStringList taken = all.mid(m_nTaken);
    m_nTaken = all.size();
    return taken;
}

QString CSyncFixture::Request(const QString& target) {
    return QStringLiteral("GET %1 Host: %2").arg(target, QLatin1String(portal::kHost));
}

QString CSyncFixture::ListRequest(const char* la) {
    return Request(
        QStringLiteral("%1ap=%2&fn=1&la=%3&kn=%4&rm=1")
            .arg(QLatin1String(kGateway),
                 QString::fromLatin1(demoportal::PasswordDigest(QString::fromLatin1(kPasswort))),
                 QLatin1String(la))
            .arg(kKundenNr));
}

QString CSyncFixture::RecordRequest(int nSatzNr, const char* la) {
    return Request(QStringLiteral("%1fn=2&la=%2&sn=%3&rm=1")
                       .arg(QLatin1String(kGateway), QLatin1String(la))
                       .arg(nSatzNr));
}

QString CSyncFixture::PhotoRequest(const QString& name) {
    return Request(QStringLiteral("/kunden_occasionen/%1/%2").arg(kKundenNr).arg(name));
}

QString CSyncFixture::NeuFzListRequest(const QString& ma, const char* la) {
    return Request(
        QStringLiteral("%1ap=%2&fn=101&la=%3&kn=%4&ma=%5")
            .arg(QLatin1String(kGateway),
                 QString::fromLatin1(demoportal::PasswordDigest(QString::fromLatin1(kPasswort))),
                 QLatin1String(la))
            .arg(kKundenNr)
            .arg(ma));
}

std::map<QString, QByteArray> CSyncFixture::Snapshot() {
    std::map<QString, QByteArray> files;
    const QDir root(QDir::currentPath());
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[root.relativeFilePath(path)] = CTempWorkDir::ReadFile(path);
    }
    return files;
}

QStringList CSyncFixture::Slides() {
    CSatzStore store;
    store.m_nSprache = 1;
    store.LadeBilderUndDaten();
    store.LadeNeuFzDatenUndBilder();
    QStringList slides;
    for (int i = 0; i < store.m_nSatzCount; ++i) {
        const Satz& satz = store.m_satz[i];
        QString line = QStringLiteral("%1|%2").arg(satz.strTitel).arg(satz.nPreis);
        for (int k = 0; k < kBilderProSatz; ++k)
            if (k == 0 || satz.nBild[k] != 0)
                line += u'|' + store.m_pPictures[satz.nBild[k]].strPath;
        slides << line;
    }
    return slides;
}
