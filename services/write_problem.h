// Why a file cannot be written, in words an editor understands.
#pragma once

#include "services/text_types.h"

namespace oc {

// Looks at the file's folder and the file itself (tries to create a scratch
// file beside it) and names the first problem found: a missing folder, a path
// part that is not a folder, no permission, a read-only or full disk, an
// existing file that cannot be read. Empty when no problem shows.
Text writeProblem(const Text& path);

// What a failed write's errno means, in the same words (GBK).
Text writeErrorText(int error);

}  // namespace oc
