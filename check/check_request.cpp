#include "check/check_request.h"

#include "check/segmentation.h"
#include "text/article_filters.h"

namespace oc {

CheckRequest makeCheckRequest(Text article, std::vector<Engine> engines, const Text& path,
                              const SettingsOverrides& overrides) {
    CheckRequest request;
    request.startedAt = std::chrono::system_clock::now();
    request.article = std::move(article);
    request.engines = std::move(engines);
    request.settings = loadSettingsSnapshot(path, overrides);
    return request;
}

int articleCharsOf(const CheckRequest& request) {
    return cutArticle(request.article, request.settings.check).chars;
}

IgnoreList ignoreListOf(const SettingsSnapshot& settings) {
    IgnoreList list;
    list.add(settings.ignoredSites);
    list.add(settings.extraIgnoredSites);
    return list;
}

}  // namespace oc
