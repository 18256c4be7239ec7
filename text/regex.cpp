#include "text/regex.h"

#include <boost/regex.hpp>
#include <cstddef>
#include <exception>
#include <locale>
#include <string>

namespace oc {

namespace {

// 错误：原文本为空
const char kEmptyTextAnswer[] = "\xB4\xED\xCE\xF3\xA3\xBA\xD4\xAD\xCE\xC4\xB1\xBE\xCE\xAA\xBF\xD5";
// 错误：正则创建失败，请检查正则表达式语句是否有误！
const char kBadPatternAnswer[] =
    "\xB4\xED\xCE\xF3\xA3\xBA\xD5\xFD\xD4\xF2\xB4\xB4\xBD\xA8\xCA\xA7\xB0\xDC\xA3\xAC\xC7\xEB\xBC"
    "\xEC\xB2\xE9\xD5\xFD\xD4\xF2\xB1\xED\xB4\xEF\xCA\xBD\xD3\xEF\xBE\xE4\xCA\xC7\xB7\xF1\xD3\xD0"
    "\xCE\xF3\xA3\xA1";
// 匹配失败，请检检查正则语句是否有误，数量：0
const char kNoMatchAnswer[] =
    "\xC6\xA5\xC5\xE4\xCA\xA7\xB0\xDC\xA3\xAC\xC7\xEB\xBC\xEC\xBC\xEC\xB2\xE9\xD5\xFD\xD4\xF2\xD3"
    "\xEF\xBE\xE4\xCA\xC7\xB7\xF1\xD3\xD0\xCE\xF3\xA3\xAC\xCA\xFD\xC1\xBF\xA3\xBA\x30";

// Offsets in results are signed 32-bit; longer texts are never searched.
bool searchable(const Text& text) {
    return text.size() <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

// The first match in [first, last), where `first` is the beginning of the text
// for "^" and "\b"; spans are counted from `origin`. The engine giving up
// (effort or memory limits) is no match.
RegexMatch searchRange(const boost::regex& pattern, const char* origin, const char* first,
                       const char* last) {
    boost::cmatch found;
    try {
        if (!boost::regex_search(first, last, found, pattern)) {
            return {};
        }
    } catch (const std::exception&) {
        return {};
    }
    std::vector<MatchSpan> spans;
    spans.reserve(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        const boost::csub_match& group = found[static_cast<int>(i)];
        if (!group.matched) {
            spans.push_back(MatchSpan{});
            continue;
        }
        spans.push_back(MatchSpan{static_cast<std::int32_t>(group.first - origin),
                                  static_cast<std::int32_t>(group.length()), true});
    }
    return RegexMatch(std::move(spans));
}

}  // namespace

Text RegexMatch::matchText(const Text& source) const {
    return groupText(source, 0);
}

Text RegexMatch::groupText(const Text& source, int group) const {
    if (group < 0 || static_cast<std::size_t>(group) >= spans_.size()) {
        return {};
    }
    const MatchSpan& span = spans_[static_cast<std::size_t>(group)];
    if (!span.matched || span.start < 0 || span.length <= 0) {
        return {};
    }
    auto start = static_cast<std::size_t>(span.start);
    auto length = static_cast<std::size_t>(span.length);
    if (start > source.size() || length > source.size() - start) {
        return {};  // not the text that was searched: never read outside it
    }
    return source.substr(start, length);
}

struct Regex::Impl {
    boost::regex pattern;
};

Regex::Regex() : impl_(std::make_unique<Impl>()) {}
Regex::~Regex() = default;

bool Regex::compile(const Text& pattern, bool caseSensitive) {
    auto flags = boost::regex::perl | boost::regex::mod_s;
    if (!caseSensitive) {
        flags |= boost::regex::icase;
    }
    boost::regex fresh;
    // The classic locale folds and classifies ASCII only, whatever locale the
    // program (or the window toolkit) has switched to.
    fresh.imbue(std::locale::classic());
    try {
        fresh.assign(pattern.c_str(), flags);
    } catch (const std::exception&) {
        return false;
    }
    impl_->pattern.swap(fresh);
    return true;
}

bool Regex::hasPattern() const {
    return !impl_->pattern.empty();
}

RegexMatch Regex::search(const Text& text, int start, int length) const {
    const auto n = static_cast<std::int64_t>(text.size());
    const std::int64_t first = start;
    const std::int64_t count = length == kToEndOfText ? n - first + 1 : length;
    if (first < 1 || first > n || first + count > n + 1 || !searchable(text) || !hasPattern()) {
        return {};
    }
    const char* origin = text.data();
    const char* from = origin + (first - 1);
    const char* to = count > 0 ? from + count : from;
    return searchRange(impl_->pattern, origin, from, to);
}

RegexMatchList Regex::searchAll(const Text& text) const {
    RegexMatchList found;
    if (text.empty() || !searchable(text) || !hasPattern()) {
        return found;
    }
    const char* origin = text.data();
    const char* end = origin + text.size();
    std::size_t from = 0;
    while (from <= text.size()) {
        RegexMatch match = searchRange(impl_->pattern, origin, origin + from, end);
        if (match.empty()) {
            break;
        }
        const MatchSpan whole = match.spans().front();
        const auto matchEnd =
            static_cast<std::size_t>(whole.start) + static_cast<std::size_t>(whole.length);
        found.push_back(std::move(match));
        if (matchEnd == 0) {
            break;  // an empty match at the very start ends the search
        }
        // Past an empty match by one byte, or the same empty match comes back.
        from = whole.length == 0 ? matchEnd + 1 : matchEnd;
    }
    return found;
}

Text findAllMatches(const Text& pattern, const Text& text, RegexMatchList& matches) {
    if (text.empty()) {
        return kEmptyTextAnswer;
    }
    Regex regex;
    if (!regex.compile(pattern, false)) {
        return kBadPatternAnswer;
    }
    matches = regex.searchAll(text);
    if (matches.empty()) {
        return kNoMatchAnswer;
    }
    return std::to_string(matches.size());
}

}  // namespace oc

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define OC_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__) || defined(OC_THREAD_SANITIZER)
// Boost.Regex hands the blocks of its matching stack from thread to thread
// through a lock-free cache inside its (uninstrumented) shared library, which the
// thread sanitizer cannot see and reports as races between two passes. In
// sanitizer builds every block comes from and goes back to the heap instead;
// either way a block is plain operator new memory, so mixing is safe.
namespace boost::BOOST_REGEX_DETAIL_NS {
void* BOOST_REGEX_CALL get_mem_block() {
    return ::operator new(BOOST_REGEX_BLOCKSIZE);
}
void BOOST_REGEX_CALL put_mem_block(void* block) {
    ::operator delete(block);
}
}  // namespace boost::BOOST_REGEX_DETAIL_NS
#endif
