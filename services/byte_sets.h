// Operations on counted byte sequences.
#pragma once

#include <limits>

#include "services/text_types.h"

namespace oc {

int bytesLength(const ByteSet& bytes);
// Bytes from the 1-based start (clipped into 1..length+1), at most n.
ByteSet midBytes(const ByteSet& bytes, int start, int n);
ByteSet zeroBytes(int n);

inline constexpr int kAllPieces = std::numeric_limits<int>::max();
// Cuts at each delimiter; an empty piece between touching delimiters is kept,
// a trailing empty piece is not. maxPieces below 1 gives no pieces.
ByteSetList splitBytes(const ByteSet& data,
                       const ByteSet& delimiter = ByteSet(std::string(1, '\0')),
                       int maxPieces = kAllPieces);

}  // namespace oc
