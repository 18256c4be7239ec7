// One automation value: what the program hands to a component's member and what
// it gets back. Texts are held as wide characters, converted from and to GBK at
// this edge.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

#include "services/text_types.h"
#include "text/wide_text.h"

namespace oc {

class Component;
using ComponentRef = std::shared_ptr<Component>;

// A one-dimensional array of bytes with its lower bound (1 for setBytes).
struct ByteArray {
    ByteSet bytes;
    int lowerBound = 1;
    friend bool operator==(const ByteArray&, const ByteArray&) = default;
};

// The kinds of value; Any stands for a declared parameter that takes every kind.
enum class VariantType { Empty, Text, Integer, Double, Logical, Bytes, Object, Any };

class Variant {
  public:
    using Value =
        std::variant<std::monostate, WideText, std::int32_t, double, bool, ByteArray, ComponentRef>;

    Variant() = default;
    Variant(const Text& text);  // NOLINT: GBK text is the usual argument
    Variant(const char* text) : Variant(Text(text)) {}
    explicit Variant(WideText text) : value_(std::move(text)) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(bool value) : value_(value) {}
    explicit Variant(ByteArray bytes) : value_(std::move(bytes)) {}
    explicit Variant(ComponentRef object);

    // Holds the bytes as an array with lower bound 1, one element per byte.
    void setBytes(const ByteSet& bytes);
    // The value as text: a logical reads "-1" or "0"; empty when it has no text form.
    Text variantText() const;
    void clearVariant() { value_ = std::monostate(); }

    VariantType type() const;
    bool isEmpty() const { return type() == VariantType::Empty; }
    const Value& value() const { return value_; }
    template <typename T>
    const T* get() const {
        return std::get_if<T>(&value_);
    }

  private:
    Value value_;
};

// The value converted to another kind, as the automation conversions do it
// (texts parse as numbers or "True"/"False", numbers round half to even); none
// when it has no such form. Converting to Any or to its own kind copies it.
std::optional<Variant> changeVariantType(const Variant& value, VariantType to);

}  // namespace oc
