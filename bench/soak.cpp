// Four weeks of the show in one process: the demo portal on loopback with its sample data, and the
// program's own catalogue, sync and slide composition through one hourly update cycle per
// simulated hour, the syncs as background jobs on their worker thread. Between two cycles the
// portal changes: prices and change times of some used vehicles every hour, new photos for one
// every third hour, a vehicle sold and back again, and the new-vehicle list every fifth hour. Each
// cycle runs the hourly update as the view does (a job with the used-vehicle sync and the weekly
// check on a clock one hour further, then the catalogue rebuilt from the folders), then steps
// through slides and paints each at 1366 x 768, decoding the next slide's photos ahead as the view
// does.
//
// Prints per cycle the resident memory (VmRSS) after the paints, its peak (VmHWM) and the open
// file descriptors, and at a quiet point (the catalogue just rebuilt, no photo decoded yet, and
// the memory the allocator keeps for reuse handed back) the resident memory and the heap in use.
// Heap growth would be a leak; resident growth without it, the allocator's fragmentation. The
// decoded photos the catalogue keeps and the allocator's caches make the figure after the paints
// swing by some megabytes from one cycle to the next; the quiet figure shows what stays. At the end
// the growth from cycle 10 to the last, against the targets: no more than 2 MB of memory at
// the quiet point and not one descriptor.
//
// Usage: soak [cycles [advances]]   (default 672 cycles of 200 advances)

#include "PortalData.h"
#include "PortalServer.h"
#include "SampleData.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/SlidePainter.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncJob.h"
#include "sync/SyncStatus.h"
#include "sync/UpdateScheduler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kDefaultCycles = 672;
constexpr int kDefaultAdvances = 200;
constexpr QSize kView{1366, 768};
constexpr std::time_t kHour = 3600;
// The weekly check falls due in the middle of the week, so the new-vehicle sync runs while
// memory is watched.
constexpr std::time_t kLastWeeklyAgo = 100 * kHour;
constexpr int kFirstMeasuredCycle = 10;
constexpr long kMaxGrowthKb = 2048;

const QString kOccasionen = QStringLiteral("occasionen/%1").arg(demoportal::kDemoKundenNr);
const QString kOccasionPhotos =
    QStringLiteral("kunden_occasionen/%1").arg(demoportal::kDemoKundenNr);
const QString kNeuFahrzeuge = QStringLiteral("neufahrzeuge");

class CSoakClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = LocalTime(2026, 3, 2, 6, 0, 0);
};

struct Figures {
    long nQuietRssKb = 0;
    long nQuietHeapKb = 0;
    long nQuietAnonKb = 0;
    long nRssKb = 0;
    long nAnonKb = 0; // of nRssKb, what no file backs: the allocator's arenas, stacks
    long nPeakKb = 0;
    int nDescriptors = 0;
};

// Hands back what the allocator keeps of freed memory, so only what is in use stays resident.
void ReturnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// What the program holds of the allocator's memory: what RSS adds to it is the allocator's own
// (free blocks between those in use) and the program's code and libraries. glibc counts the
// small blocks each thread keeps cached for reuse as in use, so the figure drifts by some
// hundred KB with no leak.
long HeapInUseKb() {
#ifdef __GLIBC__
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
#else
    return 0;
#endif
}

long MeanRss(const std::vector<Figures>& figures, std::size_t nFrom, std::size_t nCount) {
    long nSum = 0;
    for (std::size_t i = nFrom; i < nFrom + nCount; ++i)
        nSum += figures[i].nRssKb;
    return nSum / long(nCount);
}

Figures Measure() {
    Figures figures;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                figures.nRssKb = line.mid(6).trimmed().split(' ').front().toLong();
            else if (line.startsWith("RssAnon:"))
                figures.nAnonKb = line.mid(8).trimmed().split(' ').front().toLong();
            else if (line.startsWith("VmHWM:"))
                figures.nPeakKb = line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    // Less the one this listing holds open.
    figures.nDescriptors =
        int(QDir(QStringLiteral("/proc/self/fd"))
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                .size()) -
        1;
    return figures;
}

