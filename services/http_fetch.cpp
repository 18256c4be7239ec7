#include "services/http_fetch.h"

#include <curl/curl.h>
#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "services/ascii_case.h"
#include "services/internet_client.h"
#include "services/text_ops.h"

namespace oc {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxHostLength = 256;
constexpr std::size_t kMaxPathLength = 2048;
constexpr std::size_t kMaxCredentialLength = 128;
// How often a waiting transfer looks at the abort switch and its stall clock.
constexpr int kPollMilliseconds = 50;
// Header lines of this size and more, followed by a failure before the body,
// are what libcurl's own header bound cuts.
constexpr std::size_t kLargeHeaderBytes = 256 * 1024;
// Read from the socket at a time: a result page comes in a few reads, not in
// dozens of libcurl's default 16 KB.
constexpr long kReceiveBufferBytes = 256L * 1024;

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
        if (foldAsciiCase(line[i]) != name[i]) {
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

// A header value without the blanks around it and the line end.
std::string trimmedValue(std::string_view value) {
    const char* blanks = " \t\r\n";
    std::size_t first = value.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(value.substr(first, value.find_last_not_of(blanks) - first + 1));
}

// The absolute URL a Location value names, resolved against the request's URL;
// empty when it names none.
std::string resolveTarget(CURLU* requested, const std::string& location) {
    if (location.empty()) {
        return {};
    }
    std::unique_ptr<CURLU, UrlCleanup> target(curl_url_dup(requested));
    char* text = nullptr;
    if (!target ||
        curl_url_set(target.get(), CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
            CURLUE_OK ||
        curl_url_get(target.get(), CURLUPART_URL, &text, 0) != CURLUE_OK || text == nullptr) {
        return {};
    }
    std::string absolute = text;
    curl_free(text);
    return absolute;
}

// What one request collects while its transfer runs.
struct Transfer {
    std::string body;
    std::size_t maxBody = 0;
    std::size_t maxHeaders = 0;
    // Header and trailer bytes of every response of this request (interim ones too).
    std::size_t headerBytes = 0;
    bool headersTooLarge = false;
    Clock::time_point lastActivity = Clock::now();
    // Of the latest response (an interim 1xx response is replaced by the next).
    long long contentLength = -1;
    bool chunked = false;
    bool complete = false;
    bool cutAtLimit = false;
    bool cookiesReceived = false;
    std::string location;

    // libcurl is told to ignore Content-Length, so a response that says 0 and
    // still carries bytes gives them; the declared length, when positive, ends
    // the body here instead.
    bool lengthBound() const {
        return contentLength > 0 && !chunked &&
               static_cast<unsigned long long>(contentLength) <= maxBody;
    }
    std::size_t room() const {
        std::size_t limit = lengthBound() ? static_cast<std::size_t>(contentLength) : maxBody;
        return limit > body.size() ? limit - body.size() : 0;
    }
    // The response declared a length and less of it came.
    bool shortOfLength() const {
        return contentLength > 0 && !chunked &&
               static_cast<unsigned long long>(body.size()) <
                   static_cast<unsigned long long>(contentLength) &&
               !cutAtLimit;
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
        t.cutAtLimit = !t.lengthBound();
        // libcurl would go on reading whatever the socket holds before the
        // transfer is looked at again; paused, it reads nothing more.
        return CURL_WRITEFUNC_PAUSE;
    }
    return n;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    std::size_t n = size * count;
    std::string_view line(data, n);
    t.lastActivity = Clock::now();
    // libcurl bounds the header lines but keeps every trailer line: counted
    // here, an endless trailer section ends the transfer.
    t.headerBytes += n;
    if (t.headerBytes > t.maxHeaders) {
        t.headersTooLarge = true;
        return 0;
    }
    if (headerIs(line, "http/")) {
        t.contentLength = -1;
        t.chunked = false;
        t.location.clear();
    } else if (headerIs(line, "location:")) {
        t.location = trimmedValue(line.substr(9));
    } else if (headerIs(line, "content-length:")) {
        t.contentLength = headerNumber(line.substr(15));
        // Room for the whole body at once (never beyond the size limit), so it
        // is not moved while it grows.
        if (t.contentLength > 0) {
            t.body.reserve(static_cast<std::size_t>(std::min<unsigned long long>(
                static_cast<unsigned long long>(t.contentLength), t.maxBody)));
        }
    } else if (headerIs(line, "transfer-encoding:")) {
        t.chunked = line.find("chunked") != std::string_view::npos;
    } else if (headerIs(line, "set-cookie:")) {
        t.cookiesReceived = true;
    }
    return n;
}

// Redirects are not followed by libcurl: each target is looked at first.
// Every option a request uses is set for each request, so nothing of the one
// before carries over to it.
void setRequestOptions(CURL* easy, CURLU* url, curl_slist* headers, const FetchLimits& limits,
                       Transfer& transfer) {
    curl_easy_setopt(easy, CURLOPT_CURLU, url);
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_USERAGENT,
                     limits.userAgent.empty() ? kDefaultUserAgent : limits.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
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
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // Every request on a connection of its own, as with handles made afresh.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
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

// The transfer handles of one thread, kept from one request to the next:
// making them afresh (a wake-up socket pair, a receive buffer that is
// allocated and freed again) costs more than a request on a loopback
// connection. They are not reset between requests (a reset would also drop
// the handle's cookie-file entry without freeing it); each request sets every
// option it uses instead. Cleaned up when the thread ends; the shared state
// they are attached to is never destroyed.
class ThreadHandles {
  public:
    static ThreadHandles& current() {
        thread_local ThreadHandles handles;
        return handles;
    }
    ThreadHandles(const ThreadHandles&) = delete;
    ThreadHandles& operator=(const ThreadHandles&) = delete;

    // False when libcurl could not make them; the next request tries again.
    bool ready() {
        if (!easy_) {
            easy_.reset(curl_easy_init());
            if (easy_) {
                InternetClient::instance().attach(easy_.get());
            }
        }
        if (!multi_) {
            multi_.reset(curl_multi_init());
        }
        if (!headers_) {
            headers_.reset(requestHeaders());
        }
        return easy_ && multi_ && headers_;
    }
    CURL* easy() const { return easy_.get(); }
    CURLM* multi() const { return multi_.get(); }
    curl_slist* headers() const { return headers_.get(); }

  private:
    ThreadHandles() = default;
    ~ThreadHandles() = default;

    std::unique_ptr<curl_slist, ListCleanup> headers_;
    std::unique_ptr<CURL, EasyCleanup> easy_;
    std::unique_ptr<CURLM, MultiCleanup> multi_;  // cleaned up first: the easy handle may be in it
};

enum class TransferEnd { Finished, Complete, Stalled, Aborted, Deadline };

// Drives the transfer until it ends, its body is complete, it stalls for
// longer than allowed, the page deadline passes, or fetches are aborted. What
// arrived stays in the body; `result` is libcurl's verdict when the transfer
// finished by itself.
TransferEnd runTransfer(CURLM* multi, const FetchLimits& limits, const Transfer& transfer,
                        const InternetClient& client, std::optional<Clock::time_point> deadline,
                        CURLcode& result) {
    int running = 1;
    while (true) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            return TransferEnd::Finished;
        }
        if (running == 0) {
            int left = 0;
            result = CURLE_OK;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE) {
                    result = message->data.result;
                }
            }
            return TransferEnd::Finished;
        }
        if (transfer.complete) {
            return TransferEnd::Complete;
        }
        if (client.aborting()) {
            return TransferEnd::Aborted;
        }
        const Clock::time_point now = Clock::now();
        if (deadline && now >= *deadline) {
            return TransferEnd::Deadline;
        }
        if (now - transfer.lastActivity > limits.stallTimeout) {
            return TransferEnd::Stalled;
        }
        curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
    }
}

