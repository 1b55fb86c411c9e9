#include "TraceCapture.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/PictureCache.h"
#include "catalogue/PictureLoader.h"
#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A JPEG stuffed with comment segments: over the old 1,000,000-byte buffer, still a photo.
QByteArray LargeJpeg() {
    QByteArray bytes = MakePhoto(800, 600);
    QByteArray comment("\xFF\xFE\xFF\xFF", 4);
    comment += QByteArray(0xFFFF - 2, 'c');
    for (int i = 0; i < 17; ++i)
        bytes.insert(2, comment);
    return bytes;
}

// A JPEG whose header claims 30000 x 30000 pixels, more than the decoder will allocate.
QByteArray JpegClaimingHugeSize() {
    QByteArray bytes = MakePhoto(800, 600);
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        throw std::runtime_error("no SOF0 marker");
    bytes.replace(sof + 5, 4, QByteArray("\x75\x30\x75\x30", 4));
    return bytes;
}

class PictureTest : public ::testing::Test {
protected:
    bool Load(int nSlot, const QString& path) {
        return m_store->LoadPictureFile(nSlot, path, m_nHeight, m_nWidth);
    }
    bool Append(const QString& path, int32_t& nBild) {
        return m_store->AppendPicture(path, nBild, m_nHeight, m_nWidth);
    }

    CTempWorkDir m_dir;
    std::unique_ptr<CSatzStore> m_store = std::make_unique<CSatzStore>();
    int m_nHeight = -1;
    int m_nWidth = -1;
};

TEST_F(PictureTest, PhotosReportTheirPixelSize) {
    WritePhoto("Bilder/a.jpg", 800, 600);
    WritePhoto("Bilder/b.png", 801, 601, Qt::red, "PNG");
    WritePhoto("Bilder/c.bmp", 802, 602, Qt::red, "BMP");
    CTempWorkDir::WriteFile("Bilder/big.jpg", LargeJpeg());
    ASSERT_GT(QFile("Bilder/big.jpg").size(), 1000000);

    const std::tuple<const char*, int, int> cases[] = {
        {"Bilder/a.jpg", 800, 600},
        {"Bilder/b.png", 801, 601},
        {"Bilder/c.bmp", 802, 602},
        {"Bilder/big.jpg", 800, 600},
    };
    for (const auto& [path, nWidth, nHeight] : cases) {
        EXPECT_TRUE(Load(-1, path)) << path;
        EXPECT_EQ(m_nWidth, nWidth) << path;
        EXPECT_EQ(m_nHeight, nHeight) << path;
    }
    EXPECT_EQ(m_store->m_nPictureCount, 0) << "measuring keeps nothing";
    EXPECT_TRUE(m_store->m_loadedPictures.empty());
    EXPECT_TRUE(m_store->Picture(0).isNull());

    ASSERT_TRUE(Load(0, "Bilder/big.jpg"));
    EXPECT_EQ(m_store->Picture(0).size(), QSize(800, 600)) << "read whole beyond 1,000,000 bytes";
}

