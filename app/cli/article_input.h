// Reading the article of the command-line checker.
#pragma once

#include <optional>
#include <string>

#include "services/article_decoding.h"

namespace oc::cli {

// Reads and decodes the file ("-": standard input) as the desktop article box
// would hold it. Nothing, with a message in `error`, when it cannot be read or
// is larger than the article limits (its bytes, or its characters as read).
std::optional<DecodedArticle> readArticle(const std::string& path, std::string& error);

// The line standard error shows for a warning.
std::string warningLine(const ArticleWarning& warning);

}  // namespace oc::cli
