// The stream component ("adodb.stream"), as far as charset decoding needs it:
// Type (1 bytes, 2 text), Mode, Charset, Position, Size, Open, Write (a byte
// array), ReadText and Close. ReadText decodes the bytes from the current
// position to the end in the charset, every invalid sequence becoming U+FFFD,
// and gives at most the number of characters asked for (all by default).
#pragma once

#include "text/variant.h"

namespace oc {

ComponentRef makeStreamComponent();

}  // namespace oc
