// Reading the article of the command-line checker.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "services/text_types.h"

namespace oc::cli {

// The article as the desktop article box would hold it: valid UTF-8 (a leading
// BOM dropped) is read as UTF-8, anything else as GBK/GB18030; characters GBK
// lacks become "?".
Text decodeArticle(std::string_view bytes);

// Reads the file ("-": standard input). Nothing, with a message in `error`, when
// it cannot be read.
std::optional<Text> readArticle(const std::string& path, std::string& error);

}  // namespace oc::cli
