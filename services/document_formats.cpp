#include "services/document_formats.h"

#include <string>

#include "services/ascii_case.h"

namespace oc {
namespace {

// The extension after the last dot of the last path component, lower case;
// empty when the name has none (a leading dot starts no extension).
std::string extensionOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return lowerAscii(std::string(name.substr(dot + 1)));
}

}  // namespace

DocumentFormat documentFormatOf(std::string_view path) {
    const std::string extension = extensionOf(path);
    if (extension.empty() || extension == "txt" || extension == "md") {
        return DocumentFormat::PlainText;
    }
    if (extension == "html" || extension == "htm") {
        return DocumentFormat::Html;
    }
    if (extension == "docx") {
        return DocumentFormat::Docx;
    }
    if (extension == "pdf") {
        return DocumentFormat::Pdf;
    }
    return DocumentFormat::Unsupported;
}

bool isDocumentFileName(std::string_view name) {
    return !extensionOf(name).empty() && documentFormatOf(name) != DocumentFormat::Unsupported;
}

}  // namespace oc
