#pragma once
// Fixed values of the portal synchronisation.

#include <array>

namespace credential {
// The "code" setting: the password field's hex digits, then the customer number's.
inline constexpr int kPasswordFieldSize = 32;
inline constexpr int kKundenNrFieldSize = 16;
inline constexpr int kCodeLength = 2 * (kPasswordFieldSize + kKundenNrFieldSize);

// Our own key bytes. Changing them makes every stored "code" unreadable: the operator would
// have to enter the credentials again.
inline constexpr std::array<unsigned char, 13> kPasswordKey{
    0x5B, 0x07, 0xE3, 0x91, 0x2C, 0xA8, 0x00, 0x4F, 0xD6, 0x1E, 0x83, 0xB9, 0x6A};
inline constexpr std::array<unsigned char, 9> kKundenNrKey{0xC4, 0x19, 0x7F, 0xE0, 0x03,
                                                           0x5D, 0xAA, 0x92, 0x36};
} // namespace credential

namespace portalsync {
// Every single wait of a request, in seconds. The portal assembles the new-vehicle list for
// all brands at once, which takes longer.
inline constexpr int kRequestTimeout = 10;
inline constexpr int kNeuFzListTimeout = 50;

// "LastUpdate" more than this many seconds ahead of the clock was written by a clock that was
// wrong: the new-vehicle refresh is due. A clock before kMinLastUpdateYear writes none, and years
// have four digits.
inline constexpr long long kMaxLastUpdateAhead = 24 * 3600;
inline constexpr int kMinLastUpdateYear = 2020;
inline constexpr int kMaxLastUpdateYear = 9999;

// A sync job that has run this long gives up, in milliseconds; the next hourly tick starts a
// fresh one.
inline constexpr int kMaxJobTime = 30 * 60 * 1000;
// How long the end of the program, and a command that changes what a job uses, wait for a
// cancelled job: its socket is shut down and its name lookup's wait woken at once.
inline constexpr int kCancelWait = 1000;

// A photo answer of this many bytes or fewer is an error page, not a photo.
inline constexpr int kMinPhotoBytes = 1000;
// An answer shorter than this that holds kErrorMarker is the portal's refusal.
inline constexpr int kErrorAnswerSize = 100;
inline constexpr char kErrorMarker[] = "FEHLER";

// Used-vehicle photo names are fetched when longer than kMinPhotoName. The portal keeps some
// photos under the name less its first character: names longer than kMinRetryName are tried
// that way too, with at most kRetryNameLength characters.
inline constexpr int kMinPhotoName = 3;
inline constexpr int kMinRetryName = 5;
inline constexpr int kRetryNameLength = 30;

// The record file's line that holds the change time; its photo names follow occ::kHauptfoto.
inline constexpr int kStandLine = 3;

// The record list's first line is the dealer's address, shown on every slide: a longer line is
// no address. Each further line has this many fields: number, change time, five photo names.
inline constexpr int kMaxAdresseLength = 200;
inline constexpr int kListFields = 7;

// A record whose photos are not all in is held back, showing its previous file, for fewer than
// this many runs in a row; then it is written without them. The runs so far are kept in the
// settings, as "number:runs" pairs separated by ",".
inline constexpr int kMaxHeldBackRuns = 3;
inline constexpr char kHeldBackSection[] = "Status";
inline constexpr char kHeldBackKey[] = "UsedHeldBack";

// Photo requests that bring no photo, per sync step: after this many the step asks for no
// further missing photo, and the rest wait for the next run. A portal that has none of a long
// list's photos costs a bounded number of requests per run, while photos that come are not
// held up.
inline constexpr int kMaxFailedPhotoRequests = 100;
// Where in a long list of missing photos the run starts moves on with this count of runs, kept
// in the group kHeldBackSection.
inline constexpr char kPhotoRoundKey[] = "PhotoRound";

// Photo files that no record in Daten/ and no new-vehicle list names any more are deleted
// after a job whose lists came through, once they have been unnamed this long, in seconds.
inline constexpr long long kUnnamedPhotoGrace = 7LL * 24 * 60 * 60;

// Requests below portal::kGatewayPath, in German and in French.
inline constexpr char kListQueryDe[] = "zelvora.php?ap=%s&fn=1&la=de&kn=%d&rm=%d";
inline constexpr char kListQueryFr[] = "zelvora.php?ap=%s&fn=1&la=fr&kn=%d&rm=%d";
inline constexpr char kRecordQueryDe[] = "zelvora.php?fn=2&la=de&sn=%d&rm=%d";
inline constexpr char kRecordQueryFr[] = "zelvora.php?fn=2&la=fr&sn=%d&rm=%d";
inline constexpr char kNeuFzQueryDe[] = "zelvora.php?ap=%s&fn=101&la=de&kn=%d&ma=%s";
inline constexpr char kNeuFzQueryFr[] = "zelvora.php?ap=%s&fn=101&la=fr&kn=%d&ma=%s";
// A used-vehicle photo below portal::kOccasionPhotoPath: customer number and name, unescaped.
inline constexpr char kPhotoQuery[] = "%d/%s";

// Cache files in Daten/.
inline constexpr char kSatzNrListe[] = "SatzNrListeAktuell.txt";
inline constexpr char kNeuFzListe[] = "NeufahrzeugeListe.txt";
inline constexpr char kRecordFileFormat[] = "satz_%d_%d.txt";
inline constexpr char kRecordFilePattern[] = "satz_*.txt";
// Photos refused for what they are, with the stamp of their record then; photos no cache file
// names, with the time since when.
inline constexpr char kRefusedPhotos[] = "BilderAbgelehnt.txt";
inline constexpr char kUnnamedPhotos[] = "BilderUnbenannt.txt";

// The line that opens every record of the new-vehicle list.
inline constexpr char kNeuFzTag[] = "<neufz>";
} // namespace portalsync
