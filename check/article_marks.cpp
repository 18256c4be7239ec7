#include "check/article_marks.h"

#include "services/text_ops.h"
#include "text/article_filters.h"

namespace oc {
namespace {

// Byte length of the character at `i` of a GBK (GB18030) text.
std::size_t charWidth(const Text& text, std::size_t i) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= text.size()) {
        return 1;
    }
    auto second = static_cast<unsigned char>(text[i + 1]);
    return second >= 0x30 && second <= 0x39 && i + 3 < text.size() ? 4 : 2;
}

}  // namespace

std::vector<std::optional<ArticleSpan>> locateSegments(const Text& article,
                                                       const std::vector<Text>& segments) {
    // The characters outside ASCII, as both ways of cutting keep them, with
    // where each kept byte came from; white space and ASCII are skipped on
    // both sides, so segments of either way are found alike.
    std::size_t lead = 0;
    while (lead < article.size() && isAsciiSpace(static_cast<unsigned char>(article[lead]))) {
        ++lead;
    }
    std::vector<std::size_t> origin;
    const Text prepared = keepNonAsciiChars(trim(article), true, &origin);

    std::vector<std::optional<ArticleSpan>> spans;
    std::size_t cursor = 0;    // where the next segment should begin in the prepared text
    std::size_t previous = 0;  // where the last one found began: windows may overlap it
    for (const Text& segment : segments) {
        const Text kept = keepNonAsciiChars(segment, true);
        std::size_t at = std::string::npos;
        if (!kept.empty() && prepared.compare(cursor, kept.size(), kept) == 0) {
            at = cursor;
        } else if (!kept.empty()) {
            int found = findText(prepared, kept, static_cast<int>(previous) + 1);
            at = found > 0 ? static_cast<std::size_t>(found - 1) : std::string::npos;
        }
        if (at == std::string::npos) {
            spans.emplace_back();
            continue;
        }
        previous = at + charWidth(prepared, at);
        cursor = at + kept.size();
        spans.push_back(ArticleSpan{lead + origin[at], lead + origin[cursor - 1] + 1});
    }
    return spans;
}

std::vector<std::optional<ArticleSpan>> displaySpans(
    const Text& article, const std::vector<std::optional<ArticleSpan>>& spans) {
    // units[i]: the code units before byte i (inside a character: before it).
    std::vector<std::size_t> units(article.size() + 1, 0);
    std::size_t count = 0;
    for (std::size_t i = 0; i < article.size();) {
        std::size_t width = charWidth(article, i);
        for (std::size_t k = 0; k < width; ++k) {
            units[i + k] = count;
        }
        bool crBeforeLf = article[i] == '\r' && i + 1 < article.size() && article[i + 1] == '\n';
        count += crBeforeLf ? 0 : width == 4 ? 2 : 1;
        i += width;
    }
    units[article.size()] = count;
    std::vector<std::optional<ArticleSpan>> out;
    for (const std::optional<ArticleSpan>& span : spans) {
        if (!span || span->end > article.size() || span->begin >= span->end) {
            out.emplace_back();
            continue;
        }
        out.push_back(ArticleSpan{units[span->begin], units[span->end]});
    }
    return out;
}

}  // namespace oc
