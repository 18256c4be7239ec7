// The text operations that scan characters, on arbitrary bytes: matches begin
// on character boundaries, replacements undo, the width conversions and the
// space trim keep the character structure, and split pieces rejoin.
#include <cstdint>
#include <string>

#include "services/byte_sets.h"
#include "services/text_ops.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

using oc::Text;
using oc::fuzz::InputReader;

unsigned char fold(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

bool equalAt(const Text& text, std::size_t at, const Text& sought, bool ignoreCase) {
    if (at + sought.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < sought.size(); ++i) {
        if (ignoreCase ? fold(text[at + i]) != fold(sought[i]) : text[at + i] != sought[i]) {
            return false;
        }
    }
    return true;
}

// The offsets a scan from `from` visits: one character at a time, ending at a
// lead byte that has no byte after it.
std::vector<std::size_t> scanOffsets(const Text& text, std::size_t from) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = from; i < text.size();) {
        offsets.push_back(i);
        if (!oc::isLeadByte(text[i])) {
            ++i;
        } else if (i + 1 < text.size()) {
            i += 2;
        } else {
            break;
        }
    }
    return offsets;
}

// A space or a full-width space starts at `at`.
bool isBlank(const Text& text, std::size_t at) {
    return text[at] == ' ' || text.compare(at, 2, "\xA1\xA1") == 0;
}

// The text holds a two-byte character that toHalfWidth turns into ASCII.
bool hasHalfWidthForm(const Text& text) {
    for (std::size_t at : scanOffsets(text, 0)) {
        auto lead = static_cast<unsigned char>(text[at]);
        auto trail = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
        if ((lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) ||
            (lead == 0xA1 && (trail == 0xA1 || trail == 0xAB || trail == 0xEE || trail == 0xEF))) {
            return true;
        }
    }
    return false;
}

void checkFind(const Text& text, const Text& sought, int start, bool ignoreCase) {
    int found = oc::findText(text, sought, start, ignoreCase);
    std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (sought.empty()) {
        require(found == (from < text.size() ? 1 : -1));
        return;
    }
    int expected = -1;
    if (from < text.size()) {
        for (std::size_t at : scanOffsets(text, from)) {
            if (equalAt(text, at, sought, ignoreCase)) {
                expected = static_cast<int>(at) + 1;
                break;
            }
        }
    }
    require(found == expected);
}

void checkReplace(const Text& text, const Text& find, int start, int count, bool caseSensitive) {
    Text replaced = oc::replaceText(text, find, Text(), start, count, caseSensitive);
    require(replaced.size() <= text.size());
    // With a byte the text lacks as the replacement, replacing back restores it.
    char mark = 0;
    for (int c = 1; c < 128 && mark == 0; ++c) {
        if (text.find(static_cast<char>(c)) == Text::npos &&
            find.find(static_cast<char>(c)) == Text::npos) {
            mark = static_cast<char>(c);
        }
    }
    if (mark == 0 || find.empty()) {
        return;
    }
    Text marked = oc::replaceText(text, find, Text(1, mark), start, count, true);
    require(oc::replaceText(marked, Text(1, mark), find, start) == text);
    std::size_t marks = 0;
    for (char c : marked) {
        marks += c == mark ? 1 : 0;
    }
    require(count < 0 || marks <= static_cast<std::size_t>(count));
    require(marked.size() == text.size() - marks * find.size() + marks);
}

void checkWidths(const Text& text) {
    Text half = oc::toHalfWidth(text);
    require(half.size() <= text.size());
    require(oc::fuzz::wholeCharacters(half));
    require(oc::toHalfWidth(half) == half);
    Text full = oc::toFullWidth(text);
    require(oc::fuzz::wholeCharacters(full));
    for (std::size_t at : scanOffsets(full, 0)) {
        auto b = static_cast<unsigned char>(full[at]);
        require(b < 0x20 || b > 0x7E);  // no printable ASCII is left
    }
    require(oc::toFullWidth(full) == full);
    if (oc::fuzz::wholeCharacters(text) && !hasHalfWidthForm(text)) {
        require(oc::toHalfWidth(full) == text);  // full width and back
    }

    Text trimmed = oc::trimSpaces(text);
    require(text.find(trimmed) != Text::npos);
    require(oc::trimSpaces(trimmed) == trimmed);
    std::vector<std::size_t> chars = scanOffsets(trimmed, 0);
    if (!chars.empty()) {
        require(!isBlank(trimmed, chars.front()) && !isBlank(trimmed, chars.back()));
    }
}

void checkSplit(const std::string& data, const std::string& delimiter, int maxPieces) {
    oc::ByteSetList all = oc::splitBytes(oc::ByteSet(data), oc::ByteSet(delimiter));
    if (data.empty()) {
        require(all.empty());
        return;
    }
    if (delimiter.empty()) {
        require(all.size() == 1 && all[0].bytes() == data);
        return;
    }
    std::string joined;
    for (std::size_t i = 0; i < all.size(); ++i) {
        require(all[i].bytes().find(delimiter) == std::string::npos);
        joined += (i > 0 ? delimiter : std::string()) + all[i].bytes();
    }
    require(joined == data || joined + delimiter == data);
    oc::ByteSetList limited = oc::splitBytes(oc::ByteSet(data), oc::ByteSet(delimiter), maxPieces);
    std::size_t expected = maxPieces <= 0 ? 0 : std::min<std::size_t>(all.size(), maxPieces);
    require(limited.size() == expected);
    for (std::size_t i = 0; i < limited.size(); ++i) {
        require(limited[i] == all[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader in(data, size);
    int start = static_cast<int>(in.byte()) - 8;      // -8 .. 247
    int count = static_cast<int>(in.byte() % 8) - 2;  // -2 .. 5; below 0: all
    bool flag = in.flag();
    std::string sought(in.piece());
    std::string rest(in.rest());
    Text text = oc::fuzz::textOf(rest);
    Text find = oc::fuzz::textOf(sought);

    checkFind(text, find, start, flag);
    checkReplace(text, find, start, count, !flag);
    checkWidths(text);
    checkSplit(rest, sought, count);
    return 0;
}