TEST_F(PictureTest, FilesTheDecoderWouldRefuseFailAtLoad) {
    const QByteArray jpeg = MakePhoto(800, 600);
    const QByteArray png = MakePhoto(800, 600, Qt::red, "PNG");
    CTempWorkDir::WriteFile("Bilder/empty.jpg", {});
    CTempWorkDir::WriteFile("Bilder/text.jpg", "<html>no photo here</html>\n");
    CTempWorkDir::WriteFile("Bilder/header.jpg", jpeg.left(300));
    CTempWorkDir::WriteFile("Bilder/signature.png", png.left(12));
    CTempWorkDir::WriteFile("Bilder/huge.jpg", JpegClaimingHugeSize());
    CTempWorkDir::WriteFile("Bilder/oversized.jpg", jpeg);
    ASSERT_TRUE(QFile("Bilder/oversized.jpg").resize(kMaxPictureFileSize + 1));
    CTempWorkDir::WriteFile("Bilder/padded.jpg", jpeg + QByteArray(1000, '\0'));

    CTraceCapture trace;
    for (const char* path :
         {"Bilder/missing.jpg", "Bilder/empty.jpg", "Bilder/text.jpg", "Bilder/signature.png",
          "Bilder/header.jpg", "Bilder/huge.jpg", "Bilder/oversized.jpg", "", "Bilder"}) {
        for (int nSlot : {-1, 0}) {
            m_nWidth = m_nHeight = -1;
            EXPECT_FALSE(Load(nSlot, path)) << path;
            EXPECT_EQ(m_nWidth, 0) << path;
            EXPECT_EQ(m_nHeight, 0) << path;
        }
    }
    EXPECT_TRUE(m_store->m_loadedPictures.empty());
    EXPECT_TRUE(m_store->Picture(0).isNull());
    const std::pair<const char*, const char*> reasons[] = {
        {"text.jpg", "Unsupported image format"},
        {"empty.jpg", "leere Datei"},
        {"huge.jpg", "Bild zu gross zum Dekodieren"},
        {"oversized.jpg", "Datei zu gross"},
    };
    for (const auto& [name, reason] : reasons)
        EXPECT_EQ(trace.Starting(QStringLiteral("Foto abgelehnt Bilder/%1: ").arg(name)).value(0),
                  QStringLiteral("Foto abgelehnt Bilder/%1: %2").arg(name, reason));

    EXPECT_TRUE(Load(0, "Bilder/padded.jpg"));
    EXPECT_FALSE(Load(kMaxPictures, "Bilder/padded.jpg")) << "no such slot";
    EXPECT_FALSE(Load(-2, "Bilder/padded.jpg"));
}

TEST_F(PictureTest, EveryPhotoWhoseHeaderReadsIsTakenAndDecodedOnlyWhenNeeded) {
    const QByteArray jpeg = MakePhoto(800, 600);
    const QByteArray bmp = MakePhoto(802, 602, Qt::red, "BMP");
    QByteArray png = MakePhoto(801, 601, Qt::red, "PNG");
    png[png.indexOf("IDAT") + 10] = char(png[png.indexOf("IDAT") + 10] ^ 0x55);
    CTempWorkDir::WriteFile("Bilder/trailer.jpg",
                            jpeg + QByteArray("\xFF\xDA\0\x08", 4) + QByteArray(200 * 1024, 'x'));
    CTempWorkDir::WriteFile("Bilder/head.bmp", bmp.left(54));
    CTempWorkDir::WriteFile("Bilder/bad.png", png);
    CTempWorkDir::WriteFile("Bilder/cut.jpg", jpeg.left(jpeg.size() / 2));

    const std::tuple<const char*, int, int, bool> cases[] = {
        {"Bilder/trailer.jpg", 800, 600, true}, // phones append data after the picture
        {"Bilder/head.bmp", 802, 602, false},   // the size is the header's, nothing decoded
        {"Bilder/bad.png", 801, 601, false},
        {"Bilder/cut.jpg", 800, 600, false}, // libjpeg would fill it up with grey
    };
    CTraceCapture trace;
    int nSlot = 0;
    for (const auto& [path, nWidth, nHeight, bDecodes] : cases) {
        EXPECT_TRUE(Load(nSlot, path)) << path;
        EXPECT_EQ(m_nWidth, nWidth) << path;
        EXPECT_EQ(m_nHeight, nHeight) << path;
        EXPECT_EQ(m_store->Picture(nSlot).isNull(), !bDecodes) << path;
        ++nSlot;
    }
    EXPECT_EQ(trace.Starting(QStringLiteral("Foto fehlt")).size(), 3);
    EXPECT_TRUE(m_store->Picture(1).isNull());
    EXPECT_EQ(trace.Starting(QStringLiteral("Foto fehlt")).size(), 3) << "not tried again";

    // Slides: a further photo that does not decode leaves its slide, a main photo takes the
    // slide out of the show.
    m_store->m_nSatzCount = 2;
    m_store->m_satz[0].nArt = 1;
    m_store->m_satz[0].nBild = {0, 1, 0, 2, 0};
    m_store->m_satz[1].nArt = 2;
    m_store->m_satz[1].nBild = {3, 0, 0, 0, 0};
    EXPECT_TRUE(m_store->PrefetchPictures(0));
    EXPECT_EQ(m_store->m_satz[0].nBild, (std::array<int32_t, kBilderProSatz>{0, 0, 0, 0, 0}));
    EXPECT_TRUE(m_store->IsSatzVisible(0));
    EXPECT_FALSE(m_store->PrefetchPictures(1));
    EXPECT_FALSE(m_store->IsSatzVisible(1));
    EXPECT_EQ(trace.Starting(QStringLiteral("Folie ")),
              (QStringList{"Folie 0 ohne Foto 1: nicht lesbar", "Folie 0 ohne Foto 3: nicht lesbar",
                           "Folie 1 ausgelassen: Hauptfoto nicht lesbar"}));
}

