#include "services/ini_document.h"

#include <algorithm>

#include "services/ascii_case.h"

namespace oc {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool isBlankByte(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// A GBK lead byte; the byte after it is its trail (0x40..0xFE, which takes in
// ASCII letters and brackets).
bool isGbkLead(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

// Position of the last "]" that is a character of its own, not a trail byte.
std::size_t lastClosingBracket(std::string_view text) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size();) {
        if (isGbkLead(text[i]) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (text[i] == ']') {
            found = i;
        }
        ++i;
    }
    return found;
}

void classify(std::string_view content, IniLine& line) {
    std::string_view text = trimIniBlanks(content);
    if (text.empty() || text.front() == ';') {
        return;
    }
    if (text.front() == '[') {
        std::size_t close = lastClosingBracket(text.substr(1));
        if (close != std::string_view::npos) {
            line.kind = IniLineKind::Section;
            line.name = trimIniBlanks(text.substr(1, close));
        }
        return;
    }
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    line.kind = IniLineKind::Key;
    line.name = trimIniBlanks(text.substr(0, equals));
    line.value = trimIniBlanks(text.substr(equals + 1));
}

// Calls `visit` with each line in order until it answers false.
template <typename Visit>
void visitIniLines(std::string_view bytes, Visit visit) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t feed = bytes.find('\n', pos);
        std::size_t contentEnd = feed == std::string_view::npos ? bytes.size() : feed;
        std::size_t contentBegin = pos == 0 && bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : pos;
        IniLine line;
        line.begin = pos;
        line.end = feed == std::string_view::npos ? bytes.size() : feed + 1;
        classify(bytes.substr(contentBegin, contentEnd - contentBegin), line);
        if (!visit(line)) {
            return;
        }
        pos = line.end;
    }
}

// The lines [first, last) of the first section of that name: its header and
// the lines up to the next header.
struct SectionRange {
    std::size_t header = 0;
    std::size_t last = 0;
};

std::optional<SectionRange> findSection(const std::vector<IniLine>& lines,
                                        std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != IniLineKind::Section || !sameIniName(lines[i].name, section)) {
            continue;
        }
        std::size_t last = i + 1;
        while (last < lines.size() && lines[last].kind != IniLineKind::Section) {
            ++last;
        }
        return SectionRange{i, last};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<IniLine>& lines, const SectionRange& range,
                                   std::string_view key) {
    for (std::size_t i = range.header + 1; i < range.last; ++i) {
        if (lines[i].kind == IniLineKind::Key && sameIniName(lines[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append(kLineEnd);
    return line;
}

// Inserting at `offset`: a last line without a line feed gets one first.
std::string afterLineEnd(std::string_view bytes, std::size_t offset, std::string text) {
    if (offset > 0 && bytes[offset - 1] != '\n') {
        text.insert(0, kLineEnd);
    }
    return text;
}

}  // namespace

std::string_view trimIniBlanks(std::string_view text) {
    while (!text.empty() && isBlankByte(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankByte(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool sameIniName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size();) {
        if (isGbkLead(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            i += 2;
            continue;
        }
        if (foldAsciiCase(a[i]) != foldAsciiCase(b[i])) {
            return false;
        }
        ++i;
    }
    return true;
}

std::vector<IniLine> parseIniLines(std::string_view bytes) {
    std::vector<IniLine> lines;
    lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    visitIniLines(bytes, [&](const IniLine& line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

std::optional<std::string_view> findIniValue(std::string_view bytes, std::string_view section,
                                             std::string_view key) {
    // Streams through the lines: a read stores none of them.
    bool inSection = false;
    bool sectionSeen = false;
    std::optional<std::string_view> found;
    visitIniLines(bytes, [&](const IniLine& line) {
        if (line.kind == IniLineKind::Section) {
            if (sectionSeen) {
                return false;  // only the first section of that name counts
            }
            inSection = sectionSeen = sameIniName(line.name, section);
        } else if (inSection && line.kind == IniLineKind::Key && sameIniName(line.name, key)) {
            found = line.value;
            return false;
        }
        return true;
    });
    return found;
}

std::optional<IniEdit> planIniWrite(std::string_view bytes, std::string_view section,
                                    const std::optional<std::string_view>& key,
                                    const std::optional<std::string_view>& value) {
    std::vector<IniLine> lines = parseIniLines(bytes);
    auto range = findSection(lines, section);
    if (!key) {
        if (!range) {
            return std::nullopt;
        }
        std::size_t end = range->last < lines.size() ? lines[range->last].begin : bytes.size();
        return IniEdit{lines[range->header].begin, end, {}};
    }
    if (!range) {
        if (!value) {
            return std::nullopt;
        }
        std::string text = "[";
        text.append(section).append("]").append(kLineEnd);
        text += keyLine(*key, *value);
        return IniEdit{bytes.size(), bytes.size(), afterLineEnd(bytes, bytes.size(), text)};
    }
    auto index = findKey(lines, *range, *key);
    if (index) {
        const IniLine& line = lines[*index];
        if (!value) {
            return IniEdit{line.begin, line.end, {}};
        }
        if (line.value == *value) {
            return std::nullopt;
        }
        return IniEdit{line.begin, line.end, keyLine(line.name, *value)};
    }
    if (!value) {
        return std::nullopt;
    }
    // After the last key of the section, or right after its header.
    std::size_t after = range->header;
    for (std::size_t i = range->header + 1; i < range->last; ++i) {
        if (lines[i].kind == IniLineKind::Key) {
            after = i;
        }
    }
    std::size_t offset = lines[after].end;
    return IniEdit{offset, offset, afterLineEnd(bytes, offset, keyLine(*key, *value))};
}

}  // namespace oc
