// Reading an article from a document file of any format the program takes
// (.txt, .md, .html, .htm, .docx, .pdf), with the input-safety rules every
// reader shares: the article size limit, the zero-byte test of text files,
// the expansion limit of Word documents.
#pragma once

#include <string>
#include <string_view>

#include "services/article_decoding.h"
#include "services/document_formats.h"
#include "services/text_types.h"

namespace oc {

// A text, Markdown or HTML file with a 0x00 byte among this many first bytes
// is no text file (unless it starts with a UTF-16 or UTF-32 byte-order mark).
inline constexpr std::size_t kTextProbeBytes = 8192;

enum class DocumentProblem {
    None,
    Unreadable,   // the file cannot be opened or read (`error` holds the errno)
    TooLarge,     // above kMaxArticleBytes
    Unsupported,  // no format the program reads
    NotText,      // binary bytes in a text format
    Damaged,      // a .docx or .pdf that does not parse
    Expands,      // a .docx whose parts would expand beyond kMaxDocxExpandedBytes
    Locked,       // a password-protected .pdf
};

struct DocumentText {
    DocumentProblem problem = DocumentProblem::None;
    int error = 0;  // errno, for Unreadable (EISDIR for a folder)
    // The article as the article box holds it (GBK, CR LF line breaks), with
    // the warnings of its decoding; set only without a problem.
    DecodedArticle article;
    std::string title;  // UTF-8: an HTML page's <title>; empty otherwise
};

// Reads the file at the native path; its format is told by its name.
DocumentText readDocumentText(const std::string& nativePath);

// The same from bytes already read, of a known format, above `maxBytes`
// TooLarge (the local documents allow more than an article).
DocumentText documentTextFromBytes(std::string_view bytes, DocumentFormat format,
                                   std::size_t maxBytes = kMaxArticleBytes);

// Why a document is refused, GBK, for a message or a list of skipped files
// ("不是文本文件"); empty for None.
Text documentProblemText(const DocumentText& document);

}  // namespace oc