TEST_F(PictureTest, SlotsAreHandedOutInOrderAndReleasedInOrder) {
    WritePhoto("Bilder/a.jpg", 800, 600);
    WritePhoto("Bilder/b.jpg", 640, 480);
    CTempWorkDir::WriteFile("Bilder/text.jpg", "text");
    int32_t nBild[4] = {-1, -1, -1, -1};
    EXPECT_TRUE(Append("Bilder/a.jpg", nBild[0]));
    EXPECT_FALSE(Append("Bilder/text.jpg", nBild[1]));
    EXPECT_EQ(nBild[1], -1) << "a refused photo leaves its field";
    EXPECT_TRUE(Append("Bilder/b.jpg", nBild[2]));
    EXPECT_TRUE(Append("Bilder/a.jpg", nBild[3]));
    EXPECT_EQ(nBild[0], 0);
    EXPECT_EQ(nBild[2], 1) << "the refused photo used no slot";
    EXPECT_EQ(nBild[3], 2);
    EXPECT_EQ(m_store->m_nPictureCount, 3);
    EXPECT_EQ(m_store->m_loadedPictures, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(m_store->m_pictureSize[1].nWidth, 640);
    EXPECT_EQ(m_store->m_pictureSize[1].nHeight, 480);
    EXPECT_EQ(m_store->Picture(1).size(), QSize(640, 480));

    m_store->m_satz[0].nBild = {0, 1, 2, 0, 0};
    m_store->m_satz[0].strTitel = "T";
    m_store->m_satz[0].strZeilen[49] = "Z";
    m_store->m_satz[0].nZeilen = 3;
    m_store->m_nSatzCount = 1;
    CTraceCapture trace;
    m_store->ResetBilderUndDaten();
    EXPECT_EQ(trace.Lines(), (QStringList{"ResetBilderUndDaten", "Release pict 0", "Release pict 1",
                                          "Release pict 2", "ResetBilderUndDaten fertig"}));
    EXPECT_EQ(m_store->m_nPictureCount, 0);
    EXPECT_EQ(m_store->m_nSatzCount, 0);
    EXPECT_TRUE(m_store->m_loadedPictures.empty());
    const Satz& satz = m_store->m_satz[0];
    EXPECT_EQ(satz.nBild, (std::array<int32_t, kBilderProSatz>{}));
    EXPECT_TRUE(satz.strTitel.isEmpty() && satz.strZeilen[49].isEmpty());
    EXPECT_EQ(satz.nZeilen, 0);
    EXPECT_TRUE(m_store->Picture(1).isNull()) << "released";

    EXPECT_TRUE(Append("Bilder/b.jpg", nBild[0]));
    EXPECT_EQ(nBild[0], 0) << "numbering starts again";
}

TEST_F(PictureTest, PicturesAreDecodedOnDemandAndCached) {
    WritePhoto("Bilder/a.jpg", 800, 600, Qt::red);
    WritePhoto("Bilder/b.jpg", 800, 600, Qt::blue);
    ASSERT_TRUE(Load(0, "Bilder/a.jpg"));
    ASSERT_TRUE(Load(1, "Bilder/b.jpg"));
    m_store->m_satz[0].nBild = {1, 0, 0, 0, 0};
    m_store->m_nSatzCount = 1;

    const QImage first = m_store->Picture(0);
    EXPECT_EQ(first.cacheKey(), m_store->Picture(0).cacheKey()) << "the second use is cached";
    m_store->PrefetchPictures(0);
    ASSERT_TRUE(QFile::remove("Bilder/a.jpg"));
    ASSERT_TRUE(QFile::remove("Bilder/b.jpg"));
    EXPECT_FALSE(m_store->Picture(0).isNull());
    EXPECT_FALSE(m_store->Picture(1).isNull()) << "decoded ahead by the prefetch";
    m_store->PrefetchPictures(-1);
    m_store->PrefetchPictures(1);

    WritePhoto("Bilder/a.jpg", 800, 600, Qt::red);
    ASSERT_TRUE(Load(0, "Bilder/a.jpg")); // refilled: the old decoded picture is dropped
    WritePhoto("Bilder/a.jpg", 800, 600, Qt::red, "PNG");
    EXPECT_TRUE(m_store->Picture(0).isNull()) << "replaced by a format its load did not check";
    ASSERT_TRUE(QFile::remove("Bilder/a.jpg"));
    EXPECT_TRUE(m_store->Picture(0).isNull()) << "a photo gone since its load draws nothing";
    EXPECT_TRUE(m_store->Picture(-1).isNull());
    EXPECT_TRUE(m_store->Picture(kMaxPictures).isNull());
}

TEST_F(PictureTest, HasPicturesDecodesNothingAndFailsForAPhotoThePaintCouldNotDraw) {
    WritePhoto("Bilder/a.jpg", 800, 600, Qt::red);
    WritePhoto("Bilder/b.jpg", 240, 160, Qt::blue);
    ASSERT_TRUE(Load(0, "Bilder/a.jpg"));
    ASSERT_TRUE(Load(1, "Bilder/b.jpg"));
    m_store->m_satz[0].nBild = {0, 1, 0, 0, 0};
    m_store->m_nSatzCount = 1;
    const std::array<QSize, kBilderProSatz> drawn{QSize(400, 300), QSize(120, 80)};

    EXPECT_TRUE(m_store->HasPictures(0, drawn)) << "both files there";
    ASSERT_TRUE(QFile::rename("Bilder/a.jpg", "Bilder/a.keep"));
    EXPECT_FALSE(m_store->HasPictures(0, drawn)) << "the main photo deleted by the sync";
    EXPECT_TRUE(m_store->Picture(0, drawn[0]).isNull()) << "the checks decoded nothing";

    ASSERT_TRUE(QFile::rename("Bilder/a.keep", "Bilder/a.jpg"));
    ASSERT_TRUE(Load(0, "Bilder/a.jpg"));
    ASSERT_TRUE(m_store->PrefetchPictures(0, drawn));
    ASSERT_TRUE(QFile::remove("Bilder/a.jpg"));
    WritePhoto("Bilder/b.jpg", 240, 160, Qt::blue, "PNG");
    EXPECT_TRUE(m_store->HasPictures(0, drawn)) << "held at the sizes the paint draws";
    EXPECT_FALSE(m_store->HasPictures(0, {QSize(200, 150), drawn[1]}))
        << "held at another size only, its file gone";
    EXPECT_FALSE(m_store->HasPictures(0, {drawn[0], QSize(60, 40)}))
        << "replaced by a format its load did not check";
    EXPECT_FALSE(m_store->HasPictures(1, drawn));
}

TEST(PictureCache, KeepsTheMostRecentlyUsedWithinItsBudget) {
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const qsizetype size = picture.sizeInBytes();
    CPictureCache cache(3 * size);
    for (int nSlot = 0; nSlot < 3; ++nSlot)
        cache.Insert(nSlot, picture);
    EXPECT_FALSE(cache.Find(0).isNull()); // 0 becomes the most recent
    cache.Insert(3, picture);
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.Bytes(), 3 * size);
    EXPECT_TRUE(cache.Find(1).isNull()) << "the least recently used went";
    EXPECT_FALSE(cache.Find(0).isNull());
    cache.Remove(0);
    EXPECT_TRUE(cache.Find(0).isNull());
    cache.Insert(9, QImage(400, 400, QImage::Format_RGB32));
    EXPECT_TRUE(cache.Find(9).isNull()) << "larger than the whole budget";
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}

