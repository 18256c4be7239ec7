#include "check/ignore_list.h"

#include <algorithm>

#include "services/ascii_case.h"
#include "services/boundary_text.h"
#include "services/url_parts.h"

namespace oc {
namespace {

// The separators of a list, as UTF-8.
bool separatorAt(const std::string& text, std::size_t i, std::size_t& width) {
    static const std::string kWide[] = {"，", "、", "；"};
    char c = text[i];
    if (c == ' ' || c == ',' || c == ';' || (c >= 0x09 && c <= 0x0D)) {
        width = 1;
        return true;
    }
    for (const std::string& wide : kWide) {
        if (text.compare(i, wide.size(), wide) == 0) {
            width = wide.size();
            return true;
        }
    }
    return false;
}

// The entries of a list as written, in order, without their separators (UTF-8).
std::vector<std::string> splitEntries(const Text& entries) {
    const std::string text = utf8FromGbk(entries);
    std::vector<std::string> out;
    std::size_t start = 0;
    auto take = [&](std::size_t end) {
        if (end > start) {
            out.push_back(text.substr(start, end - start));
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        std::size_t width = 0;
        if (separatorAt(text, i, width)) {
            take(i);
            i += width;
            start = i;
        } else {
            ++i;
        }
    }
    take(text.size());
    return out;
}

// Letters, digits, "-", "_", "." and ":" (an IPv6 address), or any character
// beyond ASCII (an internationalised name).
bool hostNameByte(unsigned char c) {
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == ':';
}

}  // namespace

std::string normaliseIgnoreEntry(std::string entry) {
    entry = lowerAscii(std::move(entry));
    if (std::size_t scheme = entry.find("://"); scheme != std::string::npos) {
        entry.erase(0, scheme + 3);
    }
    entry = entry.substr(0, entry.find_first_of("/?#"));
    if (std::size_t at = entry.rfind('@'); at != std::string::npos) {
        entry.erase(0, at + 1);
    }
    if (!entry.empty() && entry.front() == '[') {
        entry = entry.substr(
            1, entry.find(']') == std::string::npos ? std::string::npos : entry.find(']') - 1);
    } else if (std::count(entry.begin(), entry.end(), ':') == 1) {
        entry.erase(entry.find(':'));  // a port
    }
    if (entry.rfind("*.", 0) == 0) {
        entry.erase(0, 2);
    }
    while (!entry.empty() && entry.front() == '.') {
        entry.erase(0, 1);
    }
    while (!entry.empty() && entry.back() == '.') {
        entry.pop_back();
    }
    return entry;
}

void IgnoreList::add(const Text& entries) {
    for (const std::string& entry : splitEntries(entries)) {
        std::string domain = normaliseIgnoreEntry(entry);
        if (!domain.empty() &&
            std::find(domains_.begin(), domains_.end(), domain) == domains_.end()) {
            domains_.push_back(std::move(domain));
        }
    }
}

std::vector<std::string> unusableIgnoreEntries(const Text& entries) {
    std::vector<std::string> unusable;
    for (const std::string& entry : splitEntries(entries)) {
        const std::string domain = normaliseIgnoreEntry(entry);
        if (domain.empty() || !std::all_of(domain.begin(), domain.end(), [](char c) {
                return hostNameByte(static_cast<unsigned char>(c));
            })) {
            unusable.push_back(entry);
        }
    }
    return unusable;
}

bool IgnoreList::matches(const std::string& host) const {
    if (host.empty()) {
        return false;
    }
    const bool ip = isIpAddress(host);
    for (const std::string& domain : domains_) {
        if (host == domain) {
            return true;
        }
        if (!ip && host.size() > domain.size() &&
            host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
            host[host.size() - domain.size() - 1] == '.') {
            return true;
        }
    }
    return false;
}

}  // namespace oc
