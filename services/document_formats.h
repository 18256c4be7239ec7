// The kinds of document an article can come from, told by the file's name.
#pragma once

#include <string_view>

namespace oc {

enum class DocumentFormat {
    PlainText,  // .txt, .md, and a name without extension (standard input too)
    Html,       // .html, .htm
    Docx,       // .docx
    Pdf,        // .pdf
    Unsupported,
};

// By the extension of the file name (any letter case) at the end of the path.
DocumentFormat documentFormatOf(std::string_view path);

// Whether a folder's file is taken as a document: a format above that has an
// extension of its own (a name without one is not).
bool isDocumentFileName(std::string_view name);

}  // namespace oc
