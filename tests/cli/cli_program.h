// The built command-line checker run against a loopback server that answers
// every query with a page the test chooses.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>

#include "tests/support/cli_runner.h"
#include "tests/support/loopback_server.h"

namespace oc {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("oc-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        server_.server().Get("/s", [this](const httplib::Request& req, httplib::Response& res) {
            std::function<void(const httplib::Request&, httplib::Response&)> respond;
            std::function<std::string(const std::string&)> page;
            {
                // Orders the test's writes of the answer before the server's reads.
                std::lock_guard lock(answerMutex_);
                respond = respond_;
                page = page_;
            }
            if (respond) {
                respond(req, res);
            } else {
                res.set_content(page(req.target), "text/html; charset=utf-8");
            }
        });
        server_.start();
    }
    void TearDown() override {
        server_.stop();
        fs::remove_all(dir_);
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    RunResult run(const std::string& args, const std::string& input = "") {
        {
            // What the test set up for the answers is published to the server's threads.
            std::lock_guard lock(answerMutex_);
        }
        fs::path in = write("stdin.txt", input);
        fs::path out = dir_ / "stdout.txt";
        fs::path err = dir_ / "stderr.txt";
        std::string command = std::string(OC_BIN_DIR) + "/originality-cli --settings '" +
                              (dir_ / "none.ini").string() + "' --baidu-url " + server_.baseUrl() +
                              " --360-url " + (url360_.empty() ? server_.baseUrl() : url360_) +
                              " " + testing::storeArgs(args) + args + " < '" + in.string() +
                              "' > '" + out.string() + "' 2> '" + err.string() + "'";
        int raw = std::system(command.c_str());
        RunResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::stringstream o, e;
        o << std::ifstream(out).rdbuf();
        e << std::ifstream(err).rdbuf();
        result.out = o.str();
        result.err = e.str();
        return result;
    }

    fs::path dir_;
    testing::LoopbackServer server_;
    std::mutex answerMutex_;
    std::string url360_;  // empty: the server's
    // When set, answers instead of page_ (any status, redirects).
    std::function<void(const httplib::Request&, httplib::Response&)> respond_;
    std::function<std::string(const std::string&)> page_ = [](const std::string&) {
        return std::string(
            "<p>普通<em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来</em></p>");
    };
};

inline const std::string kArticle =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来风雨声。\n"
    "这是一段原创的文字内容。";

}  // namespace oc
