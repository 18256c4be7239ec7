// What a click on a result grid does: the query URL cell of a data row opens
// the result page in the browser and turns purple; the 来源 cell opens the
// source page, or in the local engine's grid the document itself.
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

// Opens the local document whose path the 来源 cell of the row keeps, with the
// desktop's default program; the cell turns purple once it opened. A file gone
// since the check, or one that cannot be opened, is said in a message (the
// path then goes to the clipboard). False unless it opened.
bool openDocument(ResultGrid& grid, int row, Platform& platform);

}  // namespace oc
