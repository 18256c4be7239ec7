// JSON documents as the command-line checker prints them.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace oc::cli {

// The document with `indent` (-1: one line) and a line break: bytes that are
// no UTF-8 replaced, and each bidirectional control (U+202E, U+2066, ...)
// written as its \u escape, so that a terminal shows the text in its order.
// The document means the same.
std::string jsonText(const nlohmann::json& doc, int indent);
std::string jsonText(const nlohmann::ordered_json& doc, int indent);

}  // namespace oc::cli
