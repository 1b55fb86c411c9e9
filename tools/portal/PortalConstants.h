#pragma once
// The demo portal's fixed values: where it listens, the layout of its data folder, the
// photo sizes per layout mode and its short error answers.

#include <QSize>

namespace demoportal {

inline constexpr char kDefaultBind[] = "127.0.0.1";
inline constexpr int kDefaultPort = 8480;

// The gateway page below portal::kGatewayPath and its function numbers.
inline constexpr char kGatewayPage[] = "zelvora.php";
inline constexpr int kFnRecordList = 1;
inline constexpr int kFnRecord = 2;
inline constexpr int kFnNeuFzList = 101;

// Folders of the data folder (see PortalData.h).
inline constexpr char kDealerFolder[] = "haendler";
inline constexpr char kOccasionFolder[] = "occasionen";
inline constexpr char kNeuFzFolder[] = "neufahrzeuge";
inline constexpr char kOccasionPhotoFolder[] = "kunden_occasionen";
inline constexpr char kNeuFzPhotoFolder[] = "standard_bilder";
inline constexpr char kDataFileSuffix[] = ".txt";

// Photos: "<base>.jpg" for layout mode 1, "<base>_xl.jpg" for the large layouts.
inline constexpr char kPhotoSuffix[] = ".jpg";
inline constexpr char kLargePhotoSuffix[] = "_xl.jpg";
inline constexpr int kLargeResMode = 2;
inline constexpr int kPhotosPerVehicle = 5;

// Pixel sizes by layout mode (index 0: mode 1, index 1: the large layouts). Main photos
// keep to the loaders' rules: used ones wider than 576, new ones wider than 720 and lower
// than 610. Small photos are drawn at 100 % and 125 % and fit the 165 and 215 pixel steps of
// their column.
inline constexpr QSize kOccMainPhoto[2] = {{640, 480}, {800, 600}};
inline constexpr QSize kNeuFzMainPhoto[2] = {{800, 530}, {850, 566}};
inline constexpr QSize kSmallPhoto[2] = {{240, 160}, {224, 168}};
inline constexpr int kJpegQuality = 85;

// Record layouts as the loaders read them.
inline constexpr int kOccasionFixedLines = 19; // lines 0 to 18
inline constexpr int kOccasionPhotoLine = 7;   // lines 7 to 11
inline constexpr char kTagZubehoer[] = "<zubehoer>";
inline constexpr char kTagEnde[] = "<ende>";
inline constexpr char kTagNeuFz[] = "<neufz>";
inline constexpr int kNeuFzLines = 26;     // lines 1 to 26 after each "<neufz>"
inline constexpr int kNeuFzPhotoLine = 22; // lines 22 to 26

// Error answers. The program takes an answer of fewer than 100 bytes that contains
// "FEHLER" as a refusal.
inline constexpr char kLoginError[] = "FEHLER: Kundennummer oder Passwort falsch";
inline constexpr char kBadRequestError[] = "FEHLER: Anfrage unvollstaendig";
inline constexpr char kNotFoundError[] = "FEHLER: nicht gefunden";
inline constexpr char kInjectedError[] = "FEHLER: Gateway voruebergehend gestoert";

// A fault of kind long-length announces this many bytes more than it sends.
inline constexpr int kLongLengthExtra = 1024;

// Connections: short keep-alive so that stopping never waits long for an idle client.
inline constexpr int kKeepAliveSeconds = 1;
inline constexpr int kReadTimeoutSeconds = 5;
// How long Start waits for the listening thread to run.
inline constexpr int kStartTimeoutMs = 5000;

// The sample data set is the same on every run.
inline constexpr unsigned kSampleSeed = 20240501u;

} // namespace demoportal