TEST_F(PictureTest, RenderPictureStretchesToTheStoredSizeTimesPercent) {
    WritePhoto("Bilder/a.png", 801, 601, Qt::red, "PNG");
    ASSERT_TRUE(Load(0, "Bilder/a.png"));
    QImage surface(1000, 1000, QImage::Format_RGB32);
    surface.fill(Qt::black);
    const CPictureLoader loader;
    {
        QPainter dc(&surface);
        EXPECT_TRUE(loader.RenderPicture(dc, 10, 20, *m_store, 0, 50));
        EXPECT_FALSE(loader.RenderPicture(dc, 0, 0, *m_store, 1, 100)) << "empty slot";
        EXPECT_FALSE(loader.RenderPicture(dc, 0, 0, *m_store, -1, 100));
    }
    // 801 x 50 / 100 = 400.5 and 601 x 50 / 100 = 300.5, both truncated.
    EXPECT_EQ(surface.pixel(10, 20), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(409, 319), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(410, 319), qRgb(0, 0, 0));
    EXPECT_EQ(surface.pixel(409, 320), qRgb(0, 0, 0));
    EXPECT_EQ(surface.pixel(9, 20), qRgb(0, 0, 0));

    QPainter inactive;
    EXPECT_FALSE(loader.RenderPicture(inactive, 0, 0, *m_store, 0, 100));
}

