// What the results store saves when an editor checks an article again: the
// sample article is checked with the built originality-cli against the search
// simulator (data/corpus, served in this process, every request counted), with
// both engines, a store file and a settings file of its own, in each 检测方式:
//   (a) the first check, (b) the same article again, (c) the article with three
//   characters changed in its third paragraph (the third line, the title being
//   the first), (d) the original article with three characters inserted in the
//   middle of that paragraph instead (no target: printed to show what a shift
//   costs; 经典's fixed windows all move after it).
// Prints the requests of each check per engine, the rows answered from the
// store, and how many pieces the third paragraph is cut into.
//
//   bench_recheck
//
// Targets: (b) no request; (c) in 整句 at most 3 requests per piece of the
// edited paragraph and engine. 经典 cuts fixed windows across paragraphs, so
// after the edit it may ask again for pieces elsewhere: printed, no target.
// The store's CPU per segment written is bench_store's figure.
#include <nlohmann/json.hpp>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/search_sim/search_service.h"
#include "app/search_sim/sim_server.h"
#include "corpus/corpus.h"
#include "tests/support/cli_runner.h"
#include "tests/support/file_fixtures.h"

namespace {

struct Requests {
    std::atomic<long> baidu{0};
    std::atomic<long> so360{0};
};

struct CheckFigures {
    long baidu = 0;
    long so360 = 0;
    int rows = 0;        // rows of both passes
    int cachedRows = 0;  // of them answered from the store
    int pieces = 0;      // Baidu rows whose text lies in the paragraph asked about
    bool ok = false;
};

// The lines of `text`, without their line ends.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size()) {
            text += '\n';
        }
    }
    return text;
}

// The UTF-8 byte offset of the `index`-th code point of `line`.
std::size_t codePointOffset(const std::string& line, std::size_t index) {
    std::size_t seen = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if ((static_cast<unsigned char>(line[at]) & 0xC0) != 0x80) {
            if (seen == index) {
                return at;
            }
            ++seen;
        }
    }
    return line.size();
}

// Three Chinese characters of `line` replaced, at a quarter, half and three
// quarters of its length, each by a character the sample does not hold there.
std::string editedLine(const std::string& line) {
    std::size_t count = 0;
    for (char c : line) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    std::string edited = line;
    const char* replacements[] = {"甲", "乙", "丙"};
    for (int k = 0; k < 3; ++k) {
        std::size_t index = count * static_cast<std::size_t>(k + 1) / 4;
        // A Chinese character (three UTF-8 bytes), not punctuation.
        for (; index < count; ++index) {
            const std::size_t at = codePointOffset(edited, index);
            const auto lead = static_cast<unsigned char>(edited[at]);
            const std::string ch = edited.substr(at, 3);
            if (lead >= 0xE4 && lead <= 0xE9 && ch != replacements[k]) {
                edited.replace(at, 3, replacements[k]);
                break;
            }
        }
    }
    return edited;
}

// Three Chinese characters inserted in the middle of `line`: what follows
// moves by three characters.
std::string insertedLine(const std::string& line) {
    std::size_t at = line.size() / 2;
    while (at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) {
        ++at;
    }
    return line.substr(0, at) + "甲乙丙" + line.substr(at);
}

CheckFigures check(const std::string& binDir, const oc::testing::TempFolder& folder,
                   const std::string& url, const std::string& mode, const std::string& article,
                   const std::string& paragraph, Requests& requests) {
    const long baiduBefore = requests.baidu.load();
    const long so360Before = requests.so360.load();
    const std::string args = "--engine both --baidu-url " + url + " --360-url " + url + " --mode " +
                             mode + " --store '" + folder.nativePath("checks.db") +
                             "' --settings '" + folder.nativePath("settings.ini") +
                             "' --on-empty-page cancel --interval-ms 0 --quiet --json '" + article +
                             "'";
    const oc::testing::CliRun run = oc::testing::runCli(binDir, folder.native(), args);
    CheckFigures figures;
    figures.baidu = requests.baidu.load() - baiduBefore;
    figures.so360 = requests.so360.load() - so360Before;
    const nlohmann::json doc = nlohmann::json::parse(run.out, nullptr, false);
    if ((run.status != 0 && run.status != 4) || doc.is_discarded()) {
        std::fprintf(stderr, "bench_recheck: originality-cli ended with %d: %s\n", run.status,
                     run.err.c_str());
        return figures;
    }
    for (const nlohmann::json& pass : doc["passes"]) {
        for (const nlohmann::json& row : pass["rows"]) {
            ++figures.rows;
            const std::string text = row["text"].is_string() ? row["text"].get<std::string>() : "";
            figures.pieces += pass["engine"] == "baidu" && !text.empty() &&
                                      paragraph.find(text) != std::string::npos
                                  ? 1
                                  : 0;
            figures.cachedRows += row["cached"].is_boolean() && row["cached"].get<bool>() ? 1 : 0;
        }
    }
    figures.ok = true;
    return figures;
}

}  // namespace

