// The process-wide HTTP state that every page fetch shares: libcurl's global
// set-up, one share handle (cookies, DNS cache, TLS sessions) guarded by a lock
// per kind of data, the cookie file, and the switch that aborts transfers at
// shutdown.
#pragma once

#include <curl/curl.h>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "services/cookie_jar.h"

namespace oc {

// The cookie file for these environment values (each null when unset):
// OC_COOKIE_FILE when given, else cookies.txt in the per-user data folder,
// ($XDG_DATA_HOME or $HOME/.local/share)/originality-checker. Empty without
// a home folder.
std::string cookieFileFor(const char* ocCookieFile, const char* xdgDataHome, const char* home);

inline constexpr std::chrono::seconds kCookieLoadTimeout{2};
inline constexpr std::chrono::seconds kCookieWriteInterval{1};
// How long a write waits for another process's write of the cookie file.
inline constexpr std::chrono::seconds kCookieLockTimeout{2};

class InternetClient {
  public:
    // Created at the first use, thread-safely, and never destroyed: worker
    // threads are not joined at shutdown, so a transfer may still run while
    // the program exits, and it must not meet a destroyed share handle.
    static InternetClient& instance();

    InternetClient(const InternetClient&) = delete;
    InternetClient& operator=(const InternetClient&) = delete;

    // Attaches an easy handle to the shared state (cookies, DNS cache, TLS
    // sessions) and turns its cookie engine on; once per handle, which keeps
    // it for every request it makes.
    void attach(CURL* easy);
    // Before every request: the first call (after start-up or setCookieFile)
    // has the cookie file read on a thread of its own and waits for it at most
    // kCookieLoadTimeout, holding no lock; a file that is not read by then, or
    // that is no regular file, is neither used nor written this run.
    void loadCookies();
    // After an answer that set cookies: evicts cookies over the bound, then
    // writes the cookie file when the last write is at least a second old.
    void saveCookies();
    // Writes the cookie file now when cookies changed since the last write (the
    // end of a check pass, the end of the program).
    void flushCookies();
    // The cookies in the store now.
    std::vector<CookieLine> cookies();
    // How often the cookie file has been written (for tests and benchmarks).
    std::size_t cookieFileWrites() const { return cookieFileWrites_.load(); }

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
    struct CookieLoad;
    using Clock = std::chrono::steady_clock;

    std::vector<CookieLine> cookieJarLocked();
    void boundCookieJarLocked();
    void writeCookieFile(bool now);

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks_;

    // The one handle through which the cookie store is filled from the file,
    // listed, bounded and written. cookieMutex_ guards it and the fields
    // below; nothing slow happens while it is held.
    mutable std::mutex cookieMutex_;
    CURL* cookieOwner_ = nullptr;
    std::string cookieFile_;
    std::shared_ptr<CookieLoad> cookieLoad_;  // the read of the file in progress
    Clock::time_point cookieLoadDeadline_;
    bool cookiesLoaded_ = false;
    bool cookieFileWritable_ = false;
    bool cookiesChanged_ = false;
    Clock::time_point lastCookieWrite_;
    // The identities of the cookies the file held at its last read or write
    // by this process: a cookie of the file not among them was added by
    // another process, and is kept when this one writes.
    std::vector<std::string> cookiesOnDisk_;
    // Held for a whole write, so writes never overtake each other.
    std::mutex cookieWriteMutex_;
    std::atomic<std::size_t> cookieFileWrites_{0};

    std::atomic<bool> aborting_{false};
};

}  // namespace oc
