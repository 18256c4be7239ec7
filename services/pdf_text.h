// The text of a PDF file, page after page (poppler).
#pragma once

#include <string>
#include <string_view>

namespace oc {

enum class PdfProblem { None, Damaged, Locked };

struct PdfText {
    PdfProblem problem = PdfProblem::None;
    std::string text;  // UTF-8, the pages in order, each ending in a line break
};

PdfText pdfText(std::string_view bytes);

}  // namespace oc
