// zelvora-render run as a process on a small cache folder, with the settings store of this
// test binary (XDG_CONFIG_HOME points at its temporary folder).

#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/Emulation.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const QColor kOccColour(200, 30, 30);
const QColor kNeuColour(30, 30, 200);

struct ToolRun {
    int nExit = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun RunTool(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZELVORA_RENDER_EXE), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// JPEG colours are close, not exact.
bool Near(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) <= 24 &&
           std::abs(qGreen(pixel) - colour.green()) <= 24 &&
           std::abs(qBlue(pixel) - colour.blue()) <= 24;
}

bool IsBlack(QRgb pixel) {
    return qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16;
}

} // namespace

class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_CHILD_PROCESSES(); }

    RenderToolTest() {
        // A used vehicle: record file in the portal's code page, one photo.
        QByteArray record;
        for (const char* line : {"Honda CBR 600 RR",
                                 "",
                                 "8900",
                                 "2024-01-01 10:00:00",
                                 "05.2003",
                                 "12500",
                                 "",
                                 "occ1.jpg",
                                 "",
                                 "",
                                 "",
                                 "",
                                 "",
                                 "",
                                 "98",
                                 "1",
                                 "189.50",
                                 "8",
                                 "HONDA",
                                 "<zubehoer>",
                                 "Koffer",
                                 "Gep\xE4"
                                 "cktr\xE4"
                                 "ger",
                                 "<ende>"})
            record += QByteArray(line) + '\n';
        CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_4711_1.txt"), record);
        WritePhoto(QStringLiteral("Bilder/occ1.jpg"), 800, 600, kOccColour);

        // A new vehicle: one record of the list, its photo path with a slash.
        QByteArray list = "<neufz>\n";
        for (const char* line : {"YAMAHA", "MT-07",        "12990",  "",       "6",
                                 "0689",   "67",           "2",      "6-Gang", "73",
                                 "805",    "120/70",       "180/55", "184",    "",
                                 "210.00", "blau schwarz", "",       "",       "",
                                 "",       "neu/mt07.jpg", "<neufz>"})
            list += QByteArray(line) + '\n';
        CTempWorkDir::WriteFile(QStringLiteral("Daten/NeufahrzeugeListe.txt"), list);
        WritePhoto(QStringLiteral("Bilder/neu_mt07.jpg"), 760, 500, kNeuColour);

        using namespace setting;
        WriteProfileInt(kSection, kAnzeige, 2);
        WriteProfileString(kSection, kMarkenOccAnzeigen, QStringLiteral("YAMAHA"));
        WriteProfileString(kSection, kPromoText, QStringLiteral("ROT: Aktion"));
        WriteProfileString(kSection, kAdresse, QStringLiteral("Muster Motos AG, Zürich"));
    }

    QString Out() const { return m_out.path(); }
    QImage Png(const QString& name) const { return QImage(QDir(Out()).filePath(name)); }

    CTempWorkDir m_work;
    QTemporaryDir m_out;
};

