#include "check/csv_line.h"

#include <string_view>

namespace oc {
namespace {

// A cell that starts like a formula is shown as text, never run.
std::string guarded(std::string cell) {
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string::npos) {
        cell.insert(0, 1, '\'');
    }
    return cell;
}

std::string quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
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
