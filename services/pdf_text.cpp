#include "services/pdf_text.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <mutex>
#include <vector>

namespace oc {
namespace {

// Poppler reports what it repairs on standard error; a damaged file is told
// by what loading returns, so those lines are left out.
void quietPoppler() {
    static std::once_flag once;
    std::call_once(
        once, [] { poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr); });
}

}  // namespace

PdfText pdfText(std::string_view bytes) {
    quietPoppler();
    PdfText out;
    out.problem = PdfProblem::Damaged;
    // Poppler reads from a buffer of its own and keeps no pointer into it.
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!document) {
        return out;
    }
    if (document->is_locked()) {
        out.problem = PdfProblem::Locked;
        return out;
    }
    const int pages = document->pages();
    for (int i = 0; i < pages; ++i) {
        std::unique_ptr<poppler::page> page(document->create_page(i));
        if (!page) {
            continue;
        }
        const std::vector<char> utf8 = page->text().to_utf8();
        out.text.append(utf8.begin(), utf8.end());
        if (!out.text.empty() && out.text.back() != '\n') {
            out.text += '\n';
        }
    }
    out.problem = PdfProblem::None;
    return out;
}

}  // namespace oc
