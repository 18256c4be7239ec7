// What a click on a result grid does: the query URL cell of a data row opens
// the result page in the browser and turns purple.
#pragma once

#include "check/grid_model.h"
#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

class ResultGrid;

// Acts on the grid's cursor cell through openAddress.
void handleGridClick(ResultGrid& grid, Platform& platform);

// Hands an http:// or https:// address shown in a cell to the shell; the cell
// turns purple once it opened. When the shell cannot open it, the address goes
// to the clipboard and a message says so. False unless it opened.
bool openAddress(ResultGrid& grid, int row, int column, const Text& address, Platform& platform);

}  // namespace oc
