// Time to compose one slide off screen, measured from the advance (GetNextSatz) to the finished
// image, over every slide of a generated cache of used vehicles with five photos each. Photos
// not yet decoded are decoded inside the measured time; with prefetching, the next slide's
// photos are decoded (and scaled to the size they are drawn at) after each paint, outside it,
// as the view does. The screen sizes of the layouts, and a 4K screen in both layouts.
// At 4K also the slide change as the view makes it with look-ahead: the next slide composed
// off screen in idle time, and the paint that shows it (checks, then copies the composition).
// Last, the running program's path: the view itself at 4K under the event loop, its timers
// (the shutdown check among them) and the slide timer at its shortest interval, without and
// with a job running behind the show; the paint times of its slide changes and how many of them
// composed in their paint.
//
// Usage: compose [slides]   (default 100)

#include "NoPlatform.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "show/ComposedSlide.h"
#include "show/SlideFrame.h"
#include "show/SlideLookAhead.h"
#include "show/SlidePainter.h"
#include "show/ViewConstants.h"
#include "show/ZelvoraView.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSync.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QPainter>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultSlides = 100;
constexpr QSize kMainPhoto{800, 600};
constexpr QSize kSmallPhoto{320, 240};
constexpr int kPhotosPerSlide = 5;
// Slide changes of the running view, one a second.
constexpr int kRunningShowChanges = 10;

// A photo with gradients and shapes, so that it decodes like a real one, not like a flat
// colour.
void WritePhoto(const QString& path, QSize size, int nSeed) {
    QImage image(size, QImage::Format_RGB32);
    QPainter dc(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor::fromHsv((nSeed * 37) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((nSeed * 91) % 360, 160, 90));
    dc.fillRect(image.rect(), gradient);
    dc.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 24; ++i) {
        dc.setBrush(QColor::fromHsv((nSeed * 13 + i * 29) % 360, 180, 200));
        dc.drawEllipse(
            QPoint((i * 97 + nSeed * 31) % size.width(), (i * 53 + nSeed * 17) % size.height()),
            size.width() / 10 + i, size.height() / 12 + i);
    }
    dc.end();
    image.save(path, "JPG", 85);
}

void WriteCache(int nSlides) {
    QDir().mkpath(QStringLiteral("Daten"));
    QDir().mkpath(QStringLiteral("Bilder"));
    for (int n = 0; n < nSlides; ++n) {
        QByteArrayList lines(26);
        lines[0] = "Motorrad " + QByteArray::number(n) + " Touring Edition";
        lines[2] = QByteArray::number(5000 + n * 250);
        lines[4] = "05.2019";
        lines[5] = QByteArray::number(1000 + n * 731);
        for (int k = 0; k < kPhotosPerSlide; ++k) {
            const QByteArray name =
                "b" + QByteArray::number(n) + "_" + QByteArray::number(k) + ".jpg";
            lines[7 + k] = name;
            WritePhoto(QStringLiteral("Bilder/") + QString::fromLatin1(name),
                       k == 0 ? kMainPhoto : kSmallPhoto, n * kPhotosPerSlide + k);
        }
        lines[14] = "98";
        lines[16] = "189.50";
        lines[17] = "8";
        lines[18] = "HONDA";
        lines[19] = "<zubehoer>";
        for (int i = 0; i < 5; ++i)
            lines[20 + i] = "Zubehoer Nummer " + QByteArray::number(i + 1);
        lines[25] = "<ende>";
        QFile file(QStringLiteral("Daten/satz_1_%1.txt").arg(n + 1));
        if (file.open(QIODevice::WriteOnly))
            file.write(lines.join('\n') + '\n');
    }
}

struct Figures {
    double dMedianMs;
    double dWorstMs;
};

