// Base URLs of the search engines as the settings file may give them.
#pragma once

#include "services/text_types.h"

namespace oc {

// "http://host" or "https://host:port", with at most one "/" after it (which
// is dropped); the host is a name, an IPv4 address or a bracketed IPv6
// address. Anything else (a path, a query, user information, another scheme,
// a port outside 1..65535) gives empty.
Text baseUrlOrEmpty(const Text& url);

}  // namespace oc
