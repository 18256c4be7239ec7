// The files of the archive index on arbitrary bytes, as a damaged or hostile
// index folder holds them: a catalog and a manifest decode or are refused, and
// what decodes encodes back to the same; a part file is refused or searched
// without reading outside it.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "corpus/index_catalog.h"
#include "corpus/index_part.h"
#include "tests/fuzz/fuzz_invariant.h"
#include "tests/support/file_fixtures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oc::corpus;
    oc::fuzz::InputReader input(data, size);
    const std::uint8_t kind = input.byte() % 3;
    const std::u32string query = U"春眠不觉晓处处闻啼鸟夜来风雨声";
    const std::string_view bytes = input.rest();
    if (kind == 0) {
        if (auto catalog = decodeCatalog(bytes)) {
            require(encodeCatalog(*catalog) == bytes);
        }
    } else if (kind == 1) {
        if (auto manifest = decodeManifest(bytes);
            manifest && manifest->version == kIndexFormatVersion) {
            require(decodeManifest(encodeManifest(*manifest)) == manifest);
        }
    } else {
        static const oc::testing::TempFolder folder;
        const std::string path = folder.nativePath("part");
        oc::testing::putFileBytes(path, std::string(bytes));
        IndexPart part(path);
        if (part.ok() && part.documentCount() < (1u << 20)) {
            std::vector<std::uint32_t> order(part.documentCount());
            for (std::uint32_t d = 0; d < order.size(); ++d) {
                order[d] = d % 3 == 2 ? IndexPart::kGone : d;
            }
            bool damaged = false;
            if (auto best = part.best(query, order, damaged)) {
                require(best->document < order.size() && order[best->document] != IndexPart::kGone);
                require(best->longestRun >= 2 && best->longestRun <= static_cast<int>(query.size()));
            }
            std::vector<std::uint32_t> candidates;
            part.mayShareRun(query, 4, order, candidates, damaged);
            for (std::uint32_t c : candidates) {
                require(c < order.size());
            }
        }
    }
    return 0;
}
