// The local engine on a generated folder of documents (sentences of characters
// drawn from a pool of 3,500 with a Zipf distribution, a fixed seed; 1% of the
// documents hold passages of the sample article), written into a temporary
// folder at start and removed at the end.
//
//   bench_local_corpus [--documents N] [--seed S]
//       The index in memory on 10,000 documents (about 50 MB of UTF-8):
//       indexing throughput, time per segment query, the CPU time of a whole
//       check of a 5,000-character article once the folder is indexed, and the
//       peak memory. Targets: indexing at least 20 MB/s, the article checked
//       in under 1 s of CPU after indexing, peak memory under 400 MB.
//
//   bench_local_corpus --archive [--documents N] [--seed S]
//       The archive index kept on disk, on 200,000 documents (about 1 GB) by
//       default: first indexing throughput (target >= 20 MB/s), the index's
//       size on disk (target <= 2x the text), opening it without the folder
//       scan (<= 0.5 s), the folder scan (<= 2 s), the update after 100 files
//       were touched (<= 3 s), the article checked against it (<= 1 s of CPU),
//       anonymous memory (RssAnon) while indexing (<= 400 MB) and while
//       checking (<= 150 MB), mapped index pages apart. Up to 20,000
//       documents, the answers of every segment are compared with the index in
//       memory.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "check/segmentation.h"
#include "corpus/archive_library.h"
#include "corpus/local_keys.h"
#include "corpus/memory_library.h"
#include "services/boundary_text.h"
#include "settings/settings.h"
#include "tests/support/scripted_platform.h"

namespace {

constexpr std::size_t kPoolChars = 3500;

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A line of /proc/self/status in MB (RssAnon, RssFile).
long statusMb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.starts_with(prefix)) {
            return std::atol(line.c_str() + prefix.size()) / 1024;
        }
    }
    return -1;
}

