// The result blocks of a delivered result page: where each stands in the page
// text, and the title and target address of the result it shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check/result_block_form.h"
#include "services/text_types.h"

namespace oc {

struct ResultBlock {
    // Byte offsets into the page text: the ">" ending the block's start tag, and
    // just after its end (its end tag, or where the parser closed it).
    std::size_t open = 0;
    std::size_t close = 0;
    std::string title;    // UTF-8, white space collapsed; empty when it has none
    std::string address;  // UTF-8, as the rules of the engine's form give it
    std::string domain;   // host of the address; empty on the engine's own host
};

// A page is analysed up to this many result blocks; real result pages hold
// ten to twenty.
inline constexpr std::size_t kMaxResultBlocks = 5000;

// Parses the page text (GB18030, as the passes decode pages) with the HTML
// parser and lists its blocks in document order, the first kMaxResultBlocks
// of them. `pageUrl` is the query URL:
// relative links are resolved against it, and addresses on its host have no
// domain. Empty when the page holds no block or cannot be parsed.
std::vector<ResultBlock> findResultBlocks(std::string_view pageText, const ResultBlockForm& form,
                                          const std::string& pageUrl);
// The same blocks, each in its place, with title, address and domain worked
// out only for the innermost block holding one of the `described` offsets
// (all of them when null); the others leave the three empty. `pageUtf8`, when
// given, is the page text converted to UTF-8, which is then not converted again.
// `cut`, when given, tells whether the page holds more blocks than were listed.
std::vector<ResultBlock> findResultBlocks(std::string_view pageText, const ResultBlockForm& form,
                                          const std::string& pageUrl,
                                          const std::vector<std::size_t>* described,
                                          std::string_view pageUtf8 = {}, bool* cut = nullptr);

// The innermost block holding the byte offset (open <= offset < close), or -1.
int blockHolding(const std::vector<ResultBlock>& blocks, std::size_t offset);
// The same for each of the offsets, in one walk over the blocks (in document
// order, as findResultBlocks lists them) and the offsets: linear in both when
// the offsets ascend, as the runs of a page do.
std::vector<int> blocksHolding(const std::vector<ResultBlock>& blocks,
                               const std::vector<std::size_t>& offsets);

}  // namespace oc
