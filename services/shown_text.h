// Text from pages, files and articles made safe to show where a control
// character would act instead of being shown: a terminal, or a report that
// another program opens.
#pragma once

#include <string>
#include <string_view>

namespace oc {

// UTF-8 for a terminal: every C0 and C1 control character (escape, carriage
// return, ...), DEL, every bidirectional control (U+202E, ...) and every byte
// that is no UTF-8 becomes a visible escape ("\x1B", "\u202E", "\xFF"), so
// nothing in it can move the cursor, rewrite a line, set the title or the
// clipboard, or reorder what follows. Line feeds (and CR LF, as LF)
// stay when `keepLineBreaks`.
std::string terminalText(std::string_view utf8, bool keepLineBreaks = false);

// UTF-8 for a report file (HTML, CSV): every byte that is no UTF-8 becomes
// U+FFFD; bidirectional controls, ESC, DEL and the other control characters
// but tab, line feed and carriage return are dropped.
std::string reportText(std::string_view utf8);

}  // namespace oc
