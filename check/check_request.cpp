#include "check/check_request.h"

#include <algorithm>

#include "check/hit_rule.h"
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

bool hasCheckableText(const CheckRequest& request) {
    const SegmentList segments = cutArticle(request.article, request.settings.check).segments;
    return std::any_of(segments.begin(), segments.end(),
                       [](const Text& segment) { return hasCountableCharacter(segment); });
}

IgnoreList ignoreListOf(const SettingsSnapshot& settings) {
    IgnoreList list;
    list.add(settings.ignoredSites);
    list.add(settings.extraIgnoredSites);
    return list;
}

}  // namespace oc
