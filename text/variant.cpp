#include "text/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "services/ascii_case.h"

namespace oc {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// A decimal number with optional blanks, sign, fraction and exponent.
std::optional<double> parseNumber(const WideText& text) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && isBlank(text[first])) {
        ++first;
    }
    while (end > first && isBlank(text[end - 1])) {
        --end;
    }
    std::string ascii;
    for (std::size_t i = first; i < end; ++i) {
        if (text[i] >= 0x80) {
            return std::nullopt;
        }
        ascii += static_cast<char>(text[i]);
    }
    std::size_t skip = (!ascii.empty() && ascii[0] == '+') ? 1 : 0;
    double value = 0;
    const char* begin = ascii.data() + skip;
    const char* stop = ascii.data() + ascii.size();
    auto [ptr, ec] = std::from_chars(begin, stop, value, std::chars_format::general);
    if (ec != std::errc() || ptr != stop || begin == stop) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> numberOf(const Variant& value) {
    if (value.isEmpty()) {
        return 0.0;
    }
    if (const auto* i = value.get<std::int32_t>()) {
        return *i;
    }
    if (const auto* d = value.get<double>()) {
        return *d;
    }
    if (const auto* b = value.get<bool>()) {
        return *b ? -1.0 : 0.0;
    }
    if (const auto* t = value.get<WideText>()) {
        if (equalsIgnoringAsciiCase(*t, std::string_view("true"))) {
            return -1.0;
        }
        if (equalsIgnoringAsciiCase(*t, std::string_view("false"))) {
            return 0.0;
        }
        return parseNumber(*t);
    }
    return std::nullopt;
}

std::optional<Variant> toInteger32(double number) {
    double rounded = std::nearbyint(number);  // the default rounding: half to even
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return Variant(static_cast<std::int32_t>(rounded));
}

// Digits as to_chars writes them (no locale), the exponent mark upper case.
template <typename... Format>
WideText numberText(auto number, Format... format) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number, format...);
    WideText out;
    for (const char* p = buffer; p != result.ptr; ++p) {
        out += *p == 'e' ? L'E' : static_cast<wchar_t>(*p);
    }
    return out;
}

std::optional<WideText> textOf(const Variant& value) {
    if (value.isEmpty()) {
        return WideText();
    }
    if (const auto* t = value.get<WideText>()) {
        return *t;
    }
    if (const auto* i = value.get<std::int32_t>()) {
        return numberText(*i);
    }
    if (const auto* d = value.get<double>()) {
        return numberText(*d, std::chars_format::general, 15);
    }
    if (const auto* b = value.get<bool>()) {
        return WideText(*b ? L"-1" : L"0");
    }
    return std::nullopt;
}

}  // namespace

Variant::Variant(const Text& text) : value_(wideFromGbk(text)) {}

Variant::Variant(ComponentRef object) {
    if (object) {
        value_ = std::move(object);
    }
}

void Variant::setBytes(const ByteSet& bytes) {
    value_ = ByteArray{bytes, 1};
}

Text Variant::variantText() const {
    auto text = changeVariantType(*this, VariantType::Text);
    return text ? gbkFromWide(*text->get<WideText>()) : Text();
}

VariantType Variant::type() const {
    static constexpr VariantType kTypes[] = {
        VariantType::Empty,   VariantType::Text,  VariantType::Integer, VariantType::Double,
        VariantType::Logical, VariantType::Bytes, VariantType::Object};
    return kTypes[value_.index()];
}

std::optional<Variant> changeVariantType(const Variant& value, VariantType to) {
    if (to == VariantType::Any || to == value.type()) {
        return value;
    }
    switch (to) {
        case VariantType::Empty:
            return Variant();
        case VariantType::Text:
            if (auto text = textOf(value)) {
                return Variant(std::move(*text));
            }
            return std::nullopt;
        case VariantType::Integer:
            if (auto number = numberOf(value)) {
                return toInteger32(*number);
            }
            return std::nullopt;
        case VariantType::Double:
            if (auto number = numberOf(value)) {
                return Variant(*number);
            }
            return std::nullopt;
        case VariantType::Logical:
            if (auto number = numberOf(value)) {
                return Variant(*number != 0.0);
            }
            return std::nullopt;
        default:
            return std::nullopt;  // arrays and objects come only from their own kind
    }
}

}  // namespace oc