TEST(PictureLoader, CreatePictureFromMemory) {
    const CPictureLoader loader;
    QImage picture;
    int nWidth = -1;
    int nHeight = -1;
    EXPECT_TRUE(loader.CreatePictureFromMemory(MakePhoto(320, 200), picture, nWidth, nHeight));
    EXPECT_EQ(nWidth, 320);
    EXPECT_EQ(nHeight, 200);
    EXPECT_FALSE(loader.CreatePictureFromMemory("not a photo", picture, nWidth, nHeight));
    EXPECT_TRUE(picture.isNull());
    EXPECT_EQ(nWidth, 0);
    EXPECT_EQ(nHeight, 0);
}

// The JPEG decoder fills a cut photo up with grey and reports success: the check must not.
TEST(PictureLoader, APhotoCountsAsWholeOnlyWhenNothingIsCutOff) {
    const QByteArray jpeg = MakePhoto(640, 480, Qt::darkRed);
    const QByteArray png = MakePhoto(64, 48, Qt::darkRed, "PNG");
    const struct {
        const char* what;
        QByteArray bytes;
        bool bWhole;
    } cases[] = {
        {"JPEG", jpeg, true},
        {"JPEG with bytes after its end", jpeg + QByteArray(500, '\0'), true},
        {"JPEG cut at half", jpeg.left(jpeg.size() / 2), false},
        {"JPEG without its last two bytes", jpeg.chopped(2), false},
        {"PNG", png, true},
        {"PNG cut at half", png.left(png.size() / 2), false},
        {"no picture", QByteArray(5000, 'x'), false},
    };
    const CPictureLoader loader;
    for (const auto& c : cases)
        EXPECT_EQ(loader.IsWholePicture(c.bytes), c.bWhole) << c.what;
}

