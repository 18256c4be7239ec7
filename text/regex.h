// A compiled byte-wise regular expression (Perl syntax) and the results of its
// searches. Results hold byte offsets into the searched text, never a copy.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "services/text_types.h"

namespace oc {

struct MatchSpan {
    std::int32_t start = 0;   // 0-based offset from the first byte of the whole text
    std::int32_t length = 0;  // bytes
    bool matched = false;     // false for a group that took no part in the match
};

// Span 0 is the whole match, span k is group k. Empty means "no match".
class RegexMatch {
public:
    RegexMatch() = default;
    explicit RegexMatch(std::vector<MatchSpan> spans) : spans_(std::move(spans)) {}

    bool empty() const { return spans_.empty(); }
    const std::vector<MatchSpan>& spans() const { return spans_; }

    // The bytes of span 0 / span `group` cut from `source`, the text that was searched.
    Text matchText(const Text& source) const;
    Text groupText(const Text& source, int group) const;

private:
    std::vector<MatchSpan> spans_;
};

using RegexMatchList = std::vector<RegexMatch>;

class Regex {
public:
    Regex();
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    // False, with the previous pattern kept, when the engine rejects the pattern.
    bool compile(const Text& pattern, bool caseSensitive = true);
    bool hasPattern() const;

    // The first match in the byte range [start, start + length) (1-based start;
    // a negative length means up to the end of the text).
    RegexMatch search(const Text& text, int start = 1, int length = -1) const;
    // All successive non-overlapping matches, left to right.
    RegexMatchList searchAll(const Text& text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Compiles `pattern` without regard to case and lists every match of `text` in
// `matches`. Answers the count in decimal or one of the fixed messages.
Text findAllMatches(const Text& pattern, const Text& text, RegexMatchList& matches);

}  // namespace oc
