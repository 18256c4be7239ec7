// Blocking HTTP GET of one page: the body byte for byte, and what happened on
// the way (status, redirects, failures).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "services/text_types.h"

namespace oc {

inline constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct FetchLimits {
    std::chrono::milliseconds connectTimeout{60000};
    // A transfer that delivers nothing for this long is abandoned.
    std::chrono::milliseconds stallTimeout{60000};
    // The whole page, redirects included, from the first connect to the last
    // byte: reached, the fetch ends with what it has. Zero or less: none.
    std::chrono::milliseconds pageTimeout{120000};
    long maxRedirects = 10;
    std::size_t maxBodyBytes = 32u << 20;
    // The header lines of one response and its trailer lines together.
    std::size_t maxHeaderBytes = 1u << 20;
    // Sent as User-Agent with every request; the default when empty.
    std::string userAgent = kDefaultUserAgent;
};

// Why no page arrived.
enum class FetchFailure {
    None,
    BadUrl,             // malformed, not http(s), or longer than a request carries
    ConnectionRefused,  // nothing listens at the address, or it cannot be reached
    NameNotResolved,
    TimedOut,          // the connection was not made in time
    Stalled,           // connected, but nothing came for the stall time
    Closed,            // the connection ended before a response arrived
    TooManyRedirects,  // more redirects than the limit allows (the last one not followed)
    HeadersTooLarge,   // header and trailer lines beyond maxHeaderBytes
    PageTimedOut,      // the page deadline passed before any of the body came
    Aborted,           // abortAllFetches
    Other,
};

struct RedirectHop {
    long status = 0;     // the status of the response that redirected
    std::string target;  // the absolute URL it redirected to
};

struct FetchReport {
    ByteSet body;
    // The status of the last response received; 0 when none arrived.
    long status = 0;
    // The Content-Type header of the last response; empty when it had none.
    std::string contentType;
    // Every redirect met, in order, including one that was not followed.
    std::vector<RedirectHop> redirects;
    // The last hop was refused by the redirect check and not followed: the
    // report describes the redirecting response.
    bool redirectRefused = false;
    FetchFailure failure = FetchFailure::None;
    // The body ended early: the size limit, a reset, a close before the
    // declared length, or a stall after part of it had come.
    bool cutShort = false;
    // The page deadline ended the fetch (with `cutShort` when part of the body
    // had come, else with the failure PageTimedOut).
    bool timedOut = false;
    // Header and trailer bytes of the last response, as counted against the limit.
    std::size_t headerBytes = 0;

    bool arrived() const { return failure == FetchFailure::None; }
};

// Looks at a redirect target before it is followed: false ends the request
// at the redirecting response.
using RedirectCheck = std::function<bool(const std::string& target)>;

// `storage` becomes the body: a caller that hands back the body of its
// previous page has the next one written into the same memory.
FetchReport fetchPage(const Text& url, const FetchLimits& limits = {},
                      const RedirectCheck& followRedirect = {}, ByteSet storage = {});

// Downloads the page. Empty on any failure; the bytes received so far when a
// transfer fails part-way. HTTP error statuses are not failures.
ByteSet httpGet(const Text& url);
// The body is written into `storage`, as fetchPage does.
ByteSet httpGet(const Text& url, const FetchLimits& limits, ByteSet storage = {});

// Stops every transfer in flight (and every later one until resumeFetches):
// each returns what it has within about a second. For shutdown.
void abortAllFetches();
void resumeFetches();
bool fetchesAborted();

// Where the cookies of the search engines are kept between runs.
Text cookieFilePath();

}  // namespace oc
