#include "corpus/bigram_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace oc::corpus {
namespace {

Document doc(std::u32string title, std::u32string body) {
    return Document{"d.txt", std::move(title), std::move(body)};
}

std::vector<std::uint32_t> order(const Ranking& ranking) {
    std::vector<std::uint32_t> out;
    for (const auto& r : ranking.best) {
        out.push_back(r.document);
    }
    return out;
}

TEST(BigramIndex, RanksByLongestSharedRunThenSharedBigramsThenCorpusOrder) {
    std::vector<Document> docs{
        doc(U"无关", U"今天天气很好，我们去公园散步。"),
        doc(U"短", U"春眠不觉晓。夜来风雨声。"),                // run of 5, four shared bigrams
        doc(U"长", U"他说春眠不觉晓，处处闻啼。"),              // run of 10 (with the comma)
        doc(U"散", U"春眠。不觉。处处。啼鸟。"),                // runs of 2 only
        doc(U"多", U"春眠不觉晓。处处。"),                      // run of 5, five shared bigrams
        doc(U"春眠不觉晓，处处闻啼鸟", U"标题里的整句也算。"),  // run of 11 in the title
    };
    BigramIndex index(docs);
    Ranking ranking = index.rank(matchKeys(U"春眠不觉晓，处处闻啼鸟"), 10);
    EXPECT_EQ(ranking.total, 5u);
    EXPECT_EQ(order(ranking), (std::vector<std::uint32_t>{5, 2, 4, 1, 3}));
    EXPECT_EQ(ranking.best[0].longestRun, 11);
    EXPECT_EQ(ranking.best[1].longestRun, 10);
    EXPECT_EQ(ranking.best[2], (RankedDocument{4, 5, 5}));
    EXPECT_EQ(ranking.best[3], (RankedDocument{1, 5, 4}));
    EXPECT_EQ(ranking.best[4].longestRun, 2);

    // The limit keeps the best ones; the total stays.
    Ranking top2 = index.rank(matchKeys(U"春眠不觉晓，处处闻啼鸟"), 2);
    EXPECT_EQ(top2.total, 5u);
    EXPECT_EQ(order(top2), (std::vector<std::uint32_t>{5, 2}));
}

TEST(BigramIndex, RunsNeverCrossLineEndsOrTheTitle) {
    std::vector<Document> docs{doc(U"甲乙", U"丙丁\n戊己")};
    BigramIndex index(docs);
    EXPECT_EQ(index.rank(matchKeys(U"甲乙丙丁戊己"), 10).best.at(0).longestRun, 2);
    EXPECT_EQ(index.rank(matchKeys(U"乙丙"), 10).total, 0u);
    EXPECT_EQ(index.rank(matchKeys(U"甲"), 10).total, 0u);  // one character is no run
    EXPECT_EQ(index.rank(U"", 10).total, 0u);
    EXPECT_TRUE(BigramIndex(std::vector<Document>{}).rank(matchKeys(U"甲乙"), 10).best.empty());
}

// The index, and the ranking of one document from its keys as the archive
// index ranks its candidates, against a direct computation, on small random
// texts with many repeats.
TEST(BigramIndex, AgreesWithDirectComputationOnRandomTexts) {
    const std::u32string alphabet = U"天地人和，。\n甲";
    std::mt19937 random(7);
    auto randomText = [&](std::size_t length) {
        std::u32string text;
        for (std::size_t i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        return text;
    };
    std::vector<Document> docs;
    for (int i = 0; i < 60; ++i) {
        docs.push_back(doc(randomText(random() % 6), randomText(random() % 80)));
    }
    BigramIndex index(docs);
    for (int trial = 0; trial < 200; ++trial) {
        CodePoints query = matchKeys(randomText(2 + random() % 20));
        std::vector<RankedDocument> expected;
        for (std::uint32_t d = 0; d < docs.size(); ++d) {
            CodePoints keys = searchableKeys(docs[d]);
            int longest = 0;
            for (std::size_t i = 0; i < keys.size(); ++i) {
                for (std::size_t s = 0; s < query.size(); ++s) {
                    int k = 0;
                    while (i + k < keys.size() && s + k < query.size() && keys[i + k] != 0 &&
                           keys[i + k] == query[s + k]) {
                        ++k;
                    }
                    longest = std::max(longest, k);
                }
            }
            int shared = 0;
            for (std::size_t s = 0; s + 1 < query.size(); ++s) {
                if (query[s] != 0 && query[s + 1] != 0 &&
                    keys.find(query.substr(s, 2)) != CodePoints::npos) {
                    ++shared;
                }
            }
            if (longest >= 2) {
                expected.push_back({d, longest, shared});
            }
            const RankedDocument direct =
                longest >= 2 ? RankedDocument{0, longest, shared} : RankedDocument{};
            ASSERT_EQ(rankDocument(keys, query), direct) << "trial " << trial << ", document " << d;
        }
        std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
            return std::tie(b.longestRun, b.sharedBigrams, a.document) <
                   std::tie(a.longestRun, a.sharedBigrams, b.document);
        });
        Ranking ranking = index.rank(query, docs.size());
        ASSERT_EQ(ranking.total, expected.size());
        ASSERT_EQ(ranking.best, expected) << "trial " << trial;
    }
}

// Hundreds of thousands of distinct bigrams: the table grows many times and
// its memory and the postings' are mapped from the kernel. Every
// passage finds its own document with the whole passage as the run.
TEST(BigramIndex, FindsEveryPassageInAnIndexOfManyDistinctBigrams) {
    std::mt19937 random(11);
    auto randomText = [&](std::size_t length) {
        std::u32string text;
        for (std::size_t i = 0; i < length; ++i) {
            text += static_cast<char32_t>(0x4E00 + random() % 3000);
        }
        return text;
    };
    std::vector<Document> docs;
    for (int i = 0; i < 400; ++i) {
        docs.push_back(doc(randomText(8), randomText(1000)));
    }
    BigramIndex index(docs);
    EXPECT_EQ(index.postingCount(), 400u * (7 + 999));
    for (std::uint32_t d = 0; d < docs.size(); d += 37) {
        const std::u32string passage = docs[d].body.substr(100 + d, 30);
        Ranking ranking = index.rank(matchKeys(passage), 1);
        ASSERT_EQ(ranking.best.size(), 1u);
        EXPECT_EQ(ranking.best[0].document, d);
        EXPECT_EQ(ranking.best[0].longestRun, 30);
    }
}

}  // namespace
}  // namespace oc::corpus
