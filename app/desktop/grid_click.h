// What a click on a result grid does: the query URL cell of a data row opens
// the result page in the browser and turns purple.
#pragma once

#include "check/grid_model.h"
#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

class ResultGrid;

// Acts on the grid's cursor cell. Only an http:// or https:// address is
// handed to the shell; the cell turns purple all the same.
void handleGridClick(ResultGrid& grid, Platform& platform);

}  // namespace oc
