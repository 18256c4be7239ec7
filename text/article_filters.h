// The two filters that clean an article before it is cut into query segments.
#pragma once

#include <cstddef>
#include <vector>

#include "services/text_types.h"

namespace oc {

// The text from its first to its last byte that is not ASCII white space
// (space, TAB, LF, VT, FF, CR). The full-width space is not white space.
Text trim(const Text& text);

// Keeps, in order, every character outside printable ASCII (0x20..0x7F): the
// control bytes (CR, LF, TAB among them) and every two-byte character whole.
// With dropWhiteSpace, the kept white-space control bytes are removed as well.
// With `sourceOffsets`, it receives for every byte kept its offset in `text`.
Text keepNonAsciiChars(const Text& text, bool dropWhiteSpace = false,
                       std::vector<std::size_t>* sourceOffsets = nullptr);

// trim, then keep only the characters outside printable ASCII: what an
// article, and a local document compared with it, is before it is cut.
Text prepareArticle(const Text& article);

// ASCII white space as the article filters and the regular expressions see it.
inline bool isAsciiSpace(unsigned char byte) {
    return byte == 0x20 || (byte >= 0x09 && byte <= 0x0D);
}

}  // namespace oc
