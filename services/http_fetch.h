// Blocking HTTP GET of one page, returning the body byte for byte.
#pragma once

#include <chrono>

#include "services/text_types.h"

namespace oc {

struct FetchLimits {
    std::chrono::milliseconds connectTimeout{60000};
    // A transfer that delivers nothing for this long is abandoned.
    std::chrono::milliseconds stallTimeout{60000};
    long maxRedirects = 10;
    std::size_t maxBodyBytes = 32u << 20;
};

// Downloads the page. Empty on any failure; the bytes received so far when a
// transfer fails part-way. HTTP error statuses are not failures.
ByteSet httpGet(const Text& url);
ByteSet httpGet(const Text& url, const FetchLimits& limits);

// Stops every transfer in flight (and every later one until resumeFetches):
// each returns what it has within about a second. For shutdown.
void abortAllFetches();
void resumeFetches();

// Where the cookies of the search engines are kept between runs.
Text cookieFilePath();

}  // namespace oc
