// The line structure of an INI file held as GBK bytes, and the smallest byte
// edit that sets or removes one key or section. Lines the edit does not touch
// keep every byte.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oc {

enum class IniLineKind { Other, Section, Key };

struct IniLine {
    std::size_t begin = 0;  // offset of the first byte
    std::size_t end = 0;    // one past the line feed, or the end of the file
    IniLineKind kind = IniLineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key lines: the value, trimmed, quotes kept
};

// Splits at line feeds. A UTF-8 byte order mark before the first line is
// skipped. A line whose first non-blank byte is ";" is a comment; "[" up to
// the last "]" of the line is a section header; otherwise a line with "=" is
// a key; every other line is left alone.
std::vector<IniLine> parseIniLines(std::string_view bytes);

// Names compare without regard to ASCII case; the two bytes of a GBK
// character are compared exactly.
bool sameIniName(std::string_view a, std::string_view b);

// Without the bytes <= 0x20 at both ends.
std::string_view trimIniBlanks(std::string_view text);

// The value of the key in the first section of that name, or nothing.
std::optional<std::string_view> findIniValue(std::string_view bytes, std::string_view section,
                                             std::string_view key);

// Replace the bytes [begin, end) by `replacement`.
struct IniEdit {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string replacement;
};

// The edit that makes the file say what the profile write asks for: no key
// removes the section, no value removes the key, else the key is set (added at
// the end of its section, or in a new section at the end of the file). Nothing
// when the file already says it. Names must be trimmed and not empty.
std::optional<IniEdit> planIniWrite(std::string_view bytes, std::string_view section,
                                    const std::optional<std::string_view>& key,
                                    const std::optional<std::string_view>& value);

}  // namespace oc
