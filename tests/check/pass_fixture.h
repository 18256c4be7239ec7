// The check passes against a real HTTP server on 127.0.0.1 serving result
// pages made by the test, watched through an in-memory window, with a
// settings file in a folder of their own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "services/boundary_text.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/scripted_platform.h"

namespace oc::testing {

// n Chinese characters, the same for every call with the same n.
inline Text chinese(int n, int seed = 0) {
    static const char* const kChars[] = {"春", "眠", "不", "觉", "晓", "处", "闻",
                                         "啼", "鸟", "夜", "来", "风", "雨", "声",
                                         "花", "落", "知", "多", "少", "山"};
    std::string utf8;
    for (int i = 0; i < n; ++i) {
        utf8 += kChars[(i * 7 + seed) % 20];
    }
    return G(utf8);
}

inline std::string percentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The decoded query of a result-page request: GBK for Baidu ("wd"), UTF-8 for 360 ("q").
inline std::string queryOf(const httplib::Request& req, const std::string& key) {
    std::string target = req.target;
    std::size_t at = target.find(key + "=");
    if (at == std::string::npos) {
        return {};
    }
    std::size_t end = target.find('&', at);
    return percentDecode(target.substr(at + key.size() + 1, end - at - key.size() - 1));
}

// Serves "/s" with pages made by a function of the decoded query (UTF-8).
class PassFixture : public ::testing::Test {
  protected:
    using PageMaker = std::function<std::string(const std::string& queryUtf8, int page)>;

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("oc-pass-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(dir_);
        server_.server().Get("/s", [this](const httplib::Request& req, httplib::Response& res) {
            bool baidu = req.target.find("wd=") != std::string::npos;
            std::string query = baidu ? utf8FromGbk(queryOf(req, "wd")) : queryOf(req, "q");
            int page = baidu ? 1 : std::stoi(queryOf(req, "pn"));
            PageMaker maker;
            {
                std::lock_guard lock(makerMutex_);
                maker = baidu ? baiduPages_ : pages360_;
            }
            res.set_content(maker ? maker(query, page) : std::string(), "text/html; charset=utf-8");
        });
        server_.start();
        env_.window = &window_;
        env_.platform = &platform_;
        env_.settingsPath = gbkFromUtf8((dir_ / "配置.ini").string());
        env_.baiduUrl = server_.baseUrl();
        env_.url360 = server_.baseUrl();
        // The fixed windows and the single-run rule these cases were written for.
        env_.mode = CheckMode::Classic;
    }

    void TearDown() override {
        server_.stop();
        std::filesystem::remove_all(dir_);
    }

    void serve(PageMaker baidu, PageMaker engine360) {
        std::lock_guard lock(makerMutex_);
        baiduPages_ = std::move(baidu);
        pages360_ = std::move(engine360);
    }
    void serveBoth(const PageMaker& maker) { serve(maker, maker); }

    void writeSettings(const std::string& utf8Body) {
        std::ofstream(dir_ / "配置.ini", std::ios::binary) << gbkFromUtf8(utf8Body);
    }

    std::vector<std::string> column(std::string_view grid, int column) {
        GridModel model = window_.grid(grid);
        std::vector<std::string> out;
        for (int r = 1; r < model.rowCount(); ++r) {
            out.push_back(U(model.cellText(r, column)));
        }
        return out;
    }

    static inline int counter_ = 0;
    std::filesystem::path dir_;
    testing::LoopbackServer server_;
    std::mutex makerMutex_;
    PageMaker baiduPages_;
    PageMaker pages360_;
    MemoryWindow window_;
    testing::ScriptedPlatform platform_;
    PassEnvironment env_;
};

// A result page that highlights the whole query once.
inline std::string pageHighlighting(const std::string& fragment, const std::string& tag = "em") {
    return "<html><body><h3>结果</h3><p>摘要<" + tag + ">" + fragment + "</" + tag +
           ">其余</p></body></html>";
}

}  // namespace oc::testing
