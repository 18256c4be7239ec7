#include "check/check_store.h"

#include <algorithm>
#include <chrono>
#include <ctime>

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

namespace {

std::string formatted(StoreTime time, const char* format) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    char text[64];
    const std::size_t size = std::strftime(text, sizeof text, format, &local);
    return std::string(text, size);
}

}  // namespace

std::string isoTimeOf(StoreTime time) {
    const std::string text = formatted(time, "%Y-%m-%dT%H:%M:%S%z");
    // strftime gives the offset as +0800; ISO 8601's extended form is +08:00.
    if (text.size() < 5) {
        return text;
    }
    const std::size_t minutes = text.size() - 2;
    return text.substr(0, minutes) + ":" + text.substr(minutes);
}

std::string shownTimeOf(StoreTime time) {
    return formatted(time, "%Y-%m-%d %H:%M");
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
        case SegmentStatus::Skipped:
            return "skipped";
        case SegmentStatus::Unverified:
            break;
    }
    return "unverified";
}

SegmentStatus statusFromJsonName(const std::string& name) {
    for (SegmentStatus status :
         {SegmentStatus::Hit, SegmentStatus::Original, SegmentStatus::Skipped}) {
        if (name == statusJsonName(status)) {
            return status;
        }
    }
    return SegmentStatus::Unverified;
}

}  // namespace oc

namespace oc {

int StoredBatch::unfinished() const {
    int count = 0;
    for (const StoredBatchItem& item : items) {
        count += item.finished ? 0 : 1;
    }
    return count;
}

}  // namespace oc