Figures Sorted(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

double MsSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// The paint times, and with prefetching the decode times per photo of the prefetches.
std::pair<Figures, Figures> Measure(CSatzStore& store, QSize size, bool bPrefetch) {
    std::vector<double> times;
    std::vector<double> decodes;
    store.m_nCurrentSatz = 0;
    for (int n = 0; n < store.m_nSatzCount; ++n) {
        QElapsedTimer timer;
        timer.start();
        store.GetNextSatz(+1);
        const QImage image = RenderSlide(store, size);
        times.push_back(MsSince(timer));
        if (image.isNull())
            std::fprintf(stderr, "compose: no image\n");
        if (bPrefetch) {
            timer.restart();
            PrefetchSlide(store, (store.m_nCurrentSatz + 1) % store.m_nSatzCount,
                          FitSlide(store.m_nResMode, size, true).dScale);
            decodes.push_back(MsSince(timer) / kPhotosPerSlide);
        }
    }
    return {Sorted(times), decodes.empty() ? Figures{} : Sorted(decodes)};
}

// The paint times of the slide changes, the idle times of composing ahead, and how many
// paints composed afresh.
std::tuple<Figures, Figures, int> MeasureComposedAhead(CSatzStore& store, QSize size) {
    const ViewGeometry view{size, 1.0, FitSlide(store.m_nResMode, size, true)};
    const QRect whole(QPoint(), size);
    QImage screen(size, QImage::Format_RGB32);
    CComposedSlide composed;
    std::vector<double> paints;
    std::vector<double> idle;
    int nFresh = 0;
    const auto composeNext = [&] {
        QElapsedTimer timer;
        timer.start();
        const int nNext = (store.m_nCurrentSatz + 1) % store.m_nSatzCount;
        if (PrefetchSlide(store, nNext, view.frame.dScale))
            composed.Compose(store, nNext, view);
        idle.push_back(MsSince(timer));
    };
    // The first slide is on screen and the look-ahead has run, as in a running show.
    store.m_nCurrentSatz = 0;
    PrefetchSlide(store, 0, view.frame.dScale);
    composeNext();
    for (int n = 0; n < store.m_nSatzCount; ++n) {
        QElapsedTimer timer;
        timer.start();
        store.GetNextSatz(+1);
        {
            QPainter painter(&screen);
            PrefetchSlide(store, store.m_nCurrentSatz, view.frame.dScale);
            if (!composed.Paint(painter, whole, store, view)) {
                PaintSlide(painter, whole, store, view.frame);
                ++nFresh;
            }
        }
        paints.push_back(MsSince(timer));
        composeNext();
    }
    return {Sorted(paints), Sorted(idle), nFresh};
}

// A sync that finds nothing to do, or holds its job until released.
class CHeldSync final : public IPortalSync {
public:
    explicit CHeldSync(QSemaphore* release) : m_release(release) {}
    void UpdatePictureList() override {
        if (m_release)
            m_release->acquire();
    }
    bool UpdateNeuFzPictureList() override { return true; }

private:
    QSemaphore* m_release;
};

// The view with its paints timed, and the compositions made inside them counted.
class CTimedView final : public CZelvoraView {
public:
    using CZelvoraView::CZelvoraView;
    std::vector<double> m_changes; // paints of a slide other than the last one painted
    int m_nFresh = 0;
    bool m_bInPaint = false;
    int m_nLastSatz = -2;

protected:
    void paintEvent(QPaintEvent* event) override {
        QElapsedTimer timer;
        timer.start();
        m_bInPaint = true;
        CZelvoraView::paintEvent(event);
        m_bInPaint = false;
        if (Store().m_nCurrentSatz != m_nLastSatz && m_nLastSatz != -2)
            m_changes.push_back(MsSince(timer));
        m_nLastSatz = Store().m_nCurrentSatz;
    }
};

CTimedView* g_timed = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void CountComposing(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (context.category && QByteArray(context.category) == lcZelvoraTrace().categoryName()) {
        if (g_timed && g_timed->m_bInPaint && text == QLatin1String("ZeigeSatzAufBildschirm"))
            ++g_timed->m_nFresh;
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

// nChanges slide changes of the running view at 4K in the large layout; bJob holds a job
// running behind the show meanwhile.
void MeasureRunningShow(int nChanges, bool bJob) {
    WriteProfileInt(setting::kSection, setting::kScrRes, 3);
    WriteProfileInt(setting::kSection, setting::kSpeed, view::kMinSpeed);
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    QSemaphore release;
    CNoPowerOff powerOff;
    CNoScreenSaver saver;
    bool bStartJob = true;
    CTimedView view(
        [&](CSatzStore&, const SyncOptions&) {
            // The start-up job ends at once; the hourly one is held until the end.
            const bool bHold = bJob && !std::exchange(bStartJob, false);
            return std::make_unique<CHeldSync>(bHold ? &release : nullptr);
        },
        SystemClock(), powerOff, saver);
    view.resize(3840, 2160);
    view.OnInitialUpdate();
    view.show();
    QEventLoop loop;
    QTimer::singleShot(view::kStartLoadPeriod + 2000, &loop, &QEventLoop::quit);
    loop.exec(); // the start-up job ends, the show runs
    if (bJob)
        view.OnTimer(view::TIMER_ONLINE_UPDATE);
    view.m_changes.clear();
    view.m_nFresh = 0;
    g_timed = &view;
    QLoggingCategory::setFilterRules(QStringLiteral("zelvora.trace.debug=true"));
    g_previousHandler = qInstallMessageHandler(&CountComposing);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (int(view.m_changes.size()) >= nChanges)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    qInstallMessageHandler(g_previousHandler);
    QLoggingCategory::setFilterRules({});
    g_timed = nullptr;
    release.release();
    const Figures paint = Sorted(view.m_changes);
    std::printf("3840x2160 mode 2 %-18s median %6.2f ms  worst %6.2f ms  (%d slide changes "
                "under the event loop; %d composed in paint)\n",
                bJob ? "view, job running" : "view", paint.dMedianMs, paint.dWorstMs,
                int(view.m_changes.size()), view.m_nFresh);
}

std::unique_ptr<CSatzStore> LoadCatalogue(int nResMode) {
    auto store = std::make_unique<CSatzStore>();
    store->m_nSprache = 1;
    store->m_nResMode = nResMode;
    store->m_strPromoText = QStringLiteral("ROT: Grosse Fruehlingsaktion");
    store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
    store->LadeBilderUndDaten();
    return store;
}

} // namespace

int main(int argc, char** argv) {
    // Never the user's settings, never a display.
    QTemporaryDir work;
    if (!work.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QDir(work.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int nSlides = argc > 1 ? std::clamp(QByteArray(argv[1]).toInt(), 1, 999) : kDefaultSlides;

    QDir::setCurrent(work.path());
    std::printf("generating %d slides with %d photos each ...\n", nSlides, kPhotosPerSlide);
    WriteCache(nSlides);

    struct Mode {
        int nResMode;
        QSize size;
    };
    for (const Mode mode : {Mode{2, QSize(1920, 1080)}, Mode{1, QSize(1366, 768)},
                            Mode{2, QSize(3840, 2160)}, Mode{1, QSize(3840, 2160)}}) {
        for (const bool bPrefetch : {false, true}) {
            // The font database is set up once per process, not per slide: not measured.
            RenderSlide(*LoadCatalogue(mode.nResMode), mode.size);
            // A fresh catalogue, so no photo is decoded before the run.
            const auto store = LoadCatalogue(mode.nResMode);
            const auto [figures, decode] = Measure(*store, mode.size, bPrefetch);
            std::printf("%dx%d mode %d %-18s median %6.2f ms  worst %6.2f ms  (%d slides)\n",
                        mode.size.width(), mode.size.height(), mode.nResMode,
                        bPrefetch ? "with prefetch" : "decoding in paint", figures.dMedianMs,
                        figures.dWorstMs, store->m_nSatzCount);
            if (bPrefetch)
                std::printf("%dx%d mode %d %-18s median %6.2f ms  worst %6.2f ms  (per photo, "
                            "prefetched at its drawn size)\n",
                            mode.size.width(), mode.size.height(), mode.nResMode, "decode",
                            decode.dMedianMs, decode.dWorstMs);
        }
        if (mode.size.width() < 3840)
            continue;
        const auto store = LoadCatalogue(mode.nResMode);
        const auto [paint, idle, nFresh] = MeasureComposedAhead(*store, mode.size);
        std::printf("%dx%d mode %d %-18s median %6.2f ms  worst %6.2f ms  (%d slides; composed "
                    "ahead in idle: median %.2f ms, worst %.2f ms; %d composed in paint)\n",
                    mode.size.width(), mode.size.height(), mode.nResMode, "composed ahead",
                    paint.dMedianMs, paint.dWorstMs, store->m_nSatzCount, idle.dMedianMs,
                    idle.dWorstMs, nFresh);
    }
    for (const bool bJob : {false, true})
        MeasureRunningShow(kRunningShowChanges, bJob);
    return 0;
}
