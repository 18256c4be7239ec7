// How often the check finds the copies a search engine shows, and how often it
// calls original text copied, in each 检测方式. Labelled articles are built from
// the sample corpus (data/corpus) and from text in no corpus document, written
// here; they are checked against the search simulator (its default, engine-like
// highlighting, served in this process) with both engines and both modes.
//
// Kinds of sentence, each paragraph holding sentences of one kind:
//   copied verbatim; copied with digits and Latin words (from documents added
//   to the corpus here); copied, split by extra commas into short clauses;
//   copied with one or two characters changed; original (written from the word
//   lists below); original made of short words taken from different corpus
//   sentences, so that results highlight them scattered, as real engines do.
// A copied sentence is found when a piece overlapping it is 命中; an original
// one is a false hit when a piece lying mostly (over half its bytes) in it is.
//
//   bench_accuracy [--seed N] [--per-kind N]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/search_sim/search_service.h"
#include "app/search_sim/sim_server.h"
#include "check/article_marks.h"
#include "check/check_pass.h"
#include "corpus/code_points.h"
#include "corpus/corpus.h"
#include "services/boundary_text.h"
#include "tests/support/pass_rig.h"

namespace {

using oc::corpus::CodePoints;
using oc::corpus::decodeUtf8;
using oc::corpus::encodeUtf8;

enum class Kind { Verbatim, DigitsLatin, CommaSplit, Edited, Original, Scattered };
constexpr Kind kKinds[] = {Kind::Verbatim, Kind::DigitsLatin, Kind::CommaSplit,
                           Kind::Edited,   Kind::Original,    Kind::Scattered};

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Verbatim:
            return "copied verbatim";
        case Kind::DigitsLatin:
            return "copied, digits and Latin";
        case Kind::CommaSplit:
            return "copied, split by commas";
        case Kind::Edited:
            return "copied, 1-2 characters changed";
        case Kind::Original:
            return "original (written)";
        case Kind::Scattered:
            return "original, words found scattered";
    }
    return "";
}

bool copied(Kind kind) {
    return kind != Kind::Original && kind != Kind::Scattered;
}

bool isMark(char32_t c) {
    return std::u32string_view(U"，。！？；：、“”‘’（）《》—…").find(c) !=
           std::u32string_view::npos;
}

// The sentences of the corpus bodies: 12 to 60 characters, ending with 。！？.
std::vector<CodePoints> corpusSentences(const std::vector<oc::corpus::Document>& documents) {
    std::vector<CodePoints> sentences;
    for (const oc::corpus::Document& doc : documents) {
        CodePoints current;
        for (char32_t c : doc.body) {
            if (current.empty() && (c == U' ' || c == U'”')) {
                continue;
            }
            current += c;
            if (c == U'。' || c == U'！' || c == U'？') {
                if (current.size() >= 12 && current.size() <= 60) {
                    sentences.push_back(current);
                }
                current.clear();
            }
        }
    }
    return sentences;
}

template <typename T>
const T& pick(std::mt19937& random, const std::vector<T>& items) {
    return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
}

// Sentences with digits and Latin words, written from these lists; they go
// into documents added to the corpus, so copying them is copying.
std::vector<CodePoints> figureSentences(std::mt19937& random, int count) {
    const std::vector<std::u32string> makers{U"苹果公司",     U"一家手机厂商", U"这家电脑公司",
                                             U"某家电器品牌", U"那家相机厂",   U"一家初创公司"};
    const std::vector<std::u32string> products{U"iPhone", U"Galaxy", U"Pixel",   U"ThinkPad",
                                               U"Kindle", U"Mate",   U"Surface", U"Walkman"};
    const std::vector<std::u32string> suffixes{U"Pro", U"Max", U"Ultra", U"Plus", U"mini", U"Air"};
    const std::vector<std::u32string> tails{
        U"起售价比上一代低了不少",       U"首批货在三天之内就卖完了",
        U"不少老用户排队到深夜才买到",   U"屏幕和电池都比去年的型号更大",
        U"发布会上只讲了不到半个小时",   U"评测文章说它的续航依旧一般",
        U"许多人觉得外观和旧款几乎一样", U"价格公布以后网上的议论一直没停",
        U"线下门店的样机前总是围满了人", U"有人专门从外地赶来只为摸一摸它"};
    std::vector<CodePoints> out;
    for (int i = 0; i < count; ++i) {
        const int year = 2015 + static_cast<int>(random() % 10);
        const int month = 1 + static_cast<int>(random() % 12);
        const int model = 3 + static_cast<int>(random() % 20);
        std::string numbers = std::to_string(year) + "年" + std::to_string(month) + "月";
        out.push_back(pick(random, makers) + U"在" + decodeUtf8(numbers) + U"发布了" +
                      pick(random, products) + U" " + decodeUtf8(std::to_string(model)) + U" " +
                      pick(random, suffixes) + U"，" + pick(random, tails) + U"。");
    }
    return out;
}