FetchFailure failureOf(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
            return FetchFailure::ConnectionRefused;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return FetchFailure::NameNotResolved;
        case CURLE_OPERATION_TIMEDOUT:
            return FetchFailure::TimedOut;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return FetchFailure::BadUrl;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_SEND_ERROR:
            return FetchFailure::Closed;
        default:
            return FetchFailure::Other;
    }
}

// One response, redirects not followed.
struct Response {
    Transfer transfer;
    long status = 0;
    std::string redirectTarget;
    std::string contentType;
    FetchFailure failure = FetchFailure::None;
    bool cutShort = false;
    bool timedOut = false;
};

std::string infoText(CURL* easy, CURLINFO what) {
    char* value = nullptr;
    if (curl_easy_getinfo(easy, what, &value) != CURLE_OK || value == nullptr) {
        return {};
    }
    return value;
}

Response requestOnce(CURLU* url, ThreadHandles& handles, const FetchLimits& limits,
                     InternetClient& client, std::optional<Clock::time_point> deadline,
                     std::string storage) {
    Response response;
    Transfer& transfer = response.transfer;
    transfer.maxBody = limits.maxBodyBytes;
    transfer.maxHeaders = limits.maxHeaderBytes;
    transfer.body = std::move(storage);
    transfer.body.clear();
    CURL* easy = handles.easy();
    CURLM* multi = handles.multi();
    client.loadCookies();
    setRequestOptions(easy, url, handles.headers(), limits, transfer);
    CURLcode result = CURLE_FAILED_INIT;
    TransferEnd end = TransferEnd::Finished;
    if (curl_multi_add_handle(multi, easy) == CURLM_OK) {
        end = runTransfer(multi, limits, transfer, client, deadline, result);
        curl_multi_remove_handle(multi, easy);
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.status);
        response.contentType = infoText(easy, CURLINFO_CONTENT_TYPE);
    }
    // Nothing of this request stays pointed at by the handle.
    curl_easy_setopt(easy, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
    if (response.status >= 300 && response.status < 400) {
        response.redirectTarget = resolveTarget(url, transfer.location);
    }
    bool someBody = !transfer.body.empty();
    // libcurl ends a response whose header lines pass its own bound (300 KB)
    // with a receive error: headers that large, and no body, were the cause.
    const bool libcurlHeaderBound = end == TransferEnd::Finished && result != CURLE_OK &&
                                    !someBody && transfer.headerBytes >= kLargeHeaderBytes;
    if (transfer.headersTooLarge || libcurlHeaderBound) {
        // Whatever came with them, the response was not what a server sends.
        response.failure = FetchFailure::HeadersTooLarge;
        return response;
    }
    switch (end) {
        case TransferEnd::Complete:
            response.cutShort = transfer.cutAtLimit;
            break;
        case TransferEnd::Aborted:
            response.failure = FetchFailure::Aborted;
            response.cutShort = someBody;
            break;
        case TransferEnd::Deadline:
            response.failure = someBody ? FetchFailure::None : FetchFailure::PageTimedOut;
            response.cutShort = someBody;
            response.timedOut = true;
            break;
        case TransferEnd::Stalled:
            // Part of the body came: it is analysed as it arrived.
            response.failure = someBody ? FetchFailure::None : FetchFailure::Stalled;
            response.cutShort = someBody;
            break;
        case TransferEnd::Finished:
            response.cutShort = transfer.cutAtLimit;
            if (result != CURLE_OK && !(someBody && response.status > 0)) {
                response.failure = failureOf(result);
            } else if (result != CURLE_OK || transfer.shortOfLength()) {
                // A reset or a close mid-body, or a close before the declared
                // length; before the first byte of it, nothing arrived.
                if (!someBody && transfer.contentLength > 0) {
                    response.failure = FetchFailure::Closed;
                }
                response.cutShort = true;
            }
            break;
    }
    return response;
}

