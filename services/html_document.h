// A parsed HTML page (libxml2's tolerant HTML parser, no network access) with
// XPath queries and, for every element, where it stands in the parsed bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace oc {

// An element of an HtmlDocument; valid while the document lives. Null: none.
struct HtmlElement {
    const void* node = nullptr;
    explicit operator bool() const { return node != nullptr; }
    friend bool operator==(HtmlElement, HtmlElement) = default;
};

// Byte offsets into the parsed UTF-8 text: `open` at the ">" (or "/>") that
// ends the element's start tag, `close` just after its end tag, or where the parser
// closed it (before the tag that implied the close, or at the end of input).
struct ElementSpan {
    std::size_t open = 0;
    std::size_t close = 0;
};

// How deep elements may nest before the parser stops: far beyond any real
// page, and still a bound for one built to nest without end.
inline constexpr unsigned kMaxHtmlDepth = 4096;

class HtmlDocument {
  public:
    // Parses UTF-8 bytes as HTML, whatever encoding the page declares. Broken
    // markup is repaired as browsers do; ok() is false only when nothing could
    // be parsed (for example invalid UTF-8 or an empty text).
    explicit HtmlDocument(std::string_view utf8);
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    bool ok() const;

    // The elements an XPath 1.0 expression selects, in document order;
    // relative to `context` when given. Empty for a bad expression.
    std::vector<HtmlElement> select(std::string_view xpath, HtmlElement context = {}) const;
    HtmlElement selectFirst(std::string_view xpath, HtmlElement context = {}) const;

    // The text of every node an XPath 1.0 expression selects, of any kind (text
    // nodes too), entities decoded, in document order.
    std::vector<std::string> selectTexts(std::string_view xpath) const;
    // An attribute's value with entities decoded; empty when absent.
    std::string attribute(HtmlElement element, std::string_view name) const;
    // The text of the element and its descendants, entities decoded, tags dropped.
    std::string text(HtmlElement element) const;
    HtmlElement parent(HtmlElement element) const;
    ElementSpan span(HtmlElement element) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Runs of white space (ASCII and the no-break space) become one space; the ends are trimmed.
std::string collapseWhiteSpace(std::string_view utf8);

}  // namespace oc
