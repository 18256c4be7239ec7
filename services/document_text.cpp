#include "services/document_text.h"

#include <cstring>

#include "services/article_reading.h"
#include "services/boundary_text.h"
#include "services/docx_text.h"
#include "services/html_text.h"
#include "services/pdf_text.h"

namespace oc {
namespace {

// UTF-16 and UTF-32 text holds zero bytes in nearly every character.
bool looksBinary(std::string_view bytes) {
    return !hasWideByteOrderMark(bytes) &&
           bytes.substr(0, kTextProbeBytes).find('\0') != std::string_view::npos;
}

DocumentText refused(DocumentProblem problem) {
    DocumentText out;
    out.problem = problem;
    return out;
}

DocumentText fromUtf8(std::string_view utf8, std::size_t maxBytes, std::string title = {}) {
    DocumentText out;
    out.article = articleFromUtf8(utf8, maxBytes);
    out.title = std::move(title);
    return out;
}

}  // namespace

DocumentText documentTextFromBytes(std::string_view bytes, DocumentFormat format,
                                   std::size_t maxBytes) {
    if (bytes.size() > maxBytes) {
        return refused(DocumentProblem::TooLarge);
    }
    switch (format) {
        case DocumentFormat::PlainText: {
            if (looksBinary(bytes)) {
                return refused(DocumentProblem::NotText);
            }
            DocumentText out;
            out.article = decodeArticle(bytes, maxBytes);
            return out;
        }
        case DocumentFormat::Html: {
            if (looksBinary(bytes)) {
                return refused(DocumentProblem::NotText);
            }
            HtmlText page = visibleHtmlText(htmlPageUtf8(bytes));
            return fromUtf8(page.text, maxBytes, std::move(page.title));
        }
        case DocumentFormat::Docx: {
            DocxText docx = docxText(bytes);
            if (docx.problem == DocxProblem::TooLarge) {
                return refused(DocumentProblem::Expands);
            }
            if (docx.problem != DocxProblem::None) {
                return refused(DocumentProblem::Damaged);
            }
            return fromUtf8(docx.text, maxBytes);
        }
        case DocumentFormat::Pdf: {
            PdfText pdf = pdfText(bytes);
            if (pdf.problem == PdfProblem::Locked) {
                return refused(DocumentProblem::Locked);
            }
            if (pdf.problem != PdfProblem::None) {
                return refused(DocumentProblem::Damaged);
            }
            return fromUtf8(pdf.text, maxBytes);
        }
        case DocumentFormat::Unsupported:
            break;
    }
    return refused(DocumentProblem::Unsupported);
}

DocumentText readDocumentText(const std::string& nativePath) {
    const DocumentFormat format = documentFormatOf(nativePath);
    if (format == DocumentFormat::Unsupported) {
        return refused(DocumentProblem::Unsupported);
    }
    ArticleBytes input = readArticleFile(nativePath);
    if (input.error != 0) {
        DocumentText out = refused(DocumentProblem::Unreadable);
        out.error = input.error;
        return out;
    }
    return documentTextFromBytes(input.bytes, format);
}

Text documentProblemText(const DocumentText& document) {
    switch (document.problem) {
        case DocumentProblem::None:
            return {};
        case DocumentProblem::Unreadable:
            return gbkFromUtf8(
                document.error == EISDIR ? std::string("这是一个文件夹")
                : document.error == ENAMETOOLONG
                    ? std::string("路径过长")
                    : std::string("无法读取（").append(std::strerror(document.error)).append("）"));
        case DocumentProblem::TooLarge:
            return gbkFromUtf8("文件超过 16 MB");
        case DocumentProblem::Unsupported:
            return gbkFromUtf8("不支持的文件格式（可打开 .txt、.md、.html、.htm、.docx、.pdf）");
        case DocumentProblem::NotText:
            return gbkFromUtf8("不是文本文件");
        case DocumentProblem::Damaged:
            return gbkFromUtf8("文件已损坏，无法读出文字");
        case DocumentProblem::Expands:
            return gbkFromUtf8("Word 文档解压后超过 64 MB");
        case DocumentProblem::Locked:
            return gbkFromUtf8("PDF 文件有密码保护");
    }
    return {};
}

}  // namespace oc