bool tooManyRedirects(const FetchLimits& limits, std::size_t hops) {
    constexpr std::size_t kMostRedirects = 50;  // a negative limit still ends a loop
    std::size_t allowed =
        limits.maxRedirects < 0 ? kMostRedirects : static_cast<std::size_t>(limits.maxRedirects);
    return hops > allowed;
}

}  // namespace

FetchReport fetchPage(const Text& url, const FetchLimits& limits,
                      const RedirectCheck& followRedirect, ByteSet storage) {
    FetchReport report;
    report.body = std::move(storage);
    report.body.bytes().clear();
    InternetClient& client = InternetClient::instance();
    if (client.aborting()) {
        report.failure = FetchFailure::Aborted;
        return report;
    }
    // The fragment is never sent.
    int hash = findText(url, "#");
    auto parsed =
        url.empty() ? nullptr
                    : parseUrl(hash > 0 ? url.substr(0, static_cast<std::size_t>(hash - 1)) : url);
    if (!parsed) {
        report.failure = FetchFailure::BadUrl;
        return report;
    }
    ThreadHandles& handles = ThreadHandles::current();
    if (!handles.ready()) {
        report.failure = FetchFailure::Other;
        return report;
    }
    std::optional<Clock::time_point> deadline;
    if (limits.pageTimeout.count() > 0) {
        deadline = Clock::now() + limits.pageTimeout;
    }
    bool cookiesReceived = false;
    while (true) {
        Response response = requestOnce(parsed.get(), handles, limits, client, deadline,
                                        std::move(report.body.bytes()));
        cookiesReceived = cookiesReceived || response.transfer.cookiesReceived;
        report.status = response.status;
        report.contentType = std::move(response.contentType);
        report.body = ByteSet(std::move(response.transfer.body));
        report.failure = response.failure;
        report.cutShort = response.cutShort;
        report.timedOut = response.timedOut;
        report.headerBytes = response.transfer.headerBytes;
        if (response.failure != FetchFailure::None || response.redirectTarget.empty()) {
            break;
        }
        report.redirects.push_back({response.status, response.redirectTarget});
        if (tooManyRedirects(limits, report.redirects.size())) {
            report.failure = FetchFailure::TooManyRedirects;
            break;
        }
        if (followRedirect && !followRedirect(response.redirectTarget)) {
            report.redirectRefused = true;
            break;
        }
        parsed = parseUrl(response.redirectTarget);
        if (!parsed) {
            report.failure = FetchFailure::BadUrl;
            break;
        }
    }
    if (cookiesReceived) {
        client.saveCookies();
    }
    return report;
}

ByteSet httpGet(const Text& url) {
    return httpGet(url, FetchLimits{});
}

ByteSet httpGet(const Text& url, const FetchLimits& limits, ByteSet storage) {
    FetchReport report = fetchPage(url, limits, {}, std::move(storage));
    if (report.failure != FetchFailure::None && report.failure != FetchFailure::Aborted) {
        return {};
    }
    return std::move(report.body);
}

void abortAllFetches() {
    InternetClient::instance().abortAll();
}

void resumeFetches() {
    InternetClient::instance().resume();
}

bool fetchesAborted() {
    return InternetClient::instance().aborting();
}

Text cookieFilePath() {
    return InternetClient::instance().cookieFile();
}

}  // namespace oc
