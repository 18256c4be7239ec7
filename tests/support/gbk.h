// Writing GBK test texts as readable UTF-8 literals.
#pragma once

#include <string>

#include "services/boundary_text.h"

namespace oc::testing {

// GBK bytes of a UTF-8 literal: G("原创") is D4 AD B4 B4.
Text G(std::string_view utf8);
// UTF-8 of a GBK text, for readable failure messages.
std::string U(const Text& gbk);

}  // namespace oc::testing
