#include "quenvar/qt/cp1252.h"

#include <array>

#include <QList>

namespace qv::qt {

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

}  // namespace

char32_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) return high[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicodeToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < high.size(); ++i)
        if (high[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

QString fromCp1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char b : bytes) text += QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(b))));
    return text;
}

std::optional<std::string> toCp1252(const QString& text, char32_t* refused)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t c : text.toUcs4()) {
        const auto b = unicodeToCp1252(c);
        if (!b) {
            if (refused) *refused = c;
            return std::nullopt;
        }
        bytes += static_cast<char>(*b);
    }
    return bytes;
}

std::string toCp1252Lossy(const QString& text)
{
    std::string bytes;
    for (char32_t c : text.toUcs4()) {
        const auto b = unicodeToCp1252(c);
        bytes += b ? static_cast<char>(*b) : '?';
    }
    return bytes;
}

QString codePointName(char32_t c)
{
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace qv::qt
