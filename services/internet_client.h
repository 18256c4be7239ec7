// The process-wide HTTP state that every page fetch shares: libcurl's global
// set-up, one share handle (cookies, DNS cache, TLS sessions) guarded by a lock
// per kind of data, the cookie file, and the switch that aborts transfers at
// shutdown.
#pragma once

#include <curl/curl.h>
#include <array>
#include <atomic>
#include <mutex>
#include <string>

namespace oc {

// The cookie file for these environment values (each null when unset):
// OC_COOKIE_FILE when given, else cookies.txt in the per-user data folder,
// ($XDG_DATA_HOME or $HOME/.local/share)/originality-checker. Empty without
// a home folder.
std::string cookieFileFor(const char* ocCookieFile, const char* xdgDataHome, const char* home);

class InternetClient {
  public:
    // Created at the first use, thread-safely, and never destroyed: worker
    // threads are not joined at shutdown, so a transfer may still run while
    // the program exits, and it must not meet a destroyed share handle.
    static InternetClient& instance();

    InternetClient(const InternetClient&) = delete;
    InternetClient& operator=(const InternetClient&) = delete;

    // Attaches a fetch's own easy handle to the shared state; the cookie file
    // is loaded at the first call.
    void attach(CURL* easy);
    // Writes the cookie store to the cookie file; called after a fetch that
    // received cookies.
    void saveCookies();

    // The cookie file, from the environment at start-up (cookieFileFor). When
    // empty, cookies are kept in memory only.
    std::string cookieFile() const;
    // Empties the cookie store and takes its cookies from another file from the
    // next fetch on (tests point it into a temporary folder).
    void setCookieFile(std::string path);

    void abortAll() { aborting_.store(true); }
    void resume() { aborting_.store(false); }
    bool aborting() const { return aborting_.load(); }

  private:
    InternetClient();
    ~InternetClient() = default;

    static void lockShare(CURL*, curl_lock_data data, curl_lock_access, void* self);
    static void unlockShare(CURL*, curl_lock_data data, void* self);
    void loadCookiesLocked();

    // Not set by anything: the proxy the environment names (http_proxy and
    // the like, honoured by libcurl) is the preconfigured one.
    const std::string proxy_;
    const std::string proxyUserName_;
    const std::string proxyPassword_;

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks_;

    // The one handle that loads and writes the cookie file, so the file is
    // read once and written from one place.
    mutable std::mutex cookieMutex_;
    CURL* cookieOwner_ = nullptr;
    std::string cookieFile_;
    bool cookiesLoaded_ = false;

    std::atomic<bool> aborting_{false};
};

}  // namespace oc
