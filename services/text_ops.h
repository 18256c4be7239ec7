// Text operations over GBK byte strings: lengths and positions in bytes,
// 1-based positions, scans that move one character at a time.
#pragma once

#include "services/text_types.h"

namespace oc {

int textLength(const Text& text);
Text leftText(const Text& text, int n);
Text rightText(const Text& text, int n);
Text midText(const Text& text, int start, int n);

// The byte at the 1-based position as a signed value (-128..127); 0 outside the text.
int charCode(const Text& text, int position = 1);
// A text of that one byte (empty for 0).
Text charFromCode(int byte);

// 1-based position of the first occurrence of `sought` at or after `start`
// that begins on a character boundary, or -1.
int findText(const Text& text, const Text& sought, int start = 1, bool ignoreCase = false);

inline constexpr int kAllOccurrences = -1;
Text replaceText(const Text& text, const Text& find, const Text& replacement = Text(),
                 int start = 1, int count = kAllOccurrences, bool caseSensitive = true);

// Removes leading and trailing ASCII spaces and full-width spaces (A1 A1).
Text trimSpaces(const Text& text);
// Full-width forms of ASCII (and the ideographic space) become single ASCII bytes.
Text toHalfWidth(const Text& text);
// Printable ASCII becomes its GBK full-width form.
Text toFullWidth(const Text& text);

Text spaceText(int n);
// Upper-case hexadecimal as "%X" prints it.
Text hexText(int value);

}  // namespace oc
