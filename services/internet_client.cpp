#include "services/internet_client.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace oc {
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
    {
        std::lock_guard lock(cookieMutex_);
        if (!cookiesLoaded_) {
            loadCookiesLocked();
        }
    }
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    // Turns the cookie engine on over the shared store without reading a file.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    if (!proxy_.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy_.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUserName_.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword_.c_str());
    }
}

void InternetClient::loadCookiesLocked() {
    cookiesLoaded_ = true;
    if (cookieFile_.empty()) {
        return;
    }
    // Session cookies of an earlier run end with that run.
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIESESSION, 1L);
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIEFILE, cookieFile_.c_str());
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, "RELOAD");
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIEJAR, cookieFile_.c_str());
}

void InternetClient::saveCookies() {
    std::lock_guard lock(cookieMutex_);
    if (cookieFile_.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(cookieFile_).parent_path(), error);
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, "FLUSH");
}

std::string InternetClient::cookieFile() const {
    std::lock_guard lock(cookieMutex_);
    return cookieFile_;
}

void InternetClient::setCookieFile(std::string path) {
    std::lock_guard lock(cookieMutex_);
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIELIST, "ALL");
    curl_easy_setopt(cookieOwner_, CURLOPT_COOKIEJAR, nullptr);
    cookieFile_ = std::move(path);
    cookiesLoaded_ = false;
}

}  // namespace oc
