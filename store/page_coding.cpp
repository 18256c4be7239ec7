#include "store/page_coding.h"

#include <nlohmann/json.hpp>

namespace oc::store {
namespace {

using Json = nlohmann::json;

const char* className(PageClass pageClass) {
    return pageClass == PageClass::NoResults ? "no-results" : "result";
}

Json::binary_t bytesOf(const std::string& text) {
    return Json::binary_t(std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

std::string encodePage(const CachedPage& page) {
    Json fragments = Json::array();
    for (const CachedFragment& fragment : page.fragments) {
        fragments.push_back(
            Json::array({Json::binary(bytesOf(fragment.text)), fragment.block, fragment.bytes}));
    }
    Json blocks = Json::array();
    for (const CachedBlock& block : page.blocks) {
        blocks.push_back(Json::array({block.title, block.address, block.domain}));
    }
    const Json doc = {{"class", className(page.pageClass)},  {"any", page.anyHighlight},
                      {"known", page.blocksKnown},           {"blocksCut", page.blocksCut},
                      {"highlightsCut", page.highlightsCut}, {"fragments", std::move(fragments)},
                      {"blocks", std::move(blocks)}};
    const std::vector<std::uint8_t> cbor = Json::to_cbor(doc);
    return std::string(cbor.begin(), cbor.end());
}

std::optional<CachedPage> decodePage(const std::string& bytes) {
    const Json doc = Json::from_cbor(bytes, true, false);
    if (doc.is_discarded() || !doc.is_object()) {
        return std::nullopt;
    }
    try {
        CachedPage page;
        const std::string pageClass = doc.at("class").get<std::string>();
        if (pageClass != className(PageClass::NoResults) &&
            pageClass != className(PageClass::ResultPage)) {
            return std::nullopt;
        }
        page.pageClass = pageClass == className(PageClass::NoResults) ? PageClass::NoResults
                                                                      : PageClass::ResultPage;
        page.anyHighlight = doc.at("any").get<bool>();
        page.blocksKnown = doc.at("known").get<bool>();
        page.blocksCut = doc.at("blocksCut").get<bool>();
        page.highlightsCut = doc.at("highlightsCut").get<bool>();
        for (const Json& block : doc.at("blocks")) {
            page.blocks.push_back({block.at(0).get<std::string>(), block.at(1).get<std::string>(),
                                   block.at(2).get<std::string>()});
        }
        for (const Json& fragment : doc.at("fragments")) {
            const Json::binary_t& text = fragment.at(0).get_binary();
            const int block = fragment.at(1).get<int>();
            if (block < -1 || block >= static_cast<int>(page.blocks.size())) {
                return std::nullopt;
            }
            page.fragments.push_back(
                {std::string(text.begin(), text.end()), fragment.at(2).get<std::size_t>(), block});
        }
        return page;
    } catch (const Json::exception&) {
        return std::nullopt;
    }
}

}  // namespace oc::store