TEST_F(RenderToolTest, ListsEverySlideAsJsonInCatalogueOrder) {
    const ToolRun run = RunTool({QStringLiteral("--list"), QStringLiteral("--dir"), m_work.Path()});
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);

    const QJsonObject occ = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(occ[u"nArt"].toInt(), 1);
    EXPECT_EQ(occ[u"strMarke"].toString(), QStringLiteral("HONDA"));
    EXPECT_EQ(occ[u"nPreis"].toInt(), 8900);
    EXPECT_EQ(occ[u"nKatID"].toInt(), 8);
    EXPECT_EQ(occ[u"nKm"].toInt(), 12500);
    EXPECT_EQ(occ[u"strTitel"].toString(), QStringLiteral("Honda CBR 600 RR"));
    EXPECT_EQ(occ[u"strKmText"].toString(), QStringLiteral("12'500 km, 1. IV  05.2003, 98PS, "));
    EXPECT_EQ(occ[u"strPreis"].toString(), QStringLiteral("8'900"));
    EXPECT_EQ(occ[u"strZustand"].toString(), QStringLiteral("Occasion"));
    EXPECT_DOUBLE_EQ(occ[u"dRate"].toDouble(), 189.5);
    EXPECT_EQ(occ[u"strZeilen"].toArray(),
              (QJsonArray{QStringLiteral("Koffer"), QStringLiteral("Gepäckträger")}));
    EXPECT_EQ(occ[u"nBild"].toArray(), (QJsonArray{0, 0, 0, 0, 0}));
    EXPECT_EQ(occ[u"bildSize"].toArray(), (QJsonArray{QJsonArray{800, 600}}));
    EXPECT_FALSE(occ[u"visible"].toBool()); // the brand filter names only YAMAHA

    const QJsonObject neu = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(neu[u"nArt"].toInt(), 2);
    EXPECT_EQ(neu[u"strTitel"].toString(), QStringLiteral("YAMAHA MT-07"));
    EXPECT_EQ(neu[u"strPreisZeile"].toString(), QStringLiteral("Fr. 12'990.-"));
    const QJsonArray zeilen = neu[u"strZeilen"].toArray();
    ASSERT_EQ(zeilen.size(), 12);
    EXPECT_EQ(zeilen[0].toString(), QStringLiteral("Kat. Naked/Roadster"));
    EXPECT_EQ(zeilen[1].toString(), QStringLiteral("Hubraum 689 ccm"));
    EXPECT_EQ(zeilen[6].toString(), QStringLiteral("Sitzhöhe 80.5 cm"));
    EXPECT_EQ(zeilen[10].toString(), QStringLiteral("Farbe Blau "));
    EXPECT_EQ(neu[u"nBild"].toArray(), (QJsonArray{1, 0, 0, 0, 0}));
    EXPECT_EQ(neu[u"bildSize"].toArray(), (QJsonArray{QJsonArray{760, 500}}));
    EXPECT_TRUE(neu[u"visible"].toBool());
}

TEST_F(RenderToolTest, RendersOneSlideOrAllWithTheProgramsComposition) {
    ToolRun run = RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--slide"),
                           QStringLiteral("0"), QStringLiteral("--mode"), QStringLiteral("2"),
                           QStringLiteral("--out"), Out()});
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QDir(Out()).filePath(QStringLiteral("slide-000.png")).toUtf8());
    QImage image = Png(QStringLiteral("slide-000.png"));
    ASSERT_EQ(image.size(), QSize(1920, 1080));
    // The used vehicle's photo at its large-layout place, and the red promotion line.
    EXPECT_TRUE(Near(image.pixel(45, 185), kOccColour));
    EXPECT_TRUE(Near(image.pixel(835, 775), kOccColour));
    EXPECT_TRUE(IsBlack(image.pixel(38, 185)));
    int nRed = 0;
    for (int y = 870; y < 910; ++y)
        for (int x = 40; x < 200; ++x)
            nRed += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    EXPECT_GT(nRed, 0);

    // Every slide, small layout, French, into a folder that does not exist yet.
    const QString sub = QDir(Out()).filePath(QStringLiteral("fr"));
    run = RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--all"),
                   QStringLiteral("--mode"), QStringLiteral("1"), QStringLiteral("--lang"),
                   QStringLiteral("2"), QStringLiteral("--out"), sub});
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed().split('\n').size(), 2);
    image = QImage(QDir(sub).filePath(QStringLiteral("slide-001.png")));
    ASSERT_EQ(image.size(), QSize(1366, 768));
    EXPECT_TRUE(Near(image.pixel(25, 65), kNeuColour)); // new vehicle, small layout: (20, 60)
    EXPECT_TRUE(IsBlack(image.pixel(18, 65)));
    EXPECT_EQ(QImage(QDir(sub).filePath(QStringLiteral("slide-000.png"))).size(), QSize(1366, 768));

    // A size of its own; the relative output folder is taken from where the tool started.
    run = RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--slide"),
                   QStringLiteral("1"), QStringLiteral("--size"), QStringLiteral("800x600"),
                   QStringLiteral("--out"), QStringLiteral("small")});
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(QStringLiteral("small/slide-001.png")).size(), QSize(800, 600));
}

TEST_F(RenderToolTest, ASlideWhoseMainPhotoDoesNotDecodeIsLeftOut) {
    const QByteArray photo = MakePhoto(800, 600, kOccColour);
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/occ1.jpg"), photo.left(photo.size() / 2));
    ToolRun run = RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--all"),
                           QStringLiteral("--out"), Out()});
    EXPECT_EQ(run.nExit, 0);
    EXPECT_EQ(run.out.trimmed(), QDir(Out()).filePath(QStringLiteral("slide-001.png")).toUtf8());
    EXPECT_TRUE(run.err.contains("slide 0 left out")) << run.err.toStdString();
    run = RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--slide"),
                   QStringLiteral("0"), QStringLiteral("--out"), Out()});
    EXPECT_EQ(run.nExit, 1);
    EXPECT_FALSE(QFile::exists(QDir(Out()).filePath(QStringLiteral("slide-000.png"))));
}

