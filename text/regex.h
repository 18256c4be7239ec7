// A compiled byte-wise regular expression (Perl syntax) and the results of its
// searches. Results hold byte offsets into the searched text, never a copy.
#pragma once

#include <cstdint>
#include <limits>
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

// The default length of a search: up to the end of the text.
inline constexpr int kToEndOfText = std::numeric_limits<int>::min();

// Owns at most one compiled pattern. "." matches any byte (CR and LF too), "^"
// and "$" also match at inner line breaks, case folding touches A-Z/a-z only
// and bytes from 0x80 match only themselves, whatever the locale. A search that
// exceeds the engine's effort limits counts as no match; nothing throws.
class Regex {
  public:
    Regex();
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    // False, with the previous pattern kept, when the engine rejects the pattern.
    bool compile(const Text& pattern, bool caseSensitive = true);
    bool hasPattern() const;

    // The first match in the byte range [start, start + length) (1-based start).
    // Empty when start is outside the text or the range runs past its end; a
    // length of 0 or less leaves an empty range. The first byte of the range is
    // the beginning of the text for "^" and "\b"; offsets count from the start of
    // the whole text. Texts beyond 2 GB never match.
    RegexMatch search(const Text& text, int start = 1, int length = kToEndOfText) const;
    // All successive non-overlapping matches, left to right. Each search after a
    // match starts where it ended, one byte further after an empty match; that
    // byte is the beginning of the text for "^" and "\b". An empty match at the
    // very start ends the list. When the engine gives up, the matches found so far.
    RegexMatchList searchAll(const Text& text) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Compiles `pattern` without regard to case and lists every match of `text` in
// `matches`. Answers the count in decimal, or "错误：原文本为空" (matches untouched),
// "错误：正则创建失败，请检查正则表达式语句是否有误！" (matches untouched), or, with
// `matches` replaced by the empty list, "匹配失败，请检检查正则语句是否有误，数量：0".
Text findAllMatches(const Text& pattern, const Text& text, RegexMatchList& matches);

}  // namespace oc
