#include "services/docx_text.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <cstring>
#include <memory>

namespace oc {
namespace {

constexpr const char* kWordNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

bool isWordElement(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->ns != nullptr && node->ns->href != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), kWordNamespace) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// The text of the document body, walked in document order without recursion.
std::string bodyText(const xmlNode* root) {
    std::string text;
    const xmlNode* node = root;
    while (node != nullptr) {
        bool descend = true;
        if (isWordElement(node, "t")) {
            for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
                if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
                    child->content != nullptr) {
                    text += reinterpret_cast<const char*>(child->content);
                }
            }
            descend = false;
        } else if (isWordElement(node, "tab")) {
            text += '\t';
        } else if (isWordElement(node, "br") || isWordElement(node, "cr")) {
            text += '\n';
        }
        if (descend && node->children != nullptr) {
            node = node->children;
            continue;
        }
        // Up until a sibling follows, ending every paragraph left on the way.
        while (node != nullptr) {
            if (isWordElement(node, "p")) {
                text += '\n';
            }
            if (node == root) {
                return text;
            }
            if (node->next != nullptr) {
                node = node->next;
                break;
            }
            node = node->parent;
        }
    }
    return text;
}

}  // namespace

DocxText docxText(std::string_view bytes) {
    DocxText out;
    out.problem = DocxProblem::Damaged;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        return out;
    }
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return out;
    }
    // What every part would expand to, before any is inflated.
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    std::uint64_t expanded = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t info;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &info) != 0 ||
            (info.valid & ZIP_STAT_SIZE) == 0) {
            return out;
        }
        expanded += info.size;
        if (expanded > kMaxDocxExpandedBytes) {
            out.problem = DocxProblem::TooLarge;
            return out;
        }
    }
    const zip_int64_t index = zip_name_locate(archive.get(), "word/document.xml", 0);
    zip_stat_t info;
    if (index < 0 ||
        zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &info) != 0) {
        return out;
    }
    std::unique_ptr<zip_file_t, EntryCloser> entry(
        zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0));
    if (!entry) {
        return out;
    }
    // The declared size, and not a byte more: an entry that inflates beyond
    // what its header says is damaged.
    std::string xml(static_cast<std::size_t>(info.size) + 1, '\0');
    std::size_t have = 0;
    while (have < xml.size()) {
        const zip_int64_t n = zip_fread(entry.get(), xml.data() + have, xml.size() - have);
        if (n < 0) {
            return out;
        }
        if (n == 0) {
            break;
        }
        have += static_cast<std::size_t>(n);
    }
    if (have != info.size) {
        return out;
    }
    xml.resize(have);
    std::unique_ptr<xmlDoc, XmlDocFree> doc(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "document.xml", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) {
        return out;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (root == nullptr || !isWordElement(root, "document")) {
        return out;
    }
    out.text = bodyText(root);
    out.problem = DocxProblem::None;
    return out;
}

}  // namespace oc
