// Value types shared by every layer: GBK text, counted bytes and OLE dates.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace oc {

// GBK bytes without any 0x00 byte. A byte of 0x80 or above starts a two-byte
// character. Lengths and positions count bytes; positions handed to text
// operations are 1-based. Empty and absent are the same value.
using Text = std::string;

// A counted byte sequence that may hold 0x00.
class ByteSet {
  public:
    ByteSet() = default;
    explicit ByteSet(std::string bytes) : bytes_(std::move(bytes)) {}
    ByteSet(const char* data, std::size_t size) : bytes_(data, size) {}

    const std::string& bytes() const { return bytes_; }
    std::string& bytes() { return bytes_; }
    const char* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    std::string_view view() const { return bytes_; }

    friend bool operator==(const ByteSet&, const ByteSet&) = default;

  private:
    std::string bytes_;
};

// Days since 30 December 1899, midnight; the time of day is the fraction.
struct DateTime {
    double days = 0.0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

using TextList = std::vector<Text>;
using ByteSetList = std::vector<ByteSet>;

// True for the first byte of a two-byte GBK character.
inline bool isLeadByte(unsigned char byte) {
    return byte >= 0x80;
}
inline bool isLeadByte(char byte) {
    return isLeadByte(static_cast<unsigned char>(byte));
}

}  // namespace oc