// The highest RssAnon and RssFile seen while it lives, sampled every 20 ms.
class MemorySampler {
  public:
    MemorySampler()
        : thread_([this] {
              while (!done_) {
                  sample();
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~MemorySampler() { stop(); }
    void stop() {
        if (!done_.exchange(true)) {
            thread_.join();
            sample();
        }
    }
    long anonMb() const { return anon_; }
    long fileMb() const { return file_; }

  private:
    void sample() {
        anon_ = std::max(anon_.load(), statusMb("RssAnon"));
        file_ = std::max(file_.load(), statusMb("RssFile"));
    }
    std::atomic<bool> done_{false};
    std::atomic<long> anon_{0};
    std::atomic<long> file_{0};
    std::thread thread_;
};

// Sentences of characters from the first 3,500 characters of GB2312 (its
// common characters), the character of rank r drawn with weight 1/r.
class TextGenerator {
  public:
    explicit TextGenerator(unsigned seed) : random_(seed) {
        std::vector<double> weights;
        for (int row = 0xB0; row <= 0xD7 && pool_.size() < kPoolChars; ++row) {
            for (int cell = 0xA1; cell <= 0xFE && pool_.size() < kPoolChars; ++cell) {
                const char gbk[2] = {static_cast<char>(row), static_cast<char>(cell)};
                pool_.push_back(oc::utf8FromGbk(std::string_view(gbk, 2)));
                weights.push_back(1.0 / static_cast<double>(pool_.size()));
            }
        }
        // Mix the pinyin order, so that frequent characters are not neighbours.
        std::shuffle(pool_.begin(), pool_.end(), random_);
        rank_ = std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
    }

    std::string sentence() {
        std::string s;
        std::size_t length = 8 + random_() % 23;
        for (std::size_t i = 0; i < length; ++i) {
            s += pool_[rank_(random_)];
            if (i % 9 == 8 && i + 1 < length) {
                s += "，";
            }
        }
        return s + "。";
    }

    unsigned next() { return static_cast<unsigned>(random_()); }

  private:
    std::mt19937 random_;
    std::vector<std::string> pool_;
    std::discrete_distribution<std::size_t> rank_;
};

std::string sampleArticle() {
    std::ifstream in(std::filesystem::path(OC_SOURCE_DIR) / "data/sample-article.txt",
                     std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A passage of the sample article: whole lines from a random one on, up to `bytes`.
std::string passageOf(const std::vector<std::string>& lines, TextGenerator& generator,
                      std::size_t bytes) {
    std::string passage;
    for (std::size_t i = generator.next() % lines.size();
         i < lines.size() && passage.size() < bytes; ++i) {
        passage += lines[i] + "\n";
    }
    return passage;
}

// Writes the documents (in folders of 100) and returns their total size in bytes.
std::uintmax_t writeCorpus(const std::filesystem::path& folder, int documents, unsigned seed) {
    TextGenerator generator(seed);
    std::vector<std::string> lines;
    std::string sample = sampleArticle();
    for (std::size_t start = 0; start < sample.size();) {
        std::size_t end = std::min(sample.find('\n', start), sample.size());
        if (end > start + 1) {
            lines.push_back(sample.substr(start, end - start));
        }
        start = end + 1;
    }
    std::uintmax_t total = 0;
    for (int d = 0; d < documents; ++d) {
        std::string text = generator.sentence() + "\n";
        // About 5,000 bytes each, between 2,000 and 8,000.
        std::size_t target = 2000 + generator.next() % 6000;
        while (text.size() < target) {
            for (int s = 0; s < 6; ++s) {
                text += generator.sentence();
            }
            text += "\n";
            if (d % 100 == 7 && text.size() > target / 2 && text.size() < target / 2 + 400) {
                text += passageOf(lines, generator, 600);
            }
        }
        char name[64];
        std::snprintf(name, sizeof name, "part-%03d/doc-%05d.txt", d / 100, d);
        std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        total += text.size();
    }
    return total;
}

// The sample article followed by generated sentences up to 5,000 characters.
std::string articleOf5000Chars(unsigned seed) {
    TextGenerator generator(seed + 1);
    oc::Text gbk = oc::gbkFromUtf8(sampleArticle());
    while (oc::articleCharCount(oc::prepareArticle(gbk)) < 5000) {
        gbk += oc::gbkFromUtf8(generator.sentence());
    }
    return gbk;
}

// The segments of the article, as the pass cuts them, as local keys.
std::vector<std::u32string> segmentKeysOf(const oc::Text& article) {
    const oc::CheckSettings settings;
    std::vector<std::u32string> keys;
    for (const oc::Text& segment : oc::splitSegments(
             oc::cutSegments(oc::prepareArticle(article), 2 * settings.segmentChars))) {
        keys.push_back(oc::corpus::localKeys(segment));
    }
    return keys;
}

// The whole pass of the local engine over the article: its thread's CPU time.
double checkArticle(const std::shared_ptr<oc::corpus::DocumentLibrary>& library,
                    const std::filesystem::path& folder, const oc::Text& article,
                    oc::PassOutcome& outcome, std::string& value) {
    oc::testing::ScriptedPlatform platform;
    oc::MemoryWindow window;
    window.setEditContent(oc::component::kArticleBox, article);
    oc::PassEnvironment env;
    env.localFolder = folder.string();
    env.library = library;
    env.settingsPath = oc::gbkFromUtf8((folder / "配置.ini").string());
    env.window = &window;
    env.platform = &platform;
    double cpu = threadCpuSeconds();
    oc::runEnginePass(oc::Engine::Local, env, outcome);
    value = oc::utf8FromGbk(window.caption(oc::component::kLocalValueLabel));
    return threadCpuSeconds() - cpu;
}

// Appends a sentence to `count` files spread over the folder.
void touchFiles(const std::filesystem::path& folder, int documents, int count) {
    for (int k = 0; k < count; ++k) {
        const int d = static_cast<int>(static_cast<long>(k) * documents / count);
        char name[64];
        std::snprintf(name, sizeof name, "part-%03d/doc-%05d.txt", d / 100, d);
        std::ofstream(folder / name, std::ios::binary | std::ios::app) << "后来又补上了一句话。\n";
    }
}

int runArchive(const std::filesystem::path& folder, int documents, unsigned seed) {
    const std::filesystem::path indexRoot = folder.string() + "-index";
    std::filesystem::remove_all(indexRoot);
    std::printf("generating %d documents into %s (seed %u) ...\n", documents,
                folder.string().c_str(), seed);
    const std::uintmax_t bytes = writeCorpus(folder, documents, seed);
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("archive: %.1f MB of UTF-8 text in %d files (in the page cache)\n", mb, documents);
    std::printf("before indexing: RssAnon %ld MB\n", statusMb("RssAnon"));

    auto archive = std::make_shared<oc::corpus::ArchiveLibrary>(indexRoot.string());
    oc::corpus::LibraryUpdate update;
    double indexWall = 0;
    double indexCpu = 0;
    {
        MemorySampler memory;
        auto wall = std::chrono::steady_clock::now();
        double cpu = processCpuSeconds();
        update = archive->update(folder.string());
        indexWall = since(wall);
        indexCpu = processCpuSeconds() - cpu;
        memory.stop();
        std::printf(
            "first indexing: %.2f s wall, %.2f s CPU, %.1f MB/s (target >= 20; %.1f MB per CPU "
            "second); %zu documents in %zu parts, %zu skipped; RssAnon peak %ld MB (target <= "
            "400), RssFile peak %ld MB\n",
            indexWall, indexCpu, mb / indexWall, mb / indexCpu, archive->documentCount(),
            archive->partCount(), archive->skipped().size(), memory.anonMb(), memory.fileMb());
    }
    const double indexMb = static_cast<double>(archive->indexBytes()) / 1e6;
    std::printf("index on disk: %.1f MB, %.2f x the text (target <= 2)\n", indexMb, indexMb / mb);
    archive.reset();
    ::malloc_trim(0);  // what indexing freed goes back, as in a program started afresh

    auto wall = std::chrono::steady_clock::now();
    auto opened = std::make_shared<oc::corpus::ArchiveLibrary>(indexRoot.string());
    const bool ok = opened->open(folder.string());
    std::printf(
        "opening the index without the folder scan: %.3f s (target <= 0.5)%s; RssAnon %ld MB\n",
        since(wall), ok ? "" : " FAILED", statusMb("RssAnon"));

    wall = std::chrono::steady_clock::now();
    oc::corpus::FolderListing listing = oc::corpus::listDocumentFiles(folder.string());
    std::printf("folder scan of %zu files: %.3f s (target <= 2)\n", listing.files.size(),
                since(wall));

    wall = std::chrono::steady_clock::now();
    oc::corpus::LibraryUpdate again = opened->update(folder.string());
    std::printf("update with nothing changed: %.3f s (%zu files reused, %zu read)\n", since(wall),
                again.filesReused, again.filesRead);

    touchFiles(folder, documents, 100);
    wall = std::chrono::steady_clock::now();
    oc::corpus::LibraryUpdate touched = opened->update(folder.string());
    std::printf("update after touching 100 files: %.3f s (target <= 3; %zu changed, %zu parts)\n",
                since(wall), touched.filesChanged, opened->partCount());

    // A fresh program: the index opened, then the check (with its update) as the pass runs it.
    opened.reset();
    listing = {};
    ::malloc_trim(0);
    std::printf("before checking: RssAnon %ld MB\n", statusMb("RssAnon"));
    const oc::Text article = articleOf5000Chars(seed);
    auto checking = std::make_shared<oc::corpus::ArchiveLibrary>(indexRoot.string());
    oc::PassOutcome outcome;
    std::string value;
    MemorySampler memory;
    wall = std::chrono::steady_clock::now();
    const double passCpu = checkArticle(checking, folder, article, outcome, value);
    const double passWall = since(wall);
    memory.stop();
    std::printf(
        "5,000-character article (%d segments, %d copied) with the update first: %.3f s CPU, "
        "%.3f s wall (target <= 1 s CPU); value %s; RssAnon peak %ld MB (target <= 150), "
        "RssFile peak %ld MB (mapped index pages and program)\n",
        outcome.total(), outcome.count(oc::SegmentStatus::Hit), passCpu, passWall, value.c_str(),
        memory.anonMb(), memory.fileMb());
    double queryCpu = threadCpuSeconds();
    const std::vector<std::u32string> segments = segmentKeysOf(article);
    std::vector<oc::corpus::LocalMatch> answers;
    for (const std::u32string& keys : segments) {
        answers.push_back(checking->match(keys, oc::CheckSettings().minRunChars));
    }
    queryCpu = threadCpuSeconds() - queryCpu;
    std::printf("the segments alone: %.3f s CPU for %zu segments (%.2f ms each)\n", queryCpu,
                segments.size(), queryCpu * 1000 / static_cast<double>(segments.size()));

    if (documents <= 20000) {
        oc::corpus::MemoryLibrary memoryLibrary;
        memoryLibrary.update(folder.string());
        std::size_t same = 0;
        for (std::size_t s = 0; s < segments.size(); ++s) {
            same += memoryLibrary.match(segments[s], oc::CheckSettings().minRunChars) == answers[s];
        }
        std::printf("same answers as the index in memory: %zu of %zu segments%s\n", same,
                    segments.size(), same == segments.size() ? "" : " MISMATCH");
    }
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(indexRoot);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int documents = 0;
    unsigned seed = 20261208;
    bool archive = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--archive") == 0) {
            archive = true;
        } else if (std::strcmp(argv[i], "--documents") == 0 && i + 1 < argc) {
            documents = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        }
    }
    if (documents == 0) {
        documents = archive ? 200000 : 10000;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("oc-bench-local-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    if (archive) {
        return runArchive(folder, documents, seed);
    }
    std::printf("generating %d documents into %s (seed %u) ...\n", documents,
                folder.string().c_str(), seed);
    const std::uintmax_t bytes = writeCorpus(folder, documents, seed);
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("corpus: %.1f MB of UTF-8 text in %d files (in the page cache)\n", mb, documents);
    const long rssBefore = peakRssMb();

    auto library = std::make_shared<oc::corpus::MemoryLibrary>();
    auto wall = std::chrono::steady_clock::now();
    double cpu = processCpuSeconds();
    oc::corpus::LibraryUpdate update = library->update(folder.string());
    double indexWall = since(wall);
    double indexCpu = processCpuSeconds() - cpu;
    std::printf(
        "indexing: %.2f s wall, %.2f s CPU, %.1f MB/s (target >= 20); %zu documents, "
        "%zu skipped\n",
        indexWall, indexCpu, mb / indexWall, library->documentCount(), library->skipped().size());
    (void)update;

    wall = std::chrono::steady_clock::now();
    oc::corpus::LibraryUpdate again = library->update(folder.string());
    std::printf("update with nothing changed: %.3f s (%zu files reused, %zu read)\n", since(wall),
                again.filesReused, again.filesRead);

    // The article's segments, as the pass cuts them, one query each.
    const oc::Text article = articleOf5000Chars(seed);
    const oc::CheckSettings settings;
    oc::SegmentList segments =
        oc::splitSegments(oc::cutSegments(oc::prepareArticle(article), 2 * settings.segmentChars));
    std::vector<double> times;
    int hits = 0;
    for (const oc::Text& segment : segments) {
        auto start = std::chrono::steady_clock::now();
        oc::corpus::LocalMatch match =
            library->match(oc::corpus::localKeys(segment), settings.minRunChars);
        times.push_back(since(start) * 1000.0);
        hits += match.hits > 0 ? 1 : 0;
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    std::printf(
        "segment query: mean %.3f ms, median %.3f ms, p99 %.3f ms over %zu segments "
        "(%d copied)\n",
        sum / static_cast<double>(times.size()), times[times.size() / 2],
        times[std::min(times.size() - 1, times.size() * 99 / 100)], times.size(), hits);

    // The whole pass of the local engine over the 5,000-character article.
    oc::testing::ScriptedPlatform platform;
    oc::MemoryWindow window;
    window.setEditContent(oc::component::kArticleBox, article);
    oc::PassEnvironment env;
    env.localFolder = folder.string();
    env.library = library;
    env.settingsPath = oc::gbkFromUtf8((folder / "配置.ini").string());
    env.window = &window;
    env.platform = &platform;
    oc::PassOutcome outcome;
    double passCpu = threadCpuSeconds();
    wall = std::chrono::steady_clock::now();
    oc::runEnginePass(oc::Engine::Local, env, outcome);
    passCpu = threadCpuSeconds() - passCpu;
    std::printf(
        "5,000-character article (%d segments, %d copied), after indexing: %.3f s CPU, "
        "%.3f s wall (target < 1 s CPU); value %s\n",
        outcome.total(), outcome.count(oc::SegmentStatus::Hit), passCpu, since(wall),
        oc::utf8FromGbk(window.caption(oc::component::kLocalValueLabel)).c_str());
    std::printf("peak RSS: %ld MB (target < 400; %ld MB before indexing)\n", peakRssMb(),
                rssBefore);
    std::filesystem::remove_all(folder);
    return 0;
}
