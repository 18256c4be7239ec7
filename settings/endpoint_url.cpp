#include "settings/endpoint_url.h"

#include <string_view>

#include "services/ascii_case.h"

namespace oc {
namespace {

bool isAsciiLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHexDigitOrColon(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (foldAsciiCase(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool validHostName(std::string_view host) {
    if (host.empty() || host.front() == '.' || host.front() == '-' || host.back() == '-') {
        return false;
    }
    for (char c : host) {
        if (!isAsciiLetterOrDigit(c) && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

bool validPort(std::string_view port) {
    // A leading zero is refused: some read such a port as octal.
    if (port.empty() || port.size() > 5 || port.front() == '0') {
        return false;
    }
    int value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

bool validAuthority(std::string_view authority) {
    std::string_view host = authority;
    std::string_view port;
    bool hasPort = false;
    if (authority.starts_with('[')) {
        std::size_t close = authority.find(']');
        if (close == std::string_view::npos || close < 2) {
            return false;
        }
        for (char c : authority.substr(1, close - 1)) {
            if (!isHexDigitOrColon(c)) {
                return false;
            }
        }
        std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':')) {
            return false;
        }
        hasPort = !rest.empty();
        port = hasPort ? rest.substr(1) : rest;
    } else {
        std::size_t colon = authority.find(':');
        hasPort = colon != std::string_view::npos;
        host = authority.substr(0, colon);
        port = hasPort ? authority.substr(colon + 1) : std::string_view();
        if (!validHostName(host)) {
            return false;
        }
    }
    return !hasPort || validPort(port);
}

}  // namespace

Text baseUrlOrEmpty(const Text& url) {
    std::string_view text = url;
    std::size_t schemeLength = startsWithNoCase(text, "http://")    ? 7
                               : startsWithNoCase(text, "https://") ? 8
                                                                    : 0;
    if (schemeLength == 0) {
        return {};
    }
    std::string_view authority = text.substr(schemeLength);
    if (authority.ends_with('/')) {
        authority.remove_suffix(1);
    }
    return validAuthority(authority) ? Text(text.substr(0, schemeLength + authority.size()))
                                     : Text();
}

}  // namespace oc
