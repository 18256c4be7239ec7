#include "app/cli/json_text.h"

#include <cstdio>

namespace oc::cli {
namespace {

// The code point of a bidirectional control at `at` in UTF-8 text, else 0:
// U+061C, U+200E, U+200F, U+202A-U+202E, U+2066-U+2069.
char32_t bidiControlAt(const std::string& text, std::size_t at) {
    auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    if (byte(at) == 0xD8 && byte(at + 1) == 0x9C) {
        return 0x061C;
    }
    if (byte(at) != 0xE2) {
        return 0;
    }
    const char32_t c = 0x2000 | ((byte(at + 1) & 0x3F) << 6) | (byte(at + 2) & 0x3F);
    const bool continued = (byte(at + 1) & 0xC0) == 0x80 && (byte(at + 2) & 0xC0) == 0x80;
    const bool bidi =
        c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    return continued && bidi ? c : 0;
}

std::string withBidiEscaped(const std::string& dumped) {
    std::string out;
    out.reserve(dumped.size());
    for (std::size_t i = 0; i < dumped.size();) {
        if (const char32_t c = bidiControlAt(dumped, i); c != 0) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
            i += c == 0x061C ? 2 : 3;
        } else {
            out += dumped[i++];
        }
    }
    return out + "\n";
}

}  // namespace

std::string jsonText(const nlohmann::json& doc, int indent) {
    return withBidiEscaped(doc.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace));
}

std::string jsonText(const nlohmann::ordered_json& doc, int indent) {
    return withBidiEscaped(
        doc.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

}  // namespace oc::cli
