#pragma once
// Rules shared by every text that comes from the portal or the cache: Windows-1252 bytes,
// lines split at line feeds, numbers read from their leading digits.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace cache {

// A line longer than this is cut, never overrun.
inline constexpr int kMaxLineLength = 4999;

// The text up to its first zero byte.
QByteArray UpToNul(const QByteArray& text);

// Lines of a text up to its first zero byte: a line ends at a line feed, which is not part
// of it, nor is a carriage return right before it (the portal may end its lines either way);
// a last line without a line feed is taken whole. Empty lines count. With maxLines >= 0 no
// more than that many lines are returned.
std::vector<QByteArray> SplitLines(const QByteArray& text, int maxLines = -1);

// Whether the text up to its first zero byte ends with a line feed: its last line is whole.
bool EndsWithLineFeed(const QByteArray& text);

// The lines of SplitLines one at a time, viewing the text: a text of many short lines, held
// as separate lines all at once, would take many times its own size.
class CLineReader {
public:
    explicit CLineReader(const QByteArray& text);
    explicit CLineReader(QByteArray&&) = delete; // the text must outlive the reader

    // The next line; nothing after the last.
    std::optional<QByteArrayView> Next();

private:
    QByteArrayView m_body;
    qsizetype m_nStart = 0;
};

// A name or a change time read from a line: one carriage return at its end is no part of it,
// whichever line ends the portal wrote.
QByteArrayView WithoutTrailingCr(QByteArrayView line);

// Leading blanks, an optional sign, the leading decimal digits; 0 without digits. Saturates
// at the 32-bit range instead of overflowing.
int ParseInt(QByteArrayView text);
int ParseInt(QStringView text);

// A decimal with "." as decimal point after optional blanks and sign; what follows is ignored.
double ParseRate(QByteArrayView text);

QString FromCp1252(QByteArrayView bytes);
// Characters outside Windows-1252 become '?'.
QByteArray ToCp1252(const QString& text);

// folder + "/" + name, the cached name decoded once to a file-system path.
QString CachePath(const char* folder, QByteArrayView name);

inline constexpr char kDaten[] = "Daten";
inline constexpr char kBilder[] = "Bilder";

} // namespace cache
