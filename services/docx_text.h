// The text of a Word document (.docx): the paragraphs of word/document.xml
// in order, read from the zip archive in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oc {

// A document whose parts would expand beyond this is refused unread: a
// small archive must not be able to fill the memory.
inline constexpr std::size_t kMaxDocxExpandedBytes = 64u << 20;

enum class DocxProblem { None, Damaged, TooLarge };

struct DocxText {
    DocxProblem problem = DocxProblem::None;
    // UTF-8: one line per paragraph (table cells are paragraphs too); a line
    // break inside a paragraph is a line break, a tab a tab.
    std::string text;
};

DocxText docxText(std::string_view bytes);

}  // namespace oc
