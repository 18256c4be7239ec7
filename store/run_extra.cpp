#include "store/run_extra.h"

#include <nlohmann/json.hpp>

namespace oc {
namespace {

using Json = nlohmann::json;

}  // namespace

std::string runExtraJson(const std::vector<ArticleWarning>& warnings,
                         const std::optional<WebPageNote>& page) {
    Json extra = Json::object();
    for (const ArticleWarning& warning : warnings) {
        extra["warnings"].push_back(
            {articleWarningName(warning.kind), warning.count, warning.firstByte, warning.line});
    }
    if (page) {
        extra["url"] = page->url;
        extra["site"] = page->site;
    }
    return extra.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void readRunExtra(const std::string& extra, std::vector<ArticleWarning>& warnings,
                  std::optional<WebPageNote>& page) {
    const Json doc = Json::parse(extra, nullptr, false);
    if (!doc.is_object()) {
        return;
    }
    try {
        for (const Json& warning : doc.value("warnings", Json::array())) {
            ArticleWarning read;
            for (ArticleWarningKind kind :
                 {ArticleWarningKind::InvalidUtf8, ArticleWarningKind::OutsideGbk}) {
                if (warning.at(0).get<std::string>() == articleWarningName(kind)) {
                    read.kind = kind;
                }
            }
            read.count = warning.at(1).get<std::size_t>();
            read.firstByte = warning.at(2).get<std::size_t>();
            read.line = warning.at(3).get<std::size_t>();
            warnings.push_back(read);
        }
        if (doc.contains("url")) {
            page = WebPageNote{doc.at("url").get<std::string>(), doc.at("site").get<std::string>()};
        }
    } catch (const Json::exception&) {
        // What a later version keeps differently is left out.
    }
}

void addWebPageLine(CheckReport& report, const std::string& extra) {
    std::vector<ArticleWarning> warnings;
    std::optional<WebPageNote> page;
    readRunExtra(extra, warnings, page);
    if (page) {
        report.settings.push_back({"检测网页", page->sentence()});
    }
}

}  // namespace oc
