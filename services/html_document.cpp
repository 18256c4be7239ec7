#include "services/html_document.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/xpath.h>
#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>

#include "services/boundary_text.h"

namespace oc {
namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct XPathContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
struct XmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// What the parser callbacks record while the tree is built.
struct SpanRecorder {
    startElementSAXFunc buildStart = nullptr;
    endElementSAXFunc buildEnd = nullptr;
    std::vector<ElementSpan> spans;  // indexed by the number kept in each node
};

xmlNode* nodeOf(HtmlElement element) {
    return static_cast<xmlNode*>(const_cast<void*>(element.node));
}

// Where the parser stands in the input bytes: the input is UTF-8 and is never
// converted, so this counts the caller's bytes.
std::size_t inputOffset(xmlParserCtxt* parser) {
    const xmlParserInput* input = parser->input;
    return static_cast<std::size_t>(input->consumed) +
           static_cast<std::size_t>(input->cur - input->base);
}

void onStartElement(void* context, const xmlChar* name, const xmlChar** attributes) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    auto* recorder = static_cast<SpanRecorder*>(parser->_private);
    xmlNode* before = parser->node;
    recorder->buildStart(context, name, attributes);
    if (parser->node != nullptr && parser->node != before) {
        // The node keeps its index + 1 (0: no span recorded).
        recorder->spans.push_back({inputOffset(parser), SIZE_MAX});
        parser->node->_private = reinterpret_cast<void*>(recorder->spans.size());
    }
}

void onEndElement(void* context, const xmlChar* name) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    auto* recorder = static_cast<SpanRecorder*>(parser->_private);
    if (xmlNode* node = parser->node; node != nullptr && node->_private != nullptr) {
        auto index = reinterpret_cast<std::size_t>(node->_private) - 1;
        if (index < recorder->spans.size() && recorder->spans[index].close == SIZE_MAX) {
            recorder->spans[index].close = inputOffset(parser);
        }
    }
    recorder->buildEnd(context, name);
}

}  // namespace

struct HtmlDocument::Impl {
    std::unique_ptr<xmlDoc, DocFree> doc;
    std::unique_ptr<xmlXPathContext, XPathContextFree> xpath;
    std::vector<ElementSpan> spans;
    std::size_t inputSize = 0;
};

namespace {

// The caller's bytes, handed to the parser as it asks for them.
struct ByteSource {
    std::string_view rest;
};

int readBytes(void* context, char* buffer, int length) {
    auto* source = static_cast<ByteSource*>(context);
    const std::size_t count = std::min(source->rest.size(), static_cast<std::size_t>(length));
    std::memcpy(buffer, source->rest.data(), count);
    source->rest.remove_prefix(count);
    return static_cast<int>(count);
}

// A parser that reads the bytes from where they lie a few kilobytes at a time,
// so no copy of the whole text is made (libxml2's buffers over static memory
// read past their end in this library version). Null when it cannot be set up.
htmlParserCtxt* newParser(ByteSource& source) {
    htmlParserCtxt* parser = htmlNewParserCtxt();
    if (parser == nullptr) {
        return nullptr;
    }
    xmlParserInputBuffer* buffer =
        xmlParserInputBufferCreateIO(readBytes, nullptr, &source, XML_CHAR_ENCODING_NONE);
    // The start is in the buffer before the parser looks at it, as with a text
    // handed over whole: a byte order mark is seen at once.
    if (buffer != nullptr && xmlParserInputBufferRead(buffer, 4000) < 0) {
        xmlFreeParserInputBuffer(buffer);
        buffer = nullptr;
    }
    xmlParserInput* input =
        buffer != nullptr ? xmlNewIOInputStream(parser, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
    if (input == nullptr) {
        if (buffer != nullptr) {
            xmlFreeParserInputBuffer(buffer);
        }
        htmlFreeParserCtxt(parser);
        return nullptr;
    }
    if (inputPush(parser, input) < 0) {  // the input is freed then
        htmlFreeParserCtxt(parser);
        return nullptr;
    }
    return parser;
}

}  // namespace

HtmlDocument::HtmlDocument(std::string_view utf8) : impl_(std::make_unique<Impl>()) {
    // The library sets up its global tables once, before any thread parses.
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        xmlInitParser();
        // Pages nest far deeper than the library's 256 levels (a result inside
        // a thousand wrappers keeps its place); the bound still ends a page
        // built to nest without end, its rest then left unparsed.
        xmlParserMaxDepth = kMaxHtmlDepth;
    });
    impl_->inputSize = utf8.size();
    if (utf8.empty() || utf8.size() > INT_MAX || !isValidUtf8(utf8)) {
        return;
    }
    ByteSource source{utf8};
    htmlParserCtxt* parser = newParser(source);
    if (parser == nullptr) {
        return;
    }
    // Declared UTF-8 from the start: no guessing, no switch on a meta charset,
    // so the input is read as it is and offsets stay the caller's.
    xmlSwitchEncoding(parser, XML_CHAR_ENCODING_UTF8);
    htmlCtxtUseOptions(parser, HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                   HTML_PARSE_RECOVER | HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT);
    SpanRecorder recorder;
    recorder.buildStart = parser->sax->startElement;
    recorder.buildEnd = parser->sax->endElement;
    parser->sax->startElement = onStartElement;
    parser->sax->endElement = onEndElement;
    parser->_private = &recorder;
    htmlParseDocument(parser);
    impl_->doc.reset(parser->myDoc);
    parser->myDoc = nullptr;
    htmlFreeParserCtxt(parser);
    if (!impl_->doc) {
        return;
    }
    // Elements the parser never closed end with the input.
    for (ElementSpan& span : recorder.spans) {
        if (span.close == SIZE_MAX) {
            span.close = utf8.size();
        }
    }
    impl_->spans = std::move(recorder.spans);
    impl_->xpath.reset(xmlXPathNewContext(impl_->doc.get()));
}

