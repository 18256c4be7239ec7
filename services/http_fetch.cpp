#include "services/http_fetch.h"

#include <curl/curl.h>
#include <memory>
#include <optional>
#include <string_view>

#include "services/internet_client.h"
#include "services/text_ops.h"

namespace oc {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr std::size_t kMaxHostLength = 256;
constexpr std::size_t kMaxPathLength = 2048;
constexpr std::size_t kMaxCredentialLength = 128;
// How often a waiting transfer looks at the abort switch and its stall clock.
constexpr int kPollMilliseconds = 50;

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The length of one part of a parsed URL, or nothing when it is absent.
std::optional<std::size_t> partLength(CURLU* url, CURLUPart part) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, 0) != CURLUE_OK || value == nullptr) {
        return std::nullopt;
    }
    std::size_t length = std::string_view(value).size();
    curl_free(value);
    return length;
}

// Splits the URL, passing its %XX escapes and every other byte on untouched.
// Null for a malformed URL or one whose parts exceed what a request carries.
std::unique_ptr<CURLU, UrlCleanup> parseUrl(const Text& url) {
    std::unique_ptr<CURLU, UrlCleanup> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return nullptr;
    }
    auto part = [&](CURLUPart which) { return partLength(parsed.get(), which); };
    auto query = part(CURLUPART_QUERY);
    std::size_t pathWithQuery = part(CURLUPART_PATH).value_or(0) + (query ? *query + 1 : 0);
    if (part(CURLUPART_HOST).value_or(0) > kMaxHostLength || pathWithQuery > kMaxPathLength ||
        part(CURLUPART_USER).value_or(0) > kMaxCredentialLength ||
        part(CURLUPART_PASSWORD).value_or(0) > kMaxCredentialLength) {
        return nullptr;
    }
    return parsed;
}

// Case-insensitive test that a header line starts with `name`.
bool headerIs(std::string_view line, std::string_view name) {
    if (line.size() < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != name[i]) {
            return false;
        }
    }
    return true;
}

// The decimal number after the header name, or -1 when there is none.
long long headerNumber(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) {
        ++i;
    }
    long long number = -1;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        number = (number < 0 ? 0 : number) * 10 + (value[i] - '0');
        if (number > (1LL << 50)) {
            return -1;
        }
    }
    return number;
}

// What one fetch collects while its transfer runs.
struct Transfer {
    std::string body;
    std::size_t maxBody = 0;
    Clock::time_point lastActivity = Clock::now();
    // Of the latest response in a redirect chain.
    long long contentLength = -1;
    bool chunked = false;
    bool complete = false;
    bool cookiesReceived = false;

    // libcurl is told to ignore Content-Length, so a response that says 0 and
    // still carries bytes gives them; the declared length, when positive, ends
    // the body here instead.
    std::size_t room() const {
        std::size_t limit = maxBody;
        if (contentLength > 0 && !chunked &&
            static_cast<unsigned long long>(contentLength) < limit) {
            limit = static_cast<std::size_t>(contentLength);
        }
        return limit > body.size() ? limit - body.size() : 0;
    }
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    std::size_t n = size * count;
    t.lastActivity = Clock::now();
    std::size_t take = std::min(n, t.room());
    t.body.append(data, take);
    if (t.room() == 0) {
        t.complete = true;
    }
    return n;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    std::size_t n = size * count;
    std::string_view line(data, n);
    t.lastActivity = Clock::now();
    if (headerIs(line, "http/")) {
        t.contentLength = -1;
        t.chunked = false;
    } else if (headerIs(line, "content-length:")) {
        t.contentLength = headerNumber(line.substr(15));
    } else if (headerIs(line, "transfer-encoding:")) {
        t.chunked = line.find("chunked") != std::string_view::npos;
    } else if (headerIs(line, "set-cookie:")) {
        t.cookiesReceived = true;
    }
    return n;
}

// Ask for a fresh copy from the server itself; HTTP/1.0 closes the
// connection after the response, and the server is told so plainly.
curl_slist* requestHeaders() {
    curl_slist* list = nullptr;
    for (const char* line :
         {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache", "Connection: close"}) {
        curl_slist* longer = curl_slist_append(list, line);
        if (longer == nullptr) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = longer;
    }
    return list;
}

void setRequestOptions(CURL* easy, CURLU* url, curl_slist* headers, const FetchLimits& limits,
                       Transfer& transfer) {
    curl_easy_setopt(easy, CURLOPT_CURLU, url);
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // The body as the server sent it: no content decoding asked for or done.
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
}

// Drives the transfer until it ends, its body is complete, it stalls for
// longer than allowed, or fetches are aborted. What arrived stays in the body.
void runTransfer(CURLM* multi, const FetchLimits& limits, const Transfer& transfer,
                 const InternetClient& client) {
    int running = 1;
    while (true) {
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0 || transfer.complete ||
            client.aborting() || Clock::now() - transfer.lastActivity > limits.stallTimeout) {
            return;
        }
        curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
    }
}

}  // namespace

ByteSet httpGet(const Text& url) {
    return httpGet(url, FetchLimits{});
}

ByteSet httpGet(const Text& url, const FetchLimits& limits) {
    if (url.empty()) {
        return {};
    }
    InternetClient& client = InternetClient::instance();
    if (client.aborting()) {
        return {};
    }
    // The fragment is never sent.
    int hash = findText(url, "#");
    auto parsed = parseUrl(hash > 0 ? url.substr(0, static_cast<std::size_t>(hash - 1)) : url);
    if (!parsed) {
        return {};
    }
    std::unique_ptr<curl_slist, ListCleanup> headers(requestHeaders());
    std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    if (!headers || !easy || !multi) {
        return {};
    }
    Transfer transfer;
    transfer.maxBody = limits.maxBodyBytes;
    client.attach(easy.get());
    setRequestOptions(easy.get(), parsed.get(), headers.get(), limits, transfer);
    curl_multi_add_handle(multi.get(), easy.get());
    runTransfer(multi.get(), limits, transfer, client);
    curl_multi_remove_handle(multi.get(), easy.get());
    easy.reset();
    if (transfer.cookiesReceived) {
        client.saveCookies();
    }
    return ByteSet(std::move(transfer.body));
}

void abortAllFetches() {
    InternetClient::instance().abortAll();
}

void resumeFetches() {
    InternetClient::instance().resume();
}

Text cookieFilePath() {
    return InternetClient::instance().cookieFile();
}

}  // namespace oc
