#include "services/internet_client.h"

#include <sys/stat.h>

#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "services/file_contents.h"

namespace oc {
namespace {

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Creates the missing folders above the file, each readable by its owner only.
void createPrivateFolders(const std::string& file) {
    for (std::size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        ::mkdir(file.substr(0, slash).c_str(), 0700);
    }
}

}  // namespace

// The read of the cookie file, shared with the thread that does it, which
// may outlive the wait for it.
struct InternetClient::CookieLoad {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    FileBytes file;
};

std::string cookieFileFor(const char* ocCookieFile, const char* xdgDataHome, const char* home) {
    auto given = [](const char* value) { return value != nullptr && *value != '\0'; };
    if (given(ocCookieFile)) {
        return ocCookieFile;
    }
    std::string data;
    if (given(xdgDataHome) && *xdgDataHome == '/') {
        data = xdgDataHome;
    } else if (given(home)) {
        data = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    return data + "/originality-checker/cookies.txt";
}

InternetClient& InternetClient::instance() {
    static InternetClient* const client = new InternetClient();
    return *client;
}

InternetClient::InternetClient()
    : cookieFile_(cookieFileFor(std::getenv("OC_COOKIE_FILE"), std::getenv("XDG_DATA_HOME"),
                                std::getenv("HOME"))) {
    // A peer that closes a connection must not kill the program with SIGPIPE;
    // libcurl runs with NOSIGNAL and leaves the signal to the program.
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    share_ = curl_share_init();
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &InternetClient::lockShare);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &InternetClient::unlockShare);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    cookieOwner_ = curl_easy_init();
    curl_easy_setopt(cookieOwner_, CURLOPT_SHARE, share_);
}

void InternetClient::lockShare(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<InternetClient*>(self)->shareLocks_.at(static_cast<std::size_t>(data)).lock();
}

void InternetClient::unlockShare(CURL*, curl_lock_data data, void* self) {
    static_cast<InternetClient*>(self)->shareLocks_.at(static_cast<std::size_t>(data)).unlock();
}

void InternetClient::attach(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    // Turns the cookie engine on over the shared store without reading a file.
    // libcurl keeps each file name given here in a list of the handle's: set
    // once per handle, so the list does not grow.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    // The proxy the environment names (http_proxy and the like) is the one
    // libcurl uses on its own.
}

void InternetClient::loadCookies() {
    std::shared_ptr<CookieLoad> load;
    Clock::time_point deadline;
    {
        std::lock_guard lock(cookieMutex_);
        if (cookiesLoaded_) {
            return;
        }
        if (cookieFile_.empty()) {
            cookiesLoaded_ = true;
            return;
        }
        if (!cookieLoad_) {
            // A blocking path (a pipe, a hung network folder) holds only this thread.
            cookieLoad_ = std::make_shared<CookieLoad>();
            cookieLoadDeadline_ = Clock::now() + kCookieLoadTimeout;
            std::thread([load = cookieLoad_, path = cookieFile_] {
                FileBytes file = readFilePrefix(path, kMaxCookieFileBytes);
                std::lock_guard lock(load->mutex);
                load->file = std::move(file);
                load->finished = true;
                load->done.notify_all();
            }).detach();
        }
        load = cookieLoad_;
        deadline = cookieLoadDeadline_;
    }
    FileBytes file;
    bool finished;
    {
        std::unique_lock lock(load->mutex);
        finished = load->done.wait_until(lock, deadline, [&] { return load->finished; });
        if (finished) {
            file = load->file;
        }
    }
    std::lock_guard lock(cookieMutex_);
    if (cookiesLoaded_ || cookieLoad_ != load) {
        return;  // another fetch took the cookies in, or the file was changed
    }
    cookiesLoaded_ = true;
    cookieLoad_.reset();
    cookieFileWritable_ = finished && file.status != FileReadStatus::Unreadable;
    if (!finished || file.status != FileReadStatus::Ok) {
        return;
    }
    if (file.bytes.size() == kMaxCookieFileBytes) {
        file.bytes.erase(file.bytes.rfind('\n') + 1);  // a cut last line is no cookie
    }
    // Session cookies of an earlier run end with that run.
    long long now = static_cast<long long>(std::time(nullptr));
    std::vector<CookieLine> saved = parseCookieLines(file.bytes);
    for (const CookieLine& cookie : saved) {
        cookiesOnDisk_.push_back(cookieIdentity(cookie));
    }
    std::erase_if(saved, [&](const CookieLine& c) { return c.expires <= now; });
    std::vector<bool> keep(saved.size(), true);
    for (std::size_t i : cookiesOverBound(saved, CookieBound{})) {
        keep[i] = false;
    }
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (keep[i]) {
            curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, saved[i].line.c_str());
        }
    }
    boundCookieJarLocked();
}

