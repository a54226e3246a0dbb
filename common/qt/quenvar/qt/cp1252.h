#pragma once
// Windows-1252, the code page of Quenvar's files, between the bytes the window logic holds and
// the texts the widgets show.
//
// Every byte has a character and comes back as the same byte: the five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number. A character outside the code page has no byte; such text is refused, never stored.

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace qv::qt {

char32_t cp1252ToUnicode(unsigned char byte);
// The byte of a character; nothing when Windows-1252 has none for it.
std::optional<unsigned char> unicodeToCp1252(char32_t c);

QString fromCp1252(std::string_view bytes);
// The bytes of a text; nothing when a character has no byte (the first such character is
// stored in `*refused` when given).
std::optional<std::string> toCp1252(const QString& text, char32_t* refused = nullptr);
// The same with "?" for a character that has no byte: only for texts that are shown, never
// for texts that are stored.
std::string toCp1252Lossy(const QString& text);

// "U+0101", the usual name of a code point.
QString codePointName(char32_t c);

}  // namespace qv::qt