// The data folder's files hold "key=value" lines; every line of key goes, values come last.
bool SetValues(const QString& path, const char* key, const QStringList& values) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArrayList kept;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty() && !line.startsWith(QByteArray(key) + '=') &&
            !line.startsWith(QByteArray(key) + ".de=") &&
            !line.startsWith(QByteArray(key) + ".fr="))
            kept << line;
    file.close();
    for (const QString& value : values)
        kept << QByteArray(key) + '=' + value.toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(kept.join('\n') + '\n') > 0;
}

QStringList Values(const QString& path, const char* key) {
    const auto data = demoportal::CDataFile::Read(path);
    return data ? data->Values(QLatin1String(key)) : QStringList();
}

// What the portal's dealer does in the hour before cycle nCycle.
class CPortalChanges {
public:
    explicit CPortalChanges(const QString& data) : m_data(data) {
        m_records = QDir(m_data.filePath(kOccasionen))
                        .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        m_vehicles = QDir(m_data.filePath(kNeuFahrzeuge))
                         .entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    }

    bool Apply(int nCycle) {
        bool bOk = true;
        // New prices and change times for two used vehicles.
        for (int k = 0; k < 2; ++k) {
            const QString record = Record(nCycle * 2 + k);
            bOk = bOk && SetValues(record, "preis", {QString::number(5000 + nCycle * 10 + k)}) &&
                  SetValues(record, "stand",
                            {QStringLiteral("2026-03-%1 %2:00:00")
                                 .arg(1 + nCycle / 24, 2, 10, QLatin1Char('0'))
                                 .arg(nCycle % 24, 2, 10, QLatin1Char('0'))});
        }
        if (nCycle % 3 == 0)
            bOk = bOk && NewPhotos(Record(nCycle / 3 + 5), nCycle);
        // One vehicle is sold, and back in stock a week-day later.
        if (nCycle % 7 == 0)
            bOk = bOk && SellOrRestock();
        if (nCycle % 5 == 0)
            bOk = bOk && ChangeNewVehicle(nCycle);
        return bOk;
    }

private:
    // Any record but the first, which is sold now and then.
    QString Record(int n) const {
        return m_data.filePath(kOccasionen + u'/' + m_records[1 + n % (m_records.size() - 1)]);
    }

    // The record's photos under new names, with their old contents.
    bool NewPhotos(const QString& record, int nCycle) {
        QStringList bases = Values(record, "bild");
        QDir photos(m_data.filePath(kOccasionPhotos));
        for (QString& base : bases) {
            if (base.isEmpty())
                continue;
            const QString renamed = base.section(u'v', 0, 0) + u'v' + QString::number(nCycle);
            for (const char* suffix : {demoportal::kPhotoSuffix, demoportal::kLargePhotoSuffix}) {
                const QString from = photos.filePath(base + QLatin1String(suffix));
                const QString to = photos.filePath(renamed + QLatin1String(suffix));
                if (!QFile::exists(from) || !QFile::rename(from, to))
                    return false;
            }
            base = renamed;
        }
        return SetValues(record, "bild", bases) &&
               SetValues(record, "stand", {QStringLiteral("2026-04-01 00:%1:00").arg(nCycle % 60)});
    }

    bool SellOrRestock() {
        const QString record = m_data.filePath(kOccasionen + u'/' + m_records.front());
        const QString parked = m_data.filePath(QStringLiteral("verkauft.txt"));
        return QFile::exists(record) ? QFile::rename(record, parked)
                                     : QFile::rename(parked, record);
    }

    // A new price for one new vehicle; every other time one vehicle leaves the list or comes
    // back.
    bool ChangeNewVehicle(int nCycle) {
        // Any vehicle but the first, which leaves the list now and then.
        const QString vehicle = m_data.filePath(kNeuFahrzeuge + u'/' +
                                                m_vehicles[1 + nCycle % (m_vehicles.size() - 1)]);
        if (!SetValues(vehicle, "preis", {QString::number(12000 + nCycle * 10)}))
            return false;
        if (nCycle % 10 != 0)
            return true;
        const QString listed = m_data.filePath(kNeuFahrzeuge + u'/' + m_vehicles.front());
        const QString parked = m_data.filePath(QStringLiteral("ausgelistet.txt"));
        return QFile::exists(listed) ? QFile::rename(listed, parked)
                                     : QFile::rename(parked, listed);
    }

    QDir m_data;
    QStringList m_records;
    QStringList m_vehicles;
};