std::vector<CookieLine> InternetClient::cookieJarLocked() {
    curl_slist* raw = nullptr;
    curl_easy_getinfo(cookieOwner_, CURLINFO_COOKIELIST, &raw);
    std::unique_ptr<curl_slist, SlistFree> list(raw);
    std::string lines;
    for (const curl_slist* item = list.get(); item != nullptr; item = item->next) {
        lines += item->data;
        lines += '\n';
    }
    // Cookies removed by expiry stay in libcurl's list until its next clean-up.
    long long now = static_cast<long long>(std::time(nullptr));
    std::vector<CookieLine> jar = parseCookieLines(lines);
    std::erase_if(jar, [&](const CookieLine& c) { return c.expires != 0 && c.expires <= now; });
    return jar;
}

void InternetClient::boundCookieJarLocked() {
    std::vector<CookieLine> jar = cookieJarLocked();
    for (std::size_t i : cookiesOverBound(jar, CookieBound{})) {
        curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, expiredCookieLine(jar[i]).c_str());
    }
}

void InternetClient::saveCookies() {
    {
        std::lock_guard lock(cookieMutex_);
        boundCookieJarLocked();
        cookiesChanged_ = true;
    }
    writeCookieFile(false);
}

std::vector<CookieLine> InternetClient::cookies() {
    std::lock_guard lock(cookieMutex_);
    return cookieJarLocked();
}

void InternetClient::flushCookies() {
    writeCookieFile(true);
}

void InternetClient::writeCookieFile(bool now) {
    std::unique_lock writing(cookieWriteMutex_, std::defer_lock);
    if (now) {
        writing.lock();
    } else if (!writing.try_lock()) {
        return;  // a write is under way; the change goes with the next one
    }
    std::string path;
    std::vector<CookieLine> jar;
    std::vector<std::string> known;
    {
        std::lock_guard lock(cookieMutex_);
        Clock::time_point time = Clock::now();
        if (!cookiesChanged_ || !cookieFileWritable_ || cookieFile_.empty() ||
            (!now && time - lastCookieWrite_ < kCookieWriteInterval)) {
            return;
        }
        // Session cookies end with the run; only lasting ones are kept.
        jar = cookieJarLocked();
        std::erase_if(jar, [](const CookieLine& c) { return c.expires == 0; });
        known = cookiesOnDisk_;
        path = cookieFile_;
        cookiesChanged_ = false;
        lastCookieWrite_ = time;
    }
    createPrivateFolders(path);
    // Another program's check may have written cookies since: under the lock
    // both programs' cookies go into the file, the last writer's not alone.
    // Without the lock (a folder without room for it) the merge still runs.
    SaveLock lock(path, kCookieLockTimeout);
    FileBytes onDisk = readFilePrefix(path, kMaxCookieFileBytes);
    if (onDisk.status == FileReadStatus::Ok && onDisk.bytes.size() == kMaxCookieFileBytes) {
        onDisk.bytes.erase(onDisk.bytes.rfind('\n') + 1);  // a cut last line is no cookie
    }
    const long long seconds = static_cast<long long>(std::time(nullptr));
    std::vector<CookieLine> merged =
        mergeCookieFile(jar,
                        onDisk.status == FileReadStatus::Ok ? parseCookieLines(onDisk.bytes)
                                                            : std::vector<CookieLine>(),
                        known, seconds);
    std::vector<bool> keep(merged.size(), true);
    for (std::size_t i : cookiesOverBound(merged, CookieBound{})) {
        keep[i] = false;
    }
    std::vector<CookieLine> written;
    std::vector<std::string> identities;
    std::vector<std::string> foreign;  // the other programs' cookies, taken in here too
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (keep[i]) {
            identities.push_back(cookieIdentity(merged[i]));
            if (i >= jar.size()) {
                foreign.push_back(merged[i].line);
            }
            written.push_back(std::move(merged[i]));
        }
    }
    if (replaceFileAtomically(path, cookieFileText(written), ReplaceOptions{.privateFile = true})) {
        cookieFileWrites_.fetch_add(1);
        std::lock_guard guard(cookieMutex_);
        if (cookieFile_ == path) {
            cookiesOnDisk_ = std::move(identities);
            for (const std::string& line : foreign) {
                curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, line.c_str());
            }
        }
    }
}

std::string InternetClient::cookieFile() const {
    std::lock_guard lock(cookieMutex_);
    return cookieFile_;
}

void InternetClient::setCookieFile(std::string path) {
    std::lock_guard lock(cookieMutex_);
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, "ALL");
    cookieFile_ = std::move(path);
    cookieLoad_.reset();
    cookiesLoaded_ = false;
    cookieFileWritable_ = false;
    cookiesChanged_ = false;
    lastCookieWrite_ = {};
    cookiesOnDisk_.clear();
}

}  // namespace oc