// Original sentences written from these lists.
std::vector<CodePoints> writtenSentences(std::mt19937& random, int count) {
    const std::vector<std::u32string> when{U"前天傍晚", U"去年冬至", U"上个周末", U"清明前后",
                                           U"那年暑假", U"今天一早", U"月底那天", U"开学前夕"};
    const std::vector<std::u32string> who{U"表姐", U"楼上的邻居", U"我们组长", U"隔壁班的同学",
                                          U"外公", U"快递小哥",   U"老同学",   U"房东太太"};
    const std::vector<std::u32string> where{U"在小区门口", U"在图书馆三楼", U"在高铁站台上",
                                            U"在江边公园", U"在单位食堂",   U"在旧货市场",
                                            U"在医院走廊", U"在体育馆后面"};
    const std::vector<std::u32string> did{U"修好了那辆生锈的三轮车", U"捡到一只会说话的鹦鹉",
                                          U"排了两个钟头的队",       U"把整箱橘子分给了路人",
                                          U"练了一下午的毛笔字",     U"拆开了一封寄错的包裹",
                                          U"给流浪猫搭了个纸箱窝",   U"跟人争论起象棋的规则"};
    const std::vector<std::u32string> felt{U"回家路上一直哼着歌",   U"谁也没想到会这样收场",
                                           U"事后说起来还觉得好笑", U"这件事我们记了很多年",
                                           U"大家都说她运气真好",   U"晚饭时又被拿出来讲了一遍",
                                           U"第二天才知道原委",     U"那天的风特别大"};
    std::vector<CodePoints> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(pick(random, when) + U"，" + pick(random, who) + pick(random, where) +
                      pick(random, did) + U"，" + pick(random, felt) + U"。");
    }
    return out;
}

// Short words (2-4 characters without marks) of corpus sentences, strung
// together: each word is on the web, the sentence is not.
std::vector<CodePoints> scatteredSentences(std::mt19937& random,
                                           const std::vector<CodePoints>& sentences, int count) {
    const std::vector<std::u32string> joints{U"和", U"的", U"，", U"也", U"里", U"就"};
    std::vector<CodePoints> out;
    while (static_cast<int>(out.size()) < count) {
        CodePoints sentence;
        const int words = 5 + static_cast<int>(random() % 3);
        for (int w = 0; w < words; ++w) {
            const CodePoints& source = pick(random, sentences);
            const std::size_t length = 2 + random() % 3;
            const std::size_t start = random() % (source.size() - length);
            CodePoints word = source.substr(start, length);
            if (std::any_of(word.begin(), word.end(), isMark)) {
                --w;
                continue;
            }
            sentence += word;
            sentence += w + 1 < words ? pick(random, joints) : U"。";
        }
        out.push_back(sentence);
    }
    return out;
}

CodePoints splitByCommas(std::mt19937& random, const CodePoints& sentence) {
    CodePoints out;
    std::size_t sinceMark = 0;
    std::size_t next = 3 + random() % 3;
    for (std::size_t i = 0; i < sentence.size(); ++i) {
        out += sentence[i];
        sinceMark = isMark(sentence[i]) ? 0 : sinceMark + 1;
        if (sinceMark >= next && i + 2 < sentence.size() && !isMark(sentence[i + 1])) {
            out += U'，';
            sinceMark = 0;
            next = 3 + random() % 3;
        }
    }
    return out;
}

CodePoints editCharacters(std::mt19937& random, CodePoints sentence) {
    const std::u32string replacements = U"甲乙丙丁戊己庚辛壬癸";
    const int edits = 1 + static_cast<int>(random() % 2);
    for (int e = 0; e < edits;) {
        const std::size_t at = 1 + random() % (sentence.size() - 2);
        if (isMark(sentence[at])) {
            continue;
        }
        sentence[at] = replacements[random() % replacements.size()];
        ++e;
    }
    return sentence;
}

struct Labelled {
    std::size_t begin = 0;  // bytes of the GBK article
    std::size_t end = 0;
};

struct Article {
    oc::Text text;  // GBK, CR LF between paragraphs
    std::vector<Labelled> sentences;
};

Article articleOf(const std::vector<CodePoints>& sentences) {
    Article article;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        if (i > 0 && i % 4 == 0) {
            article.text += "\r\n";
        }
        Labelled labelled;
        labelled.begin = article.text.size();
        article.text += oc::gbkFromUtf8(encodeUtf8(sentences[i]));
        labelled.end = article.text.size();
        article.sentences.push_back(labelled);
    }
    return article;
}

struct Figures {
    int sentences = 0;
    int marked = 0;  // found (copied) or falsely hit (original)
    int pieces = 0;
    long requests = 0;
};

