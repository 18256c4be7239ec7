#include "check/csv_line.h"

#include <string_view>

#include "services/shown_text.h"

namespace oc {
namespace {

// A cell that starts like a formula is shown as text, never run: spreadsheet
// programs take the full-width signs (＝＋－＠) for the ASCII ones too. Text
// that is no UTF-8 or holds control characters is made plain first.
std::string guarded(std::string_view text) {
    std::string cell = reportText(text);
    const bool formula =
        !cell.empty() && (std::string_view("=+-@\t\r").find(cell.front()) != std::string::npos ||
                          cell.rfind("＝", 0) == 0 || cell.rfind("＋", 0) == 0 ||
                          cell.rfind("－", 0) == 0 || cell.rfind("＠", 0) == 0);
    if (formula) {
        cell.insert(0, 1, '\'');
    }
    return cell;
}

// Quoted when it holds a separator (a comma, or the semicolon some programs
// split on), a quote or a line break.
std::string quoted(const std::string& cell) {
    if (cell.find_first_of(",;\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string out = "\"";
    for (char c : cell) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace

void appendCsvLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += quoted(guarded(cells[i]));
    }
    out += "\r\n";
}

}  // namespace oc