int main(int, char** argv) {
    const std::string binDir = std::filesystem::absolute(argv[0]).parent_path().string();
    if (!std::filesystem::exists(binDir + "/originality-cli")) {
        std::fprintf(stderr, "bench_recheck: %s/originality-cli is not built\n", binDir.c_str());
        return 1;
    }
    oc::corpus::Corpus corpus = oc::corpus::loadCorpus(OC_SOURCE_DIR "/data/corpus");
    const std::string sample = oc::testing::fileBytes(OC_SOURCE_DIR "/data/sample-article.txt");
    std::vector<std::string> lines = linesOf(sample);
    if (corpus.documents.empty() || lines.size() < 3) {
        std::fprintf(stderr, "bench_recheck: no corpus or sample article\n");
        return 1;
    }
    const std::size_t documents = corpus.documents.size();
    oc::sim::SearchService service(std::move(corpus.documents), {});
    Requests requests;
    oc::sim::SimServer server(service, 0, [&requests](const std::string& line) {
        if (line.starts_with("#")) {
            const bool baidu = line.find(" baidu results ") != std::string::npos;
            ++(baidu ? requests.baidu : requests.so360);
        }
    });
    const int port = server.bind("127.0.0.1", 0);
    if (port <= 0) {
        std::fprintf(stderr, "bench_recheck: cannot listen\n");
        return 1;
    }
    std::thread serving([&server] { server.run(); });
    const std::string url = "http://127.0.0.1:" + std::to_string(port);

    std::printf(
        "bench_recheck: data/sample-article.txt with both engines against search-sim (%zu "
        "documents), originality-cli with its own store and settings file (缓存天数 7)\n\n",
        documents);
    std::printf("%-4s %-32s %7s %7s %12s\n", "mode", "check", "百度", "360", "rows cached");
    bool met = true;
    for (const std::string mode : {"sentence", "classic"}) {
        oc::testing::TempFolder folder;
        const std::string original = folder.nativePath("article.txt");
        const std::string edited = folder.nativePath("edited.txt");
        oc::testing::putFileBytes(original, sample);
        std::vector<std::string> editedLines = lines;
        editedLines[2] = editedLine(lines[2]);
        oc::testing::putFileBytes(edited, joined(editedLines));
        const std::string inserted = folder.nativePath("inserted.txt");
        std::vector<std::string> insertedLines = lines;
        insertedLines[2] = insertedLine(lines[2]);
        oc::testing::putFileBytes(inserted, joined(insertedLines));

        const CheckFigures first = check(binDir, folder, url, mode, original, lines[2], requests);
        const int pieces = first.pieces;
        const CheckFigures again = check(binDir, folder, url, mode, original, lines[2], requests);
        const CheckFigures changed =
            check(binDir, folder, url, mode, edited, editedLines[2], requests);
        const CheckFigures grown =
            check(binDir, folder, url, mode, inserted, insertedLines[2], requests);
        const char* name = mode == "sentence" ? "整句" : "经典";
        auto print = [name](const char* label, const CheckFigures& f) {
            std::printf("%-4s %-32s %7ld %7ld %5d of %4d%s\n", name, label, f.baidu, f.so360,
                        f.cachedRows, f.rows, f.ok ? "" : "  (the check failed)");
        };
        print("(a) first check", first);
        print("(b) the same article again", again);
        print("(c) 3 characters of paragraph 3", changed);
        print("(d) 3 characters inserted instead", grown);
        std::printf(
            "%-4s paragraph 3 is cut into %d pieces; (c) target: 0 < requests <= %d per "
            "engine%s\n\n",
            name, pieces, 3 * pieces, mode == "sentence" ? "" : " (整句 only)");
        met = met && first.ok && again.ok && changed.ok && grown.ok && again.baidu == 0 &&
              again.so360 == 0;
        if (mode == "sentence") {
            met = met && changed.baidu <= 3 * pieces && changed.so360 <= 3 * pieces &&
                  changed.baidu > 0 && changed.so360 > 0;
        }
    }
    std::printf("targets %s; the store's CPU per segment written: see bench_store\n",
                met ? "met" : "NOT met");
    server.stop();
    serving.join();
    return met ? 0 : 1;
}