Figures evaluate(const Article& article, const oc::PassOutcome& outcome, bool copiedKind) {
    Figures figures;
    figures.sentences = static_cast<int>(article.sentences.size());
    figures.pieces = outcome.total();
    std::vector<oc::Text> segments(outcome.segments.begin(), outcome.segments.end());
    const auto spans = oc::locateSegments(article.text, segments);
    for (const Labelled& sentence : article.sentences) {
        bool marked = false;
        for (std::size_t p = 0; p < spans.size() && !marked; ++p) {
            if (!spans[p] || outcome.results[p].status != oc::SegmentStatus::Hit) {
                continue;
            }
            const std::size_t from = std::max(spans[p]->begin, sentence.begin);
            const std::size_t to = std::min(spans[p]->end, sentence.end);
            const std::size_t overlap = to > from ? to - from : 0;
            marked = copiedKind ? overlap > 0 : 2 * overlap > spans[p]->end - spans[p]->begin;
        }
        figures.marked += marked ? 1 : 0;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned seed = 7;
    int perKind = 80;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--seed") {
            seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
        } else if (arg == "--per-kind") {
            perKind = std::max(8, std::atoi(argv[i + 1]));
        }
    }
    std::mt19937 random(seed);
    oc::corpus::Corpus corpus = oc::corpus::loadCorpus(OC_SOURCE_DIR "/data/corpus");
    if (corpus.documents.empty()) {
        std::fprintf(stderr, "bench_accuracy: no corpus in %s\n", OC_SOURCE_DIR "/data/corpus");
        return 1;
    }
    std::vector<CodePoints> sentences = corpusSentences(corpus.documents);
    std::shuffle(sentences.begin(), sentences.end(), random);

    // Documents with digits and Latin words join the corpus, ten sentences each.
    std::vector<CodePoints> figures = figureSentences(random, perKind);
    std::vector<oc::corpus::Document> documents = corpus.documents;
    for (std::size_t i = 0; i < figures.size(); i += 10) {
        oc::corpus::Document doc;
        doc.fileName = "figures-" + std::to_string(i / 10) + ".txt";
        doc.title = U"新品发布记录" + decodeUtf8(std::to_string(i / 10));
        for (std::size_t k = i; k < std::min(figures.size(), i + 10); ++k) {
            doc.body += figures[k];
        }
        documents.push_back(std::move(doc));
    }

    std::map<Kind, std::vector<CodePoints>> byKind;
    auto corpusPick = [&](std::size_t k) { return sentences[k % sentences.size()]; };
    for (int k = 0; k < perKind; ++k) {
        const auto at = static_cast<std::size_t>(k);
        byKind[Kind::Verbatim].push_back(corpusPick(at));
        byKind[Kind::CommaSplit].push_back(splitByCommas(random, corpusPick(at + 97)));
        byKind[Kind::Edited].push_back(editCharacters(random, corpusPick(at + 181)));
    }
    byKind[Kind::DigitsLatin] = figures;
    byKind[Kind::Original] = writtenSentences(random, 2 * perKind);
    byKind[Kind::Scattered] = scatteredSentences(random, sentences, 2 * perKind);

    oc::sim::SearchService service(std::move(documents), {});
    std::atomic<long> requests{0};
    oc::sim::SimServer server(service, 0, [&requests](const std::string&) { ++requests; });
    const int port = server.bind("127.0.0.1", 0);
    if (port <= 0) {
        std::fprintf(stderr, "bench_accuracy: cannot listen\n");
        return 1;
    }
    std::thread serving([&server] { server.run(); });
    const std::string url = "http://127.0.0.1:" + std::to_string(port);

    int copiedCount = 0;
    int originalCount = 0;
    for (Kind kind : kKinds) {
        (copied(kind) ? copiedCount : originalCount) += static_cast<int>(byKind[kind].size());
    }
    std::printf(
        "bench_accuracy: seed %u, %d copied and %d original sentences, search-sim with "
        "%zu documents (engine-like highlighting), default settings\n\n",
        seed, copiedCount, originalCount, service.documentCount());
    std::printf("%-6s %-6s %-34s %9s %8s %8s %9s\n", "mode", "engine", "kind", "sentences", "found",
                "share", "requests");
    for (oc::CheckMode mode : {oc::CheckMode::Sentence, oc::CheckMode::Classic}) {
        for (oc::Engine engine : {oc::Engine::Baidu, oc::Engine::So360}) {
            for (Kind kind : kKinds) {
                const Article article = articleOf(byKind[kind]);
                oc::testing::PassRig rig(article.text, "/nonexistent/配置.ini", url);
                rig.env.mode = mode;
                const long before = requests.load();
                oc::PassOutcome outcome;
                oc::runEnginePass(engine, rig.env, outcome);
                Figures result = evaluate(article, outcome, copied(kind));
                result.requests = requests.load() - before;
                std::printf("%-6s %-6s %-34s %9d %8d %7.1f%% %9ld\n",
                            mode == oc::CheckMode::Sentence ? "整句" : "经典",
                            engine == oc::Engine::Baidu ? "百度" : "360", kindName(kind),
                            result.sentences, result.marked,
                            100.0 * result.marked / std::max(1, result.sentences), result.requests);
            }
        }
    }
    std::printf(
        "\nfound: for copied kinds the recall (a piece overlapping the sentence is 命中), "
        "for original kinds the false hits (a piece mostly inside it is 命中)\n");
    server.stop();
    serving.join();
    return 0;
}
