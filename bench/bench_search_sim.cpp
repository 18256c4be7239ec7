// Query latency of the search simulator on a generated corpus of 10,000
// documents: ranking alone, ranking with the result page, and over loopback
// HTTP; median and 99th percentile per query are reported as counters.
//
//   bench_search_sim [benchmark flags]
//   bench_search_sim --write-corpus DIR --write-article FILE
//       writes the generated corpus and a 5,000-character article for the
//       end-to-end timing (bench/time_search_sim_e2e.sh), then exits.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

#include "app/search_sim/corpus_names.h"
#include "app/search_sim/search_service.h"
#include "app/search_sim/sim_server.h"
#include "services/boundary_text.h"
#include "services/encoding.h"

namespace {

using oc::sim::CodePoints;
using oc::sim::Document;

constexpr int kDocuments = 10000;
constexpr std::size_t kSegmentChars = 38;

// Sentences and characters of the sample corpus, recombined at random:
// about half of every generated document repeats sample sentences (so copied
// segments find long runs in many documents), the rest is random text.
class CorpusGenerator {
  public:
    CorpusGenerator() : random_(20240601) {
        oc::sim::Corpus sample =
            oc::sim::loadCorpus(std::filesystem::path(OC_SOURCE_DIR) / "data/corpus");
        for (const Document& doc : sample.documents) {
            CodePoints sentence;
            for (char32_t c : doc.body) {
                if (c == U'\n') {
                    continue;
                }
                sentence += c;
                if (c >= 0x4E00 && c <= 0x9FFF) {
                    characters_ += c;
                }
                if (c == U'。' || c == U'！' || c == U'？') {
                    sentences_.push_back(sentence);
                    sentence.clear();
                }
            }
        }
    }

    CodePoints randomSentence() {
        CodePoints s;
        std::size_t length = 8 + random_() % 24;
        for (std::size_t i = 0; i < length; ++i) {
            s += characters_[random_() % characters_.size()];
            if (i % 9 == 8 && i + 1 < length) {
                s += U'，';
            }
        }
        return s + U"。";
    }

    CodePoints sampleSentence() { return sentences_[random_() % sentences_.size()]; }

    CodePoints paragraphs(std::size_t sentences) {
        CodePoints text;
        for (std::size_t i = 0; i < sentences; ++i) {
            text += random_() % 2 == 0 ? sampleSentence() : randomSentence();
            if (i % 5 == 4) {
                text += U'\n';
            }
        }
        return text;
    }

    std::vector<Document> documents(int count) {
        std::vector<Document> docs;
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "gen-%05d.txt", i);
            CodePoints title = randomSentence();
            title.pop_back();
            docs.push_back({name, title.substr(0, 16), paragraphs(6 + random_() % 12)});
        }
        return docs;
    }

    // Segments of kSegmentChars: every other one copied from a document, the others random.
    std::vector<CodePoints> segments(const std::vector<Document>& docs, int count) {
        std::vector<CodePoints> out;
        for (int i = 0; i < count; ++i) {
            CodePoints segment;
            if (i % 2 == 0) {
                const CodePoints& body = docs[random_() % docs.size()].body;
                std::size_t start =
                    body.size() > kSegmentChars ? random_() % (body.size() - kSegmentChars) : 0;
                segment = body.substr(start, kSegmentChars);
            } else {
                while (segment.size() < kSegmentChars) {
                    segment += randomSentence();
                }
                segment.resize(kSegmentChars);
            }
            out.push_back(segment);
        }
        return out;
    }

  private:
    std::mt19937 random_;
    std::vector<CodePoints> sentences_;
    CodePoints characters_;
};

struct Fixture {
    Fixture() {
        CorpusGenerator generator;
        std::vector<Document> docs = generator.documents(kDocuments);
        for (const CodePoints& segment : generator.segments(docs, 400)) {
            std::string utf8 = oc::sim::encodeUtf8(segment);
            queryKeys.push_back(oc::sim::matchKeys(segment));
            // Alternate the two engines' forms, as a check with both passes sends them.
            targets.push_back(targets.size() % 2 == 0
                                  ? "/s?wd=" + oc::urlEncode(oc::gbkFromUtf8(utf8)) + "&rn=20&lm=0"
                                  : "/s?q=" + oc::urlEncode(utf8) + "&pn=1");
        }
        service = std::make_unique<oc::sim::SearchService>(std::move(docs), oc::sim::Blocking{});
    }
    std::unique_ptr<oc::sim::SearchService> service;
    std::vector<CodePoints> queryKeys;
    std::vector<std::string> targets;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Times each call of `one(i)` and reports the median and the 99th percentile.
template <typename Query>
void timeQueries(benchmark::State& state, std::size_t queries, Query one) {
    std::vector<double> ms;
    std::size_t i = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        one(i++ % queries);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

void BM_Rank(benchmark::State& state) {
    Fixture& f = fixture();
    timeQueries(state, f.queryKeys.size(), [&](std::size_t i) {
        benchmark::DoNotOptimize(f.service->index().rank(f.queryKeys[i], 10));
    });
}
BENCHMARK(BM_Rank)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_Answer(benchmark::State& state) {
    Fixture& f = fixture();
    timeQueries(state, f.targets.size(),
                [&](std::size_t i) { benchmark::DoNotOptimize(f.service->answer(f.targets[i])); });
}
BENCHMARK(BM_Answer)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_HttpQuery(benchmark::State& state) {
    Fixture& f = fixture();
    oc::sim::SimServer server(*f.service, 0, nullptr);
    int port = server.bind("127.0.0.1", 0);
    std::thread serving([&] { server.run(); });
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    timeQueries(state, f.targets.size(), [&](std::size_t i) {
        auto res = client.Get(f.targets[i].c_str());
        if (!res || res->status != 200) {
            state.SkipWithError("query failed");
        }
    });
    client.stop();
    server.stop();
    serving.join();
}
BENCHMARK(BM_HttpQuery)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_BuildIndex(benchmark::State& state) {
    std::vector<Document> docs = CorpusGenerator().documents(kDocuments);
    for (auto _ : state) {
        oc::sim::BigramIndex index(docs);
        state.counters["postings"] = static_cast<double>(index.postingCount());
    }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Iterations(3);

// Writes the generated corpus and an article of about 5,000 characters, half
// of its sentences taken from corpus documents.
int writeCorpusAndArticle(const std::filesystem::path& folder,
                          const std::filesystem::path& article) {
    CorpusGenerator generator;
    std::vector<Document> docs = generator.documents(kDocuments);
    std::filesystem::create_directories(folder);
    for (const Document& doc : docs) {
        std::ofstream(folder / doc.fileName, std::ios::binary)
            << oc::sim::encodeUtf8(doc.title) << '\n'
            << oc::sim::encodeUtf8(doc.body) << '\n';
    }
    CodePoints text;
    std::mt19937 random(5000);
    while (text.size() < 5000) {
        const CodePoints& body = docs[random() % docs.size()].body;
        std::size_t start = body.size() > 80 ? random() % (body.size() - 80) : 0;
        text += body.substr(start, 80);
        text += generator.paragraphs(2);
        text += U'\n';
    }
    std::ofstream(article, std::ios::binary) << oc::sim::encodeUtf8(text);
    std::cout << docs.size() << " documents in " << folder.string() << ", article of "
              << text.size() << " characters in " << article.string() << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--write-corpus") == 0 &&
        std::strcmp(argv[3], "--write-article") == 0) {
        return writeCorpusAndArticle(argv[2], argv[4]);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
