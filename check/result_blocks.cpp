#include "check/result_blocks.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <unordered_set>

#include "services/encoding.h"
#include "services/html_document.h"
#include "services/url_parts.h"

namespace oc {
namespace {

// Attribute values lose their leading and trailing white space only.
std::string trimmed(const std::string& text) {
    const char* space = " \t\r\n\f\v";
    std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// Byte length of the character at `p`: UTF-8 and GB18030.
std::size_t utf8Width(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}
std::size_t gb18030Width(std::string_view text, std::size_t p) {
    auto lead = static_cast<unsigned char>(text[p]);
    if (lead < 0x81 || p + 1 >= text.size()) {
        return 1;
    }
    auto second = static_cast<unsigned char>(text[p + 1]);
    return second >= 0x30 && second <= 0x39 ? 4 : 2;
}

// Turns UTF-8 offsets of the parsed text into offsets of the page text, both
// being the same characters, by walking the two texts side by side once.
class OffsetMapper {
  public:
    OffsetMapper(std::string_view utf8, std::string_view page) : utf8_(utf8), page_(page) {}
    void want(std::size_t utf8Offset) { wanted_.insert(utf8Offset); }
    void run() {
        std::size_t u = 0;
        std::size_t g = 0;
        for (std::size_t target : wanted_) {
            while (u < target && u < utf8_.size() && g < page_.size()) {
                u += utf8Width(static_cast<unsigned char>(utf8_[u]));
                g += gb18030Width(page_, g);
            }
            found_.push_back({target, u >= target ? g : page_.size()});
        }
    }
    std::size_t operator()(std::size_t utf8Offset) const {
        auto it = std::lower_bound(found_.begin(), found_.end(), utf8Offset,
                                   [](const std::pair<std::size_t, std::size_t>& f, std::size_t v) {
                                       return f.first < v;
                                   });
        return it == found_.end() ? page_.size() : it->second;
    }

  private:
    std::string_view utf8_;
    std::string_view page_;
    std::set<std::size_t> wanted_;
    std::vector<std::pair<std::size_t, std::size_t>> found_;
};

// The first element the expression selects whose nearest enclosing block is
// `block` itself, so a nested block's title is not taken for its parent's.
HtmlElement ownElement(const HtmlDocument& doc, const char* xpath, HtmlElement block,
                       const std::unordered_set<const void*>& blocks) {
    for (HtmlElement candidate : doc.select(xpath, block)) {
        HtmlElement up = doc.parent(candidate);
        while (up && up != block && blocks.count(up.node) == 0) {
            up = doc.parent(up);
        }
        if (up == block) {
            return candidate;
        }
    }
    return {};
}

std::string nonBlank(const HtmlDocument& doc, HtmlElement element, const char* attribute) {
    if (attribute == nullptr || !element) {
        return {};
    }
    return trimmed(doc.attribute(element, attribute));
}

}  // namespace

std::vector<ResultBlock> findResultBlocks(std::string_view pageText, const ResultBlockForm& form,
                                          const std::string& pageUrl) {
    return findResultBlocks(pageText, form, pageUrl, nullptr);
}

std::vector<ResultBlock> findResultBlocks(std::string_view pageText, const ResultBlockForm& form,
                                          const std::string& pageUrl,
                                          const std::vector<std::size_t>* described,
                                          std::string_view pageUtf8, bool* cut) {
    std::vector<ResultBlock> out;
    if (cut != nullptr) {
        *cut = false;
    }
    std::string converted;
    if (pageUtf8.empty()) {
        // Room for the whole text at once: a GB18030 character never takes more
        // than half as many bytes again in UTF-8.
        converted.reserve(pageText.size() + pageText.size() / 2 + 4);
        if (!appendConverted(pageText, "GB18030", "UTF-8", converted)) {
            return out;
        }
        pageUtf8 = converted;
    }
    if (pageUtf8.empty()) {
        return out;
    }
    HtmlDocument doc(pageUtf8);
    std::vector<HtmlElement> elements = doc.select(form.blockXPath);
    if (elements.empty()) {
        return out;
    }
    // Every block stays one for the blocks around it, listed or not.
    std::unordered_set<const void*> blockNodes;
    for (HtmlElement element : elements) {
        blockNodes.insert(element.node);
    }
    if (elements.size() > kMaxResultBlocks) {
        elements.resize(kMaxResultBlocks);
        if (cut != nullptr) {
            *cut = true;
        }
    }
    // Where each block stands in the page text.
    OffsetMapper mapper(pageUtf8, pageText);
    std::vector<ElementSpan> spans;
    spans.reserve(elements.size());
    for (HtmlElement element : elements) {
        spans.push_back(doc.span(element));
        mapper.want(spans.back().open);
        mapper.want(spans.back().close);
    }
    mapper.run();
    out.resize(elements.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i].open = mapper(spans[i].open);
        out[i].close = mapper(spans[i].close);
    }
    // Title and address of every block, or only of those holding an offset asked about.
    std::vector<bool> describe(out.size(), described == nullptr);
    if (described != nullptr) {
        for (int index : blocksHolding(out, *described)) {
            if (index >= 0) {
                describe[static_cast<std::size_t>(index)] = true;
            }
        }
    }
    const std::string engineHost = urlHost(pageUrl);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (!describe[i]) {
            continue;
        }
        const HtmlElement element = elements[i];
        ResultBlock& block = out[i];
        HtmlElement link = ownElement(doc, form.titleLinkXPath, element, blockNodes);
        HtmlElement titleElement =
            link ? link : ownElement(doc, form.headingXPath, element, blockNodes);
        block.title = collapseWhiteSpace(doc.text(titleElement));
        block.address = nonBlank(doc, element, form.blockAddressAttribute);
        if (block.address.empty()) {
            block.address = nonBlank(doc, link, form.linkAddressAttribute);
        }
        if (block.address.empty()) {
            std::string href = nonBlank(doc, link, "href");
            std::string absolute = href.empty() ? href : resolveUrl(pageUrl, href);
            block.address = absolute.empty() ? href : absolute;
        }
        std::string host = urlHost(block.address);
        block.domain = host == engineHost ? std::string() : host;
    }
    return out;
}

int blockHolding(const std::vector<ResultBlock>& blocks, std::size_t offset) {
    return blocksHolding(blocks, {offset}).front();
}

std::vector<int> blocksHolding(const std::vector<ResultBlock>& blocks,
                               const std::vector<std::size_t>& offsets) {
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (!std::is_sorted(offsets.begin(), offsets.end())) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
    }
    std::vector<int> holders(offsets.size(), -1);
    // The blocks open at the current offset, each inside the one below it:
    // blocks nest or lie apart, so the top is the innermost.
    std::vector<std::size_t> open;
    std::size_t next = 0;
    auto closeBefore = [&](std::size_t at) {
        while (!open.empty() && blocks[open.back()].close <= at) {
            open.pop_back();
        }
    };
    for (std::size_t i : order) {
        const std::size_t offset = offsets[i];
        for (; next < blocks.size() && blocks[next].open <= offset; ++next) {
            closeBefore(blocks[next].open);
            open.push_back(next);
        }
        closeBefore(offset);
        if (!open.empty()) {
            holders[i] = static_cast<int>(open.back());
        }
    }
    return holders;
}

}  // namespace oc