TEST_F(RenderToolTest, LayoutModeDefaultsToTheScreenSetting) {
    for (const auto& [nScrRes, size] :
         {std::pair{0, QSize(1366, 768)}, std::pair{3, QSize(1920, 1080)},
          std::pair{1, QSize(1920, 1080)}}) {
        SCOPED_TRACE(nScrRes);
        WriteProfileInt(setting::kSection, setting::kScrRes, nScrRes);
        const ToolRun run =
            RunTool({QStringLiteral("--dir"), m_work.Path(), QStringLiteral("--slide"),
                     QStringLiteral("0"), QStringLiteral("--out"), Out()});
        ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
        EXPECT_EQ(Png(QStringLiteral("slide-000.png")).size(), size);
    }
}

TEST_F(RenderToolTest, SizeScalesTheSlideAsTheShowDoesUnlessFitScreenIsOff) {
    const QStringList args{QStringLiteral("--dir"),   m_work.Path(),
                           QStringLiteral("--slide"), QStringLiteral("0"),
                           QStringLiteral("--mode"),  QStringLiteral("2"),
                           QStringLiteral("--size"),  QStringLiteral("3840x2160"),
                           QStringLiteral("--out"),   Out()};
    ToolRun run = RunTool(args);
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    QImage image = Png(QStringLiteral("slide-000.png"));
    ASSERT_EQ(image.size(), QSize(3840, 2160));
    // The 1680 x 1050 layout at 2160 / 1050, centred: the photo at (40, 180) moves to
    // 192 + 40 x 2.057 = 274, 370; the bands left and right stay black.
    EXPECT_TRUE(Near(image.pixel(278, 374), kOccColour));
    EXPECT_TRUE(Near(image.pixel(274 + 1640, 370 + 1230), kOccColour));
    EXPECT_TRUE(IsBlack(image.pixel(270, 374)));
    for (int y = 0; y < 2160; y += 40)
        EXPECT_TRUE(IsBlack(image.pixel(190, y)) && IsBlack(image.pixel(3650, y))) << y;

    WriteProfileInt(setting::kSection, setting::kFitScreen, 0);
    run = RunTool(args);
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    image = Png(QStringLiteral("slide-000.png"));
    EXPECT_TRUE(Near(image.pixel(45, 185), kOccColour));
    EXPECT_TRUE(IsBlack(image.pixel(845, 785)));
}

TEST_F(RenderToolTest, RefusesWhatItCannotDoWithAnExitCodeAndAMessage) {
    CTempWorkDir::WriteFile(QStringLiteral("a-file"), "x");
    const QString dir = m_work.Path();
    struct Case {
        QStringList arguments;
        int nExit;
    };
    const Case cases[] = {
        {{}, 2},
        {{"--all", "--list"}, 2},
        {{"--slide", "-1"}, 2},
        {{"--slide", "one"}, 2},
        {{"--all", "--mode", "3"}, 2},
        {{"--all", "--lang", "0"}, 2},
        {{"--all", "--size", "800x0"}, 2},
        {{"--all", "--size", "800"}, 2},
        {{"--all", "--size", "9000x600"}, 2},
        {{"--all", "--colour"}, 2},
        {{"--all", "extra"}, 2},
        {{"--slide", "2", "--dir", dir}, 1},
        {{"--list", "--dir", dir + "/missing"}, 1},
        {{"--all", "--dir", dir, "--out", dir + "/a-file"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.nExit, c.nExit);
        EXPECT_TRUE(run.err.contains("zelvora-render: ")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir + "/a-file/slide-000.png"));

    const ToolRun version = RunTool({QStringLiteral("--version")});
    EXPECT_EQ(version.nExit, 0);
    EXPECT_EQ(version.out.trimmed(), QByteArray("zelvora-render 1.30"));
    const ToolRun help = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(help.nExit, 0);
    EXPECT_TRUE(help.out.contains("--slide"));
}
