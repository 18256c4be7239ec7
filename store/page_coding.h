// A remembered result page as the bytes the store keeps (CBOR).
#pragma once

#include <optional>
#include <string>

#include "check/cached_page.h"

namespace oc::store {

std::string encodePage(const CachedPage& page);
// Nothing when the bytes are no page this version wrote.
std::optional<CachedPage> decodePage(const std::string& bytes);

}  // namespace oc::store
