#pragma once
// The slide layout: every position, font, colour and fixed word of a slide, by layout mode, in
// the pixels of the screens the mode was made for (SlideFrame.h places it in other views).

#include <QColor>
#include <QPoint>
#include <QSize>
#include <array>

namespace slide {

// Every per-mode pair holds the 1366 x 768 layout first and the larger one second.
enum Mode { kSmall = 0, kLarge = 1 };
template <typename T> using PerMode = std::array<T, 2>;

// m_nResMode of the large layout; any other value gets the small one.
inline constexpr int kLargeResMode = 2;

// The largest screen each layout was made for: the small one for 1366 x 768, the large one
// for 1680 x 1050, 1920 x 1080 and 1980 x 1080. A view within it that holds
// the layout's extent shows the slide unscaled.
inline constexpr PerMode<QSize> kTableScreen{QSize(1366, 768), QSize(1980, 1080)};
// What each layout draws: its whole slide with the margins it leaves; the large layout's
// right-hand photos end before x = 1680. Other views scale this to fit.
inline constexpr PerMode<QSize> kLayoutExtent{QSize(1366, 768), QSize(1680, 1050)};

// nArt of a slide.
inline constexpr int kArtOccasion = 1;
inline constexpr int kArtNeuFz = 2;

// "Arial" by the height of its whole character cell (ascent + descent) and its weight.
inline constexpr char kFontFamily[] = "Arial";
struct FontSpec {
    int nHeight = 0;
    int nWeight = 0;
};

inline constexpr QColor kBackground{0, 0, 0};
inline constexpr QColor kTextColour{255, 255, 255};

// --- Photos ------------------------------------------------------------------------------

inline constexpr int kMainPhotoPercent = 100;
inline constexpr PerMode<int> kSmallPhotoX{1115, 1360};
inline constexpr PerMode<int> kSmallPhotoPercent{100, 125};
inline constexpr int kMaxSmallPhotos = 4;

// y of the k-th present small photo, by the number n of present ones: row n - 1.
using SmallPhotoY = std::array<std::array<int, kMaxSmallPhotos>, kMaxSmallPhotos>;

// A photo's room: from its top-left corner up to the next column and the next line of text.
// A photo larger than its room, such as one fetched for the other layout, is drawn scaled down
// into it with its proportions kept; one that fits is drawn at its own size.
struct PhotoLayout {
    PerMode<QPoint> main;
    PerMode<SmallPhotoY> smallY;
    PerMode<QSize> mainRoom;
};

// Main photo rooms: up to the text column (x = 840; 900), and down to the address line
// (y = 667) or the large layout's financing line (y = 800).
inline constexpr PhotoLayout kNeuFzPhotos{
    {QPoint(20, 60), QPoint(40, 100)},
    {SmallPhotoY{{{275}, {190, 355}, {130, 295, 460}, {25, 190, 355, 520}}},
     SmallPhotoY{{{365}, {250, 475}, {200, 425, 650}, {90, 305, 520, 735}}}},
    {QSize(820, 607), QSize(860, 700)},
};

// Only the two-photo column differs from the new-vehicle one. Main photo rooms: up to the text
// column (x = 710; 870), and down to the address line (y = 640) or the financing line (y = 800).
inline constexpr PhotoLayout kOccasionPhotos{
    {QPoint(40, 130), QPoint(40, 180)},
    {SmallPhotoY{{{275}, {200, 365}, {130, 295, 460}, {25, 190, 355, 520}}},
     SmallPhotoY{{{365}, {250, 475}, {200, 425, 650}, {90, 305, 520, 735}}}},
    {QSize(670, 510), QSize(830, 620)},
};

// The small photos' room, the same for every row: up to the layout's right edge (kLayoutExtent)
// and down to the row below, or under the lowest row to the web address line (y = 680; 950).
inline constexpr PerMode<QSize> kSmallPhotoRoom{QSize(251, 160), QSize(320, 215)};

// --- Texts -------------------------------------------------------------------------------

enum class Source {
    Titel,
    PreisZeile,    // new vehicle: the price line built at load time
    OccasionPreis, // used vehicle, large layout: the currency word, strPreis and ".-"
    KmText,        // used vehicle; the small layout appends the price
    Zustand,
    FinanzLabel,
    FinanzRate,
    Zeilen, // detail lines, one row of the table for all of them
    Adresse,
    WebAddress,
};

enum class When {
    Always,
    RateAboveThreshold,
    LargeWithPreis,
};

// One drawn text: where its words come from, its font and top-left corner in each mode, and
// when it is drawn. Detail lines stand at y = pos.y + (i + 1) x step; an address longer than
// kLongAddress characters takes longFont.
struct TextRow {
    Source source;
    PerMode<FontSpec> font;
    PerMode<QPoint> pos;
    When when = When::Always;
    PerMode<int> step{};
    PerMode<FontSpec> longFont{};
};

// A text that would run past the view's edge or into another cell is drawn smaller, down to
// this share of its cell height; below that it is cut.
inline constexpr int kMinFitPercent = 75;

inline constexpr double kRateThreshold = 20.0;
inline constexpr int kLongAddress = 63;

inline constexpr PerMode<FontSpec> kTitelFont{{{50, 700}, {60, 820}}};
inline constexpr PerMode<FontSpec> kZustandFont{{{32, 700}, {40, 840}}};
inline constexpr PerMode<FontSpec> kWebAddressFont{{{22, 200}, {25, 240}}};
inline constexpr PerMode<QPoint> kWebAddressPos{QPoint(1120, 680), QPoint(1380, 950)};

inline constexpr std::array kNeuFzTexts{
    TextRow{Source::Titel, kTitelFont, {QPoint(20, 5), QPoint(40, 20)}},
    TextRow{Source::PreisZeile, kTitelFont, {QPoint(840, 480), QPoint(950, 782)}},
    TextRow{Source::Zustand, kZustandFont, {QPoint(840, 56), QPoint(900, 96)}},
    TextRow{Source::FinanzLabel,
            kZustandFont,
            {QPoint(840, 570), QPoint(40, 800)},
            When::RateAboveThreshold},
    TextRow{Source::FinanzRate,
            kZustandFont,
            {QPoint(840, 600), QPoint(280, 800)},
            When::RateAboveThreshold},
    TextRow{Source::Zeilen,
            {{{30, 500}, {30, 500}}},
            {QPoint(840, 60), QPoint(900, 100)},
            When::Always,
            {32, 40}},
    TextRow{Source::Adresse,
            {{{38, 700}, {44, 840}}},
            {QPoint(20, 667), QPoint(40, 940)},
            When::Always,
            {},
            {{{34, 700}, {40, 840}}}},
    TextRow{Source::WebAddress, kWebAddressFont, kWebAddressPos},
};

inline constexpr std::array kOccasionTexts{
    TextRow{Source::Titel, kTitelFont, {QPoint(40, 20), QPoint(40, 30)}},
    TextRow{Source::OccasionPreis, kTitelFont, {QPoint(), QPoint(950, 782)}, When::LargeWithPreis},
    TextRow{Source::KmText, {{{36, 300}, {44, 360}}}, {QPoint(40, 70), QPoint(40, 110)}},
    TextRow{Source::Zustand, kZustandFont, {QPoint(710, 130), QPoint(870, 170)}},
    TextRow{Source::FinanzLabel,
            kZustandFont,
            {QPoint(710, 540), QPoint(40, 800)},
            When::RateAboveThreshold},
    TextRow{Source::FinanzRate,
            kZustandFont,
            {QPoint(710, 570), QPoint(280, 800)},
            When::RateAboveThreshold},
    TextRow{Source::Zeilen,
            {{{30, 500}, {36, 600}}},
            {QPoint(710, 145), QPoint(870, 200)},
            When::Always,
            {32, 32}},
    // Unlike on a new-vehicle slide, a long address gets a larger cell here.
    TextRow{Source::Adresse,
            {{{34, 700}, {40, 700}}},
            {QPoint(40, 640), QPoint(40, 940)},
            When::Always,
            {},
            {{{36, 700}, {42, 700}}}},
    TextRow{Source::WebAddress, kWebAddressFont, kWebAddressPos},
};

// Fixed words of the texts, German and French.
inline constexpr char kFinanzLabelDe[] = "Finanzierung";
inline constexpr char kFinanzRateDe[] = "ab Fr. %0.2f p/M.";
inline constexpr char kFinanzLabelFr[] = "Financement";
inline constexpr char kFinanzRateFr[] = "dès CHF %0.2f / mois";
inline constexpr char kWaehrungDe[] = "Fr. ";
inline constexpr char kWaehrungFr[] = "CHF ";
inline constexpr char kPreisSuffix[] = ".-";
inline constexpr char kKmPreisSeparator[] = ", Fr. ";
inline constexpr char kZeilenPrefix[] = "- ";

// --- Promotion line (large layout only) ---------------------------------------------------

// A promotion text of this many characters or fewer is not shown.
inline constexpr int kPromoMaxIgnored = 6;
inline constexpr int kPromoMaxLength = 200;
inline constexpr FontSpec kPromoFont{40, 400};
inline constexpr QPoint kPromoPos{40, 870};

struct PromoPrefix {
    const char* de;
    const char* fr;
    QColor colour;
};

// Tried in this order; "Ü" must already be upper case to match.
inline constexpr std::array kPromoPrefixes{
    PromoPrefix{"ROT:", "ROUGE:", QColor(255, 0, 0)},
    PromoPrefix{"GRÜN:", "VERT:", QColor(0, 255, 0)},
    PromoPrefix{"BLAU:", "BLEU:", QColor(0, 0, 255)},
    PromoPrefix{"GELB:", "JAUNE:", QColor(255, 255, 0)},
};

// --- Messages while nothing is loaded -----------------------------------------------------

inline constexpr FontSpec kMessageFont{50, 700};
inline constexpr PerMode<QPoint> kMessagePos{QPoint(320, 350), QPoint(380, 480)};

inline constexpr char kLadenDe[] = "Bilder und Daten werden geladen ...";
inline constexpr char kAnmeldenDe[] = "Bitte KundenNr und Passwort eingeben !";
inline constexpr char kLadenFr[] = "Téléchargement images et données ...";
inline constexpr char kAnmeldenFr[] = "SVP saisir No de client et Mot de passe !";

// Under the request for the credentials: where to enter them, and how the hidden menu bar
// shows. The menus are German in both languages.
inline constexpr FontSpec kAnmeldenOrtFont{32, 400};
inline constexpr PerMode<QPoint> kAnmeldenOrtPos{QPoint(320, 420), QPoint(380, 560)};
inline constexpr char kAnmeldenOrtDe[] =
    "Menü Einstellungen › Authorisation (Alt oder F10 zeigt das Menü)";
inline constexpr char kAnmeldenOrtFr[] =
    "Menu Einstellungen › Authorisation (Alt ou F10 affiche le menu)";

} // namespace slide