HtmlDocument::~HtmlDocument() = default;

bool HtmlDocument::ok() const {
    return impl_->doc && impl_->xpath;
}

namespace {

// The nodes an expression selects, in document order, each handed to `take`.
template <typename Take>
void forEachSelected(xmlDoc* doc, xmlXPathContext* xp, std::string_view xpath, xmlNode* context,
                     Take take) {
    std::string expression(xpath);
    xp->node = context != nullptr ? context : xmlDocGetRootElement(doc);
    std::unique_ptr<xmlXPathObject, XPathObjectFree> result(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), xp));
    if (!result || result->type != XPATH_NODESET || result->nodesetval == nullptr) {
        return;
    }
    const xmlNodeSet* nodes = result->nodesetval;
    for (int i = 0; i < nodes->nodeNr; ++i) {
        if (nodes->nodeTab[i] != nullptr) {
            take(nodes->nodeTab[i]);
        }
    }
}

}  // namespace

std::vector<HtmlElement> HtmlDocument::select(std::string_view xpath, HtmlElement context) const {
    std::vector<HtmlElement> out;
    if (ok()) {
        forEachSelected(impl_->doc.get(), impl_->xpath.get(), xpath,
                        context ? nodeOf(context) : nullptr, [&out](xmlNode* node) {
                            if (node->type == XML_ELEMENT_NODE) {
                                out.push_back(HtmlElement{node});
                            }
                        });
    }
    return out;
}

std::vector<std::string> HtmlDocument::selectTexts(std::string_view xpath) const {
    std::vector<std::string> out;
    if (ok()) {
        forEachSelected(
            impl_->doc.get(), impl_->xpath.get(), xpath, nullptr, [&out](xmlNode* node) {
                std::unique_ptr<xmlChar, XmlCharFree> value(xmlNodeGetContent(node));
                out.emplace_back(value ? reinterpret_cast<const char*>(value.get()) : "");
            });
    }
    return out;
}

HtmlElement HtmlDocument::selectFirst(std::string_view xpath, HtmlElement context) const {
    std::vector<HtmlElement> found = select(xpath, context);
    return found.empty() ? HtmlElement{} : found.front();
}

std::string HtmlDocument::attribute(HtmlElement element, std::string_view name) const {
    if (!element) {
        return {};
    }
    std::string key(name);
    std::unique_ptr<xmlChar, XmlCharFree> value(
        xmlGetProp(nodeOf(element), reinterpret_cast<const xmlChar*>(key.c_str())));
    return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

std::string HtmlDocument::text(HtmlElement element) const {
    if (!element) {
        return {};
    }
    std::unique_ptr<xmlChar, XmlCharFree> value(xmlNodeGetContent(nodeOf(element)));
    return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

HtmlElement HtmlDocument::parent(HtmlElement element) const {
    if (!element) {
        return {};
    }
    xmlNode* up = nodeOf(element)->parent;
    return up != nullptr && up->type == XML_ELEMENT_NODE ? HtmlElement{up} : HtmlElement{};
}

ElementSpan HtmlDocument::span(HtmlElement element) const {
    if (!element) {
        return {};
    }
    auto index = reinterpret_cast<std::size_t>(nodeOf(element)->_private);
    if (index == 0 || index > impl_->spans.size()) {
        return {impl_->inputSize, impl_->inputSize};
    }
    return impl_->spans[index - 1];
}

std::string collapseWhiteSpace(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    bool pendingSpace = false;
    for (std::size_t i = 0; i < utf8.size();) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        std::size_t width = 0;
        if (byte == ' ' || (byte >= 0x09 && byte <= 0x0D)) {
            width = 1;
        } else if (byte == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) == 0xA0) {
            width = 2;  // no-break space, as &nbsp; gives it
        }
        if (width > 0) {
            pendingSpace = !out.empty();
            i += width;
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out += utf8[i++];
    }
    return out;
}

}  // namespace oc
