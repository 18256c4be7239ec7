#include "check/ignore_list.h"

#include <algorithm>

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

}  // namespace

std::string normaliseIgnoreEntry(std::string entry) {
    for (char& c : entry) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
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
    const std::string text = utf8FromGbk(entries);
    std::size_t start = 0;
    auto take = [&](std::size_t end) {
        if (end > start) {
            std::string domain = normaliseIgnoreEntry(text.substr(start, end - start));
            if (!domain.empty() &&
                std::find(domains_.begin(), domains_.end(), domain) == domains_.end()) {
                domains_.push_back(std::move(domain));
            }
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
