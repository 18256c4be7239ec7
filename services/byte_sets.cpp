#include "services/byte_sets.h"

#include <algorithm>

namespace oc {

int bytesLength(const ByteSet& bytes) {
    return static_cast<int>(bytes.size());
}

ByteSet midBytes(const ByteSet& bytes, int start, int n) {
    long long length = static_cast<long long>(bytes.size());
    long long first = std::clamp<long long>(start, 1, length + 1);
    long long count = std::clamp<long long>(n, 0, length - first + 1);
    return ByteSet(
        bytes.bytes().substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(count)));
}

ByteSet zeroBytes(int n) {
    return n <= 0 ? ByteSet() : ByteSet(std::string(static_cast<std::size_t>(n), '\0'));
}

ByteSetList splitBytes(const ByteSet& data, const ByteSet& delimiter, int maxPieces) {
    ByteSetList pieces;
    if (data.empty() || maxPieces <= 0) {
        return pieces;
    }
    if (delimiter.empty()) {
        pieces.push_back(data);
        return pieces;
    }
    std::string_view all = data.view();
    std::string_view delim = delimiter.view();
    std::size_t pieceStart = 0;
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t hit = all.find(delim, pos);
        if (hit == std::string_view::npos) {
            break;
        }
        pieces.emplace_back(std::string(all.substr(pieceStart, hit - pieceStart)));
        if (static_cast<int>(pieces.size()) >= maxPieces) {
            return pieces;
        }
        pos = hit + delim.size();
        pieceStart = pos;
    }
    if (pieceStart < all.size()) {
        pieces.emplace_back(std::string(all.substr(pieceStart)));
    }
    return pieces;
}

}  // namespace oc
