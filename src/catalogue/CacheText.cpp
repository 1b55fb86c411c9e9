#include "catalogue/CacheText.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>

namespace cache {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1 control of the
// same value, as Windows does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

QByteArray UpToNul(const QByteArray& text) {
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.left(nul);
}

std::vector<QByteArray> SplitLines(const QByteArray& text, int maxLines) {
    std::vector<QByteArray> lines;
    CLineReader reader(text);
    while (maxLines < 0 || std::ssize(lines) < maxLines) {
        const auto line = reader.Next();
        if (!line)
            break;
        lines.push_back(line->toByteArray());
    }
    return lines;
}

bool EndsWithLineFeed(const QByteArray& text) {
    const qsizetype nul = text.indexOf('\0');
    return QByteArrayView(text).first(nul < 0 ? text.size() : nul).endsWith('\n');
}

CLineReader::CLineReader(const QByteArray& text) : m_body(text) {
    if (const qsizetype nul = m_body.indexOf('\0'); nul >= 0)
        m_body = m_body.first(nul);
}

std::optional<QByteArrayView> CLineReader::Next() {
    if (m_nStart >= m_body.size())
        return std::nullopt;
    qsizetype end = m_body.indexOf('\n', m_nStart);
    qsizetype lineEnd = end;
    if (end < 0)
        end = lineEnd = m_body.size();
    else if (lineEnd > m_nStart && m_body[lineEnd - 1] == '\r')
        --lineEnd;
    const QByteArrayView line =
        m_body.sliced(m_nStart, std::min<qsizetype>(lineEnd - m_nStart, kMaxLineLength));
    m_nStart = end + 1;
    return line;
}

QByteArrayView WithoutTrailingCr(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

namespace {
// Skips the leading blanks and an optional sign; returns where the digits begin.
qsizetype SkipBlanksAndSign(QByteArrayView text, bool& negative) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    return i;
}
} // namespace

int ParseInt(QByteArrayView text) {
    bool negative = false;
    qsizetype i = SkipBlanksAndSign(text, negative);
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min<long long>(value, INT_MAX));
}

int ParseInt(QStringView text) {
    return ParseInt(QByteArrayView(ToCp1252(text.toString())));
}

double ParseRate(QByteArrayView text) {
    bool negative = false;
    const qsizetype i = SkipBlanksAndSign(text, negative);
    double value = 0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    // Plain decimals only: an exponent, "inf" or "nan" end the number where they begin.
    const char* end = first;
    while (end < last && ((*end >= '0' && *end <= '9') || *end == '.'))
        ++end;
    if (std::from_chars(first, end, value, std::chars_format::fixed).ec != std::errc() ||
        !std::isfinite(value))
        value = 0;
    return negative ? -value : value;
}

QString FromCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray ToCp1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = static_cast<char>(u);
        } else {
            for (std::size_t i = 0; i < kHighControls.size(); ++i)
                if (kHighControls[i] == u)
                    b = static_cast<char>(0x80 + i);
        }
        *out++ = b;
    }
    return bytes;
}

QString CachePath(const char* folder, QByteArrayView name) {
    return QString::fromLatin1(folder) + QLatin1Char('/') + FromCp1252(name);
}

} // namespace cache
