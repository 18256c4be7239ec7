// Reading addresses found on web pages: making a link absolute, and its host.
#pragma once

#include <string>

namespace oc {

// `reference` resolved against `base` as a browser resolves a link (an
// absolute reference stays as it is). Empty when neither gives a valid URL.
std::string resolveUrl(const std::string& base, const std::string& reference);

// The host of an absolute URL: lower-case, without user info, port, IPv6
// brackets or trailing dot. Empty when the URL has no host or does not parse.
std::string urlHost(const std::string& url);

// True for an http or https URL with a host: the only addresses a window or a
// report offers as links.
bool isWebAddress(const std::string& url);

// The path of an absolute URL, without its query string and fragment. Empty
// when the URL does not parse.
std::string urlPath(const std::string& url);

// True when the host is an IPv4 or IPv6 address rather than a name.
bool isIpAddress(const std::string& host);

}  // namespace oc