// A photo's smooth shading: gradients and waves, no detail finer than a drawn thumbnail shows.
// Made once per size and format, the waves from a table per row and per column: done per
// pixel, unoptimised and under emulation, it took most of the test's minute.
QByteArray ShadedPhoto(const QSize& size, const char* format) {
    static std::map<std::tuple<int, int, std::string>, QByteArray> made;
    QByteArray& bytes = made[{size.width(), size.height(), format}];
    if (!bytes.isEmpty())
        return bytes;
    std::vector<double> across(std::size_t(size.width()));
    std::vector<double> down(std::size_t(size.height()));
    for (int x = 0; x < size.width(); ++x)
        across[std::size_t(x)] = 40 * std::sin(x / 23.0);
    for (int y = 0; y < size.height(); ++y)
        down[std::size_t(y)] = std::cos(y / 31.0);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int wave = static_cast<int>(across[std::size_t(x)] * down[std::size_t(y)]);
            line[x] = qRgb(std::clamp(x * 255 / size.width() + wave, 0, 255),
                           y * 255 / size.height(), std::clamp(128 + wave, 0, 255));
        }
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 85);
    return bytes;
}

// The largest difference of a colour channel between two pictures of the same size.
int LargestDifference(const QImage& a, const QImage& b) {
    int nLargest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            nLargest = std::max({nLargest, std::abs(qRed(p[x]) - qRed(q[x])),
                                 std::abs(qGreen(p[x]) - qGreen(q[x])),
                                 std::abs(qBlue(p[x]) - qBlue(q[x]))});
    }
    return nLargest;
}

// Against a full decode smoothly scaled: the same pixels where the decoder does not scale,
// within a few levels of 255 per channel where it decodes an eighth step.
TEST(PictureLoader, DecodesAtTheDrawnSize) {
    constexpr int kTolerance = 6;
    const struct {
        QSize full;
        QSize drawn;
        const char* format;
        int nTolerance;
    } cases[] = {
        {{1024, 768}, {1024, 768}, "JPG", 0},         // drawn as decoded
        {{800, 600}, {1600, 1200}, "JPG", 0},         // enlarged on a 4K screen
        {{1024, 768}, {800, 600}, "JPG", 0},          // shrunk a little: no step covers it
        {{1024, 768}, {512, 384}, "JPG", kTolerance}, // one half, exactly
        {{1024, 768}, {300, 225}, "JPG", kTolerance}, // from one half
        {{1000, 750}, {120, 90}, "JPG", kTolerance},  // thumbnail, from one eighth, rounded
        {{1024, 768}, {300, 225}, "PNG", 0},          // other formats decode in full
    };
    const CPictureLoader loader;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.format << " " << c.full.width() << "x" << c.full.height() << " drawn "
                     << c.drawn.width() << "x" << c.drawn.height());
        const QByteArray bytes = ShadedPhoto(c.full, c.format);
        const QImage expected = QImage::fromData(bytes).scaled(c.drawn, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
        QImage picture;
        int nWidth = 0;
        int nHeight = 0;
        ASSERT_TRUE(loader.CreatePictureFromMemory(bytes, picture, nWidth, nHeight, {}, c.drawn));
        ASSERT_EQ(picture.size(), c.drawn);
        EXPECT_EQ(QSize(nWidth, nHeight), c.drawn);
        EXPECT_LE(LargestDifference(picture.convertToFormat(QImage::Format_RGB32),
                                    expected.convertToFormat(QImage::Format_RGB32)),
                  c.nTolerance);
    }
    // A thumbnail is never decoded at full size: under a limit that a full decode exceeds.
    const int nLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // MB; the full photo takes 3
    QImage thumbnail;
    int nWidth = 0;
    int nHeight = 0;
    const bool bDecoded = loader.CreatePictureFromMemory(ShadedPhoto({1024, 768}, "JPG"), thumbnail,
                                                         nWidth, nHeight, {}, QSize(200, 150));
    QImageReader::setAllocationLimit(nLimit);
    EXPECT_TRUE(bDecoded);
    EXPECT_EQ(thumbnail.size(), QSize(200, 150));
}

} // namespace
