// What a reader sees of an HTML page: the visible text of its body, and the
// main text of an article page without its navigation and surroundings.
#pragma once

#include <string>
#include <string_view>

#include "services/html_document.h"

namespace oc {

struct HtmlText {
    std::string title;  // the <title>, white space collapsed; empty when it has none
    std::string text;   // UTF-8, one line per block; empty lines dropped
};

// The visible text of the page's body: scripts, styles and templates
// dropped, white space collapsed as a browser shows it, every block element
// (paragraph, heading, list item, table row, line break...) on lines of its own.
HtmlText visibleHtmlText(std::string_view utf8);

// The main text of a web page: the <article> element holding the most
// paragraph text if there is one, else the element holding the most paragraph
// text, else the body; navigation, headers, footers, asides and forms inside
// it dropped as well as what visibleHtmlText drops.
HtmlText mainHtmlText(std::string_view utf8);

// The page's bytes as UTF-8: as they are when they are UTF-8, else by the
// charset a meta tag declares (or the Content-Type header, when given), else
// by the encoding detected for an article (GB18030 for Chinese text).
std::string htmlPageUtf8(std::string_view bytes, std::string_view contentType = {});

}  // namespace oc
