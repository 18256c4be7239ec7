// Writing text into HTML.
#pragma once

#include <string>
#include <string_view>

namespace oc {

// & < > " ' as character references: safe in element content and in quoted attributes.
std::string escapeHtml(std::string_view utf8);

}  // namespace oc
