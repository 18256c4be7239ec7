// The user's own sites ("忽略网站"): highlights inside results from them do not count.
#pragma once

#include <string>
#include <vector>

#include "services/text_types.h"

namespace oc {

class IgnoreList {
  public:
    IgnoreList() = default;

    // Adds the entries of a setting value or an option (GBK): separated by
    // white space, ",", "，", "、" or ";"; each lower-cased, its scheme, user
    // info, path, port, leading "*." or "." and trailing "." removed.
    void add(const Text& entries);

    bool empty() const { return domains_.empty(); }
    const std::vector<std::string>& domains() const { return domains_; }

    // A host matches an entry when it equals it or ends with "." + entry; an IP
    // address only when it equals it. An empty host never matches.
    bool matches(const std::string& host) const;

  private:
    std::vector<std::string> domains_;
};

// The entries of a setting value (GBK) that name no site, as written (UTF-8):
// nothing is left once reduced, or what is left holds characters no host name
// has. The list leaves them out; the parameter window refuses them.
std::vector<std::string> unusableIgnoreEntries(const Text& entries);

// One entry reduced to its domain as the list keeps it (empty when nothing is left).
std::string normaliseIgnoreEntry(std::string entry);

}  // namespace oc