// The view's advance: the next visible slide, its paint, then the following slide's photos
// decoded ahead.
void Advance(CSatzStore& store) {
    store.GetNextSatz(+1);
    const QImage slide = RenderSlide(store, kView);
    if (slide.isNull())
        std::printf("  (slide %d not drawn)\n", store.m_nCurrentSatz);
    const int nCurrent = store.m_nCurrentSatz;
    store.GetNextSatz(+1);
    const int nNext = store.m_nCurrentSatz;
    store.m_nCurrentSatz = nCurrent;
    if (nNext >= 0)
        store.PrefetchPictures(nNext);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the user's settings: credentials, "LastUpdate" and the status go to our own folder.
    QTemporaryDir work;
    QTemporaryDir data;
    if (!work.isValid() || !data.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QDir(work.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    QGuiApplication app(argc, argv);
    const int nCycles = argc > 1 ? std::max(QByteArray(argv[1]).toInt(), 11) : kDefaultCycles;
    const int nAdvances = argc > 2 ? std::max(QByteArray(argv[2]).toInt(), 1) : kDefaultAdvances;

    std::printf("generating the sample data ...\n");
    QString error;
    const auto summary = demoportal::GenerateSampleData(data.path(), &error);
    if (!summary || !QDir(work.path()).mkpath(QStringLiteral("Daten")) ||
        !QDir(work.path()).mkpath(QStringLiteral("Bilder")) || !QDir::setCurrent(work.path())) {
        std::printf("FAILED: %s\n", qUtf8Printable(error));
        return 1;
    }
    SaveCredentials(QString::number(demoportal::kDemoKundenNr),
                    QString::fromLatin1(demoportal::kDemoPasswort));
    demoportal::CPortalServer portal(data.path());
    if (!portal.Start())
        return 1;

    const auto store = std::make_unique<CSatzStore>();
    store->m_nSprache = kDeutsch;
    store->m_nResMode = 1;
    store->SetConnectionTarget("127.0.0.1", portal.Port());
    WriteProfileInt(setting::kSection, setting::kAnzeige, 2); // used and new vehicles
    store->LoadSettings();
    CSoakClock clock;
    CPortalSync sync(*store, SyncOptions{}, clock);
    CUpdateScheduler scheduler(*store, sync, clock);
    CPortalChanges changes(data.path());
    CSyncJob job(
        [&clock](CSatzStore& jobStore, const SyncOptions& options) {
            return std::make_unique<CPortalSync>(jobStore, options, clock);
        },
        clock);

    // The view's first load, then a weekly sync that lies in the past.
    sync.UpdatePictureList();
    store->LadeBilderUndDaten();
    scheduler.WeeklyNeuFzUpdateCheck();
    store->LadeNeuFzDatenUndBilder();
    store->GetNextSatz(+1);
    {
        CSoakClock then;
        then.m_now = clock.m_now - kLastWeeklyAgo;
        CUpdateScheduler(*store, sync, then).SetLastUpdate();
    }
    std::printf("%d slides (%d used, %d new on the portal), %d x %d, %d advances per cycle\n\n",
                store->m_nSatzCount, summary->nOccasionen, summary->nNeuFahrzeuge, kView.width(),
                kView.height(), nAdvances);
    std::printf("%5s %6s %8s %11s %11s %11s %11s %11s %4s %8s\n", "cycle", "slides", "requests",
                "quiet KB", "anon KB", "heap KB", "VmRSS KB", "VmHWM KB", "fds", "seconds");

    std::vector<Figures> figures;
    std::time_t lastNeuFz = ReadSyncOutcome(SyncKind::NeuFz).time;
    QElapsedTimer total;
    total.start();
    for (int nCycle = 1; nCycle <= nCycles; ++nCycle) {
        QElapsedTimer timer;
        timer.start();
        if (!changes.Apply(nCycle)) {
            std::printf("FAILED: cannot change the portal's data\n");
            return 1;
        }
        clock.m_now += kHour;
        // The in-process portal's request list is the benchmark's, not the show's memory.
        portal.ClearRequests();
        // The view's hourly update: a job behind the show, then the rebuild in one step.
        job.Start(SyncJobKind::Hourly, TakeSyncJobInput(*store));
        while (job.IsRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        store->m_nCurrentSatz = 0;
        store->ResetBilderUndDaten();
        store->LadeBilderUndDaten();
        store->LadeNeuFzDatenUndBilder();
        const qsizetype nRequests = portal.Requests().size();
        ReturnFreedMemory();
        const Figures quiet = Measure();
        const long nQuietHeapKb = HeapInUseKb();
        for (int i = 0; i < nAdvances; ++i)
            Advance(*store);
        figures.push_back(Measure());
        Figures& now = figures.back();
        now.nQuietRssKb = quiet.nRssKb;
        now.nQuietAnonKb = quiet.nAnonKb;
        now.nQuietHeapKb = nQuietHeapKb;
        const std::time_t neuFz = ReadSyncOutcome(SyncKind::NeuFz).time;
        std::printf("%5d %6d %8lld %11ld %11ld %11ld %11ld %11ld %4d %8.2f%s\n", nCycle,
                    store->m_nSatzCount, static_cast<long long>(nRequests), now.nQuietRssKb,
                    now.nQuietAnonKb, now.nQuietHeapKb, now.nRssKb, now.nPeakKb, now.nDescriptors,
                    timer.nsecsElapsed() / 1e9, neuFz != lastNeuFz ? "  new-vehicle sync" : "");
        std::fflush(stdout);
        lastNeuFz = neuFz;
    }

    const Figures& first = figures[kFirstMeasuredCycle - 1];
    const Figures& last = figures.back();
    const long nQuietGrowthKb = last.nQuietRssKb - first.nQuietRssKb;
    const int nDescriptorGrowth = last.nDescriptors - first.nDescriptors;
    const std::size_t nWindow = std::min<std::size_t>(10, figures.size() - kFirstMeasuredCycle);
    const long nMeanFirst = MeanRss(figures, kFirstMeasuredCycle - 1, nWindow);
    const long nMeanLast = MeanRss(figures, figures.size() - nWindow, nWindow);
    std::printf("\n%d cycles in %.1f s\n", nCycles, total.nsecsElapsed() / 1e9);
    std::printf("quiet VmRSS, cycle %d to %d: %ld KB to %ld KB, growth %+ld KB (target at most "
                "%ld KB)\n",
                kFirstMeasuredCycle, nCycles, first.nQuietRssKb, last.nQuietRssKb, nQuietGrowthKb,
                kMaxGrowthKb);
    std::printf("of it anonymous (the allocator's arenas, stacks; the rest is code and fonts "
                "mapped from files): %ld KB to %ld KB, growth %+ld KB\n",
                first.nQuietAnonKb, last.nQuietAnonKb, last.nQuietAnonKb - first.nQuietAnonKb);
    std::printf(
        "heap in use at the quiet point, cycle %d to %d: %ld KB to %ld KB, growth %+ld KB\n",
        kFirstMeasuredCycle, nCycles, first.nQuietHeapKb, last.nQuietHeapKb,
        last.nQuietHeapKb - first.nQuietHeapKb);
    std::printf("VmRSS after the paints, cycle %d to %d: %ld KB to %ld KB, growth %+ld KB\n",
                kFirstMeasuredCycle, nCycles, first.nRssKb, last.nRssKb,
                last.nRssKb - first.nRssKb);
    std::printf("VmRSS after the paints, mean of %zu cycles from cycle %d and of the last %zu: "
                "%ld KB and %ld KB, growth %+ld KB\n",
                nWindow, kFirstMeasuredCycle, nWindow, nMeanFirst, nMeanLast,
                nMeanLast - nMeanFirst);
    std::printf("VmHWM, cycle %d to %d: %ld KB to %ld KB\n", kFirstMeasuredCycle, nCycles,
                first.nPeakKb, last.nPeakKb);
    std::printf("descriptors, cycle %d to %d: %d to %d, growth %+d (target 0)\n",
                kFirstMeasuredCycle, nCycles, first.nDescriptors, last.nDescriptors,
                nDescriptorGrowth);
    std::printf("Bilder/ holds %lld files\n",
                static_cast<long long>(QDir(QStringLiteral("Bilder")).count()));
    const bool bPass = nQuietGrowthKb <= kMaxGrowthKb && nDescriptorGrowth <= 0;
    std::printf("%s\n", bPass ? "within the targets" : "FAILED: growth beyond the targets");
    return bPass ? 0 : 1;
}
