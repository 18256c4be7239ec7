// One line of a CSV table as spreadsheet programs read it.
#pragma once

#include <string>
#include <vector>

namespace oc {

// Appends the cells, RFC 4180 quoted where needed, and CR LF; a cell that
// starts like a formula is kept as text, never run.
void appendCsvLine(std::string& out, const std::vector<std::string>& cells);

}  // namespace oc
