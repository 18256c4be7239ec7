#include "services/html_text.h"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "services/article_decoding.h"
#include "services/boundary_text.h"
#include "services/page_decoding.h"

namespace oc {
namespace {

bool nameIn(const xmlNode* node, std::initializer_list<const char*> names) {
    const char* name = reinterpret_cast<const char*>(node->name);
    return std::any_of(names.begin(), names.end(),
                       [name](const char* n) { return std::strcmp(name, n) == 0; });
}

bool isHidden(const xmlNode* node) {
    return nameIn(node, {"script", "style", "template", "noscript", "head", "title", "iframe",
                         "object", "svg", "select", "option", "button"});
}

bool isSurrounding(const xmlNode* node) {
    return nameIn(node, {"nav", "header", "footer", "aside", "form", "menu"});
}

bool isBlock(const xmlNode* node) {
    return nameIn(node, {"p",      "div",     "br",      "h1",         "h2",      "h3",
                         "h4",     "h5",      "h6",      "li",         "ul",      "ol",
                         "dl",     "dt",      "dd",      "table",      "tr",      "td",
                         "th",     "caption", "section", "article",    "main",    "blockquote",
                         "pre",    "hr",      "figure",  "figcaption", "address", "body",
                         "header", "footer",  "nav",     "aside",      "details", "summary"});
}

// Collects text nodes into lines: white space collapsed to one space, a line
// ended at every block boundary, lines of white space alone dropped.
class LineCollector {
  public:
    void add(std::string_view text) {
        for (char c : text) {
            const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
            if (blank) {
                pendingSpace_ = !line_.empty();
            } else {
                if (pendingSpace_) {
                    line_ += ' ';
                    pendingSpace_ = false;
                }
                line_ += c;
            }
        }
    }
    void endLine() {
        std::string trimmed = collapseWhiteSpace(line_);
        if (!trimmed.empty()) {
            text_.append(trimmed).append("\n");
        }
        line_.clear();
        pendingSpace_ = false;
    }
    std::string take() {
        endLine();
        return std::move(text_);
    }

  private:
    std::string text_;
    std::string line_;
    bool pendingSpace_ = false;
};

// The visible text under `root`, walked without recursion.
std::string blockText(const xmlNode* root, bool dropSurroundings) {
    LineCollector lines;
    const xmlNode* node = root;
    while (node != nullptr) {
        bool descend = false;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (node->content != nullptr) {
                lines.add(reinterpret_cast<const char*>(node->content));
            }
        } else if (node->type == XML_ELEMENT_NODE &&
                   !(isHidden(node) || (dropSurroundings && isSurrounding(node)))) {
            if (isBlock(node)) {
                lines.endLine();
            }
            descend = node->children != nullptr;
        }
        if (descend) {
            node = node->children;
            continue;
        }
        while (node != nullptr) {
            if (node->type == XML_ELEMENT_NODE && isBlock(node)) {
                lines.endLine();
            }
            if (node == root) {
                return lines.take();
            }
            if (node->next != nullptr) {
                node = node->next;
                break;
            }
            node = node->parent;
        }
    }
    return lines.take();
}

const xmlNode* nodeOf(HtmlElement element) {
    return static_cast<const xmlNode*>(element.node);
}

// Paragraph text held directly by each element's paragraphs, in characters
// (bytes of UTF-8 are enough to compare).
std::size_t paragraphBytes(const HtmlDocument& page, HtmlElement element) {
    std::size_t total = 0;
    for (HtmlElement p : page.select(".//p", element)) {
        total += collapseWhiteSpace(page.text(p)).size();
    }
    return total;
}

HtmlElement mainElement(const HtmlDocument& page) {
    HtmlElement best;
    std::size_t bestBytes = 0;
    for (HtmlElement article : page.select("//article")) {
        const std::size_t bytes = paragraphBytes(page, article);
        if (!best || bytes > bestBytes) {
            best = article;
            bestBytes = bytes;
        }
    }
    if (best) {
        return best;
    }
    std::map<const void*, std::size_t> byParent;
    for (HtmlElement p :
         page.select("//body//p[not(ancestor::nav or ancestor::header or ancestor::footer or "
                     "ancestor::aside or ancestor::form)]")) {
        HtmlElement parent = page.parent(p);
        if (parent) {
            byParent[parent.node] += collapseWhiteSpace(page.text(p)).size();
        }
    }
    for (const auto& [node, bytes] : byParent) {
        if (bytes > bestBytes) {
            best = HtmlElement{node};
            bestBytes = bytes;
        }
    }
    return best ? best : page.selectFirst("//body");
}

HtmlText pageText(std::string_view utf8, bool mainOnly) {
    HtmlText out;
    HtmlDocument page(utf8);
    if (!page.ok()) {
        return out;
    }
    out.title = collapseWhiteSpace(page.text(page.selectFirst("//title")));
    HtmlElement root = mainOnly ? mainElement(page) : page.selectFirst("//body");
    if (root) {
        out.text = blockText(nodeOf(root), mainOnly);
    }
    return out;
}

}  // namespace

HtmlText visibleHtmlText(std::string_view utf8) {
    return pageText(utf8, false);
}

HtmlText mainHtmlText(std::string_view utf8) {
    return pageText(utf8, true);
}

std::string htmlPageUtf8(std::string_view bytes, std::string_view contentType) {
    std::string utf8;
    if (appendPageUtf8(bytes, contentType, utf8)) {
        return utf8;
    }
    return utf8FromGbk(decodeArticle(bytes).text);
}

}  // namespace oc
