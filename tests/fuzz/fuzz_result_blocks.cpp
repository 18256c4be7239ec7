// Result blocks and sources on arbitrary page bytes: blocks lie inside the
// page, nest or stand apart, the block said to hold an offset holds it, and the
// source step never counts more than the runs it was given.
#include <cstdint>
#include <string>

#include "check/result_blocks.h"
#include "check/segment_source.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

void checkBlocks(const oc::Text& page, const std::vector<oc::ResultBlock>& blocks) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const oc::ResultBlock& a = blocks[i];
        require(a.open <= a.close && a.close <= page.size());
        require(oc::isValidUtf8(a.title) && oc::isValidUtf8(a.address));
        if (i > 0) {
            require(blocks[i - 1].open <= a.open);  // document order
        }
        for (std::size_t j = i + 1; j < blocks.size(); ++j) {
            const oc::ResultBlock& b = blocks[j];
            bool inside = b.open >= a.open && b.close <= a.close;
            bool apart = b.open >= a.close;
            require(inside || apart);
        }
    }
    for (std::size_t offset = 0; offset <= page.size(); offset += 1 + page.size() / 64) {
        int held = oc::blockHolding(blocks, offset);
        if (held >= 0) {
            const oc::ResultBlock& b = blocks[static_cast<std::size_t>(held)];
            require(b.open <= offset && offset < b.close);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    const oc::Text ignored = oc::fuzz::textOf(in.piece());
    const std::string body(in.rest());
    // As the passes see it: the page decoded from UTF-8, or the bytes themselves.
    bool decoded = false;
    oc::ByteSet text = oc::convertEncoding(oc::ByteSet(body), "UTF-8", "GB18030", &decoded);
    const oc::Text page = oc::fuzz::textOf(decoded ? text.view() : std::string_view(body));
    const std::string url = "http://www.baidu.com/s?wd=x";
    for (const oc::ResultBlockForm* form : {&oc::baiduBlockForm(), &oc::blockForm360()}) {
        checkBlocks(page, oc::findResultBlocks(page, *form, url));
    }
    // Every "<em>" is a run of the page; the source step keeps at most all of them.
    std::vector<oc::HighlightRun> runs;
    for (std::size_t at = page.find("<em>"); at != oc::Text::npos; at = page.find("<em>", at + 1)) {
        runs.push_back({at, 24});
    }
    oc::IgnoreList ignore;
    ignore.add(ignored);
    oc::SourceOutcome outcome =
        oc::attributeRuns({{page, url, runs}}, oc::baiduBlockForm(), ignore);
    require(outcome.hits >= 0 && outcome.hits <= static_cast<int>(runs.size()));
    require(!outcome.source || outcome.hits > 0);
    return 0;
}
