// Text that must stay on one line: an INI value, a cell of a printed table.
#pragma once

#include <string>

namespace oc {

// The text with each CR and LF (and, with `tabsToo`, each tab) made a space,
// so one character stays one character.
inline std::string lineBreaksAsSpaces(std::string text, bool tabsToo = false) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || (tabsToo && c == '\t')) {
            c = ' ';
        }
    }
    return text;
}

}  // namespace oc
