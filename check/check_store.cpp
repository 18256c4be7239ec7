#include "check/check_store.h"

#include <algorithm>
#include <chrono>

#include "services/boundary_text.h"

namespace oc {
namespace {

constexpr std::size_t kTitleChars = 40;

bool isLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The line without the spaces (ASCII and the ideographic space) around it.
std::string_view trimmed(std::string_view line) {
    static constexpr std::string_view ideographicSpace = "\u3000";
    for (bool changed = true; changed;) {
        changed = false;
        while (!line.empty() && isLineSpace(line.front())) {
            line.remove_prefix(1);
            changed = true;
        }
        while (!line.empty() && isLineSpace(line.back())) {
            line.remove_suffix(1);
            changed = true;
        }
        if (line.starts_with(ideographicSpace)) {
            line.remove_prefix(ideographicSpace.size());
            changed = true;
        }
        if (line.ends_with(ideographicSpace)) {
            line.remove_suffix(ideographicSpace.size());
            changed = true;
        }
    }
    return line;
}

}  // namespace

StoreTime storeTimeNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string checkTitle(const std::string& articleUtf8) {
    std::string_view rest = articleUtf8;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty()) {
            continue;
        }
        std::size_t at = 0;
        for (std::size_t chars = 0; at < line.size() && chars < kTitleChars; ++chars) {
            at += std::max<std::size_t>(1, utf8SequenceAt(line, at));
        }
        return std::string(line.substr(0, std::min(at, line.size())));
    }
    return {};
}

const char* statusJsonName(SegmentStatus status) {
    switch (status) {
        case SegmentStatus::Hit:
            return "hit";
        case SegmentStatus::Original:
            return "original";
        case SegmentStatus::Unverified:
            break;
    }
    return "unverified";
}

SegmentStatus statusFromJsonName(const std::string& name) {
    for (SegmentStatus status : {SegmentStatus::Hit, SegmentStatus::Original}) {
        if (name == statusJsonName(status)) {
            return status;
        }
    }
    return SegmentStatus::Unverified;
}

}  // namespace oc
