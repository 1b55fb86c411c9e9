#pragma once
// A sync test against the demo portal on loopback: the portal's data folder and the working
// folder are the test's own, the dealer's credentials are stored, and the catalogue's
// connection target is the portal, as a proxy would be, so no name is ever looked up.

#include "PortalServer.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "support/TempWorkDir.h"
#include "sync/PortalConnection.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

class CFixedClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = LocalTime(2026, 3, 10, 14, 0, 0);
};

class CSyncFixture : public ::testing::Test {
protected:
    static constexpr int kKundenNr = 12;
    static constexpr char kPasswort[] = "geheim";

    CSyncFixture();

    // Portal data; photo bases become "<base>.jpg" in the portal's answers.
    void WriteDealer(const QString& adresse, int nKundenNr = kKundenNr);
    void WriteOccasion(int nSatzNr, const QString& stand, const QStringList& bilder,
                       int nKundenNr = kKundenNr);
    void RemoveOccasion(int nSatzNr, int nKundenNr = kKundenNr);
    void WriteOccasionPhoto(const QString& name, const QByteArray& bytes,
                            int nKundenNr = kKundenNr);
    // A new vehicle of brand marke; bilder like "x/123" are served as /standard_bilder/x/123.jpg.
    void WriteNeuFz(const QString& id, const QString& marke, const QStringList& bilder,
                    const QString& farben = QStringLiteral("rot blau"));
    void WriteNeuFzPhoto(const QString& path, const QByteArray& bytes);
    void WritePortalFile(const QString& relativePath, const QByteArray& bytes);

    void SyncUsed();
    void SyncNeuFz();
    void SetFault(const QString& rule);

    // The portal's request lines since the previous call: "GET <target> Host: <host>".
    QStringList TakeRequests();
    // The request lines the sync should send.
    static QString Request(const QString& target);
    static QString ListRequest(const char* la = "de");
    static QString RecordRequest(int nSatzNr, const char* la = "de");
    static QString PhotoRequest(const QString& name);
    static QString NeuFzListRequest(const QString& ma, const char* la = "de");

    // Every file below the working folder with its bytes.
    static std::map<QString, QByteArray> Snapshot();
    // The slides a fresh catalogue loads from the cache folders, one line each.
    static QStringList Slides();

    QTemporaryDir m_data;
    CTempWorkDir m_work;
    demoportal::CPortalServer m_portal{m_data.path()};
    CSatzStore m_store;
    CFixedClock m_clock;
    SyncOptions m_options;

private:
    qsizetype m_nTaken = 0;
};

// A JPEG larger than the photo threshold, different for each seed.
QByteArray Photo(int nSeed);

// A readable failure message.
void PrintTo(SyncFailure failure, std::ostream* os);
