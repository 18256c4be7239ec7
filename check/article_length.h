// How long an article the checker takes.
#pragma once

#include <cstddef>
#include <string_view>

namespace oc {

// No real check sends the queries of a longer article, and its segments
// would only fill the memory.
inline constexpr std::size_t kMaxArticleChars = 200000;

// The characters of a GBK text as the article box holds it: a byte pair is
// one character, a line break (CR LF) one, every other byte one.
std::size_t articleLength(std::string_view gbk);

}  // namespace oc
