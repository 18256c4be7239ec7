// Writing a file at a fixed name in a folder other users share (the temporary
// folder): never through a link another user planted there.
#pragma once

#include <string_view>

#include "services/text_types.h"

namespace oc {

// Opens path without following a symbolic link and without truncating, and
// replaces its content only when it is a regular file of this user with one
// link (created when missing). False, with nothing written, otherwise.
bool rewriteOwnFile(const Text& path, std::string_view bytes);

}  // namespace oc
