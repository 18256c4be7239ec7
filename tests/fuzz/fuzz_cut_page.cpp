// The page analysis of both engines on a page cut at every byte, as a reset,
// a close, a stall or the page deadline leaves it: each cut page is
// classified without harm, holds no zero byte, is marked as proving nothing
// beyond its runs, and the highlights it shows are the first highlights of
// the whole page (a cut never makes one up or moves one).
#include <cstdint>
#include <string>

#include "check/engine_tables.h"
#include "check/highlight.h"
#include "check/page_class.h"
#include "services/boundary_text.h"
#include "services/page_decoding.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

// Every cut of pages up to this size; a longer page is cut at as many
// points spread over it, so one input stays quick.
constexpr std::size_t kEveryByteUpTo = 2048;

struct Analysis {
    oc::ClassifiedPage page;
    oc::Text cut;
};

Analysis analyse(const oc::EngineTable& table, std::string_view contentType, std::string_view body,
                 bool cutShort, bool timedOut) {
    oc::FetchReport report;
    report.status = 200;
    report.contentType = std::string(contentType);
    report.body = oc::ByteSet(std::string(body));
    report.cutShort = cutShort;
    report.timedOut = timedOut;
    Analysis analysis;
    analysis.page = oc::classifyPage(table, report);
    analysis.cut = oc::cutReason(report);
    return analysis;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    const oc::EngineTable& table =
        oc::engineTable(in.flag() ? oc::Engine::Baidu : oc::Engine::So360);
    const bool timedOut = in.flag();
    const std::string_view contentType = in.piece();
    const std::string_view body = in.rest();

    const Analysis whole = analyse(table, contentType, body, false, false);
    require(whole.cut.empty());
    const bool wholeUtf8 = oc::isValidUtf8(body);
    const std::size_t step = body.size() <= kEveryByteUpTo ? 1 : body.size() / kEveryByteUpTo + 1;
    for (std::size_t at = 0; at < body.size(); at += step) {
        const std::string_view cut = body.substr(0, at);
        const Analysis part = analyse(table, contentType, cut, true, timedOut);
        // A cut page never proves a segment original.
        require(!part.cut.empty());
        require(part.page.text.find('\0') == std::string::npos);
        require(part.page.verified() || !part.page.reason.empty());
        if (!wholeUtf8 || !oc::isValidUtf8(cut) ||
            whole.page.pageClass != oc::PageClass::ResultPage ||
            part.page.pageClass != oc::PageClass::ResultPage) {
            continue;
        }
        // The same text up to the cut: its highlights are the whole page's first ones.
        const oc::RegexMatchList& shown = part.page.highlights;
        const oc::RegexMatchList& all = whole.page.highlights;
        require(shown.size() <= all.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const auto& a = shown[i].spans();
            const auto& b = all[i].spans();
            require(a.size() == b.size());
            for (std::size_t g = 0; g < a.size(); ++g) {
                require(a[g].matched == b[g].matched);
                require(!a[g].matched || (a[g].start == b[g].start && a[g].length == b[g].length));
            }
        }
    }
    return 0;
}
