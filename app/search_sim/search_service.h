// Answering one request of the simulator: the search itself, without HTTP.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/search_sim/corpus_names.h"
#include "app/search_sim/rate_limit.h"
#include "app/search_sim/result_page.h"
#include "app/search_sim/search_request.h"

namespace oc::sim {

// What a blocked answer is: an empty page, the captcha page, a page that is
// not UTF-8, a redirect to a captcha path of the simulator, the engine's
// verification page (200, its own title), or status 429.
enum class BlockKind { Empty, Captcha, InvalidUtf8, CaptchaRedirect, CaptchaPage, Status429 };

// Where a captcha redirect points, on the simulator itself.
inline constexpr std::string_view kCaptchaPath = "/static/captcha/tuxing.html";

struct Blocking {
    long long after = -1;  // answers after this many queries are blocked; -1: never
    BlockKind kind = BlockKind::Empty;
};

// A query is cut to this many characters, as engines cut long queries.
inline constexpr std::size_t kMaxQueryChars = 100;

struct Answer {
    int status = 200;
    std::string contentType;
    std::string body;
    std::string logLine;   // one line, no line end
    std::string location;  // the Location header of a redirect; empty: none
};

class SearchService {
  public:
    SearchService(std::vector<Document> documents, Blocking blocking,
                  HighlightStyle style = HighlightStyle::Engine);

    // Thread-safe: the index is read-only, the query counter atomic, the
    // rate limiter locked. `client` is the requesting address.
    Answer answer(std::string_view target, std::string_view client = {});

    // Past the limit's queries a minute from one client address to one
    // engine form, that client gets blocked answers of the blocking's kind
    // for a while. Set before serving.
    void setRateLimit(RateLimit rate) { limiter_.emplace(rate); }

    std::size_t documentCount() const { return documents_.size(); }
    const BigramIndex& index() const { return index_; }

  private:
    Answer search(const SearchRequest& request) const;

    std::vector<Document> documents_;
    BigramIndex index_;
    Blocking blocking_;
    HighlightStyle style_;
    std::atomic<long long> queries_{0};
    std::optional<RateLimiter> limiter_;
};

}  // namespace oc::sim
