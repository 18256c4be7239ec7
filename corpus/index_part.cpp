#include "corpus/index_part.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "corpus/varint.h"

namespace oc::corpus {
namespace {

constexpr char kMagic[8] = {'O', 'C', 'I', 'X', 'P', 'A', 'R', 'T'};
constexpr std::size_t kHeaderBytes = 64;
constexpr std::size_t kBlockEntries = 32;
constexpr std::size_t kBlockBytes = 24;  // first key, table offset, postings offset

void put64(std::string& out, std::size_t at, std::uint64_t value) {
    std::memcpy(out.data() + at, &value, sizeof value);
}

std::uint64_t get64(const unsigned char* at) {
    std::uint64_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint32_t get32(const unsigned char* at) {
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void appendPostings(std::string& out, const Posting* begin, const Posting* end) {
    std::uint64_t previousDoc = 0;
    std::uint64_t previousPosition = 0;
    bool first = true;
    for (const Posting* p = begin; p < end; ++p) {
        const std::uint64_t doc = *p >> 32;
        const std::uint64_t position = *p & 0xFFFFFFFFu;
        if (!first && doc == previousDoc) {
            appendVarint(out, (position - previousPosition) << 1);
        } else {
            appendVarint(out, ((first ? doc + 1 : doc - previousDoc) << 1) | 1);
            appendVarint(out, position);
        }
        first = false;
        previousDoc = doc;
        previousPosition = position;
    }
}

// Decodes a posting list, leaving out documents whose order is kGone; false
// when the bytes are damaged.
bool decodePostings(std::string_view bytes, std::uint32_t documentCount,
                    const std::vector<std::uint32_t>& order, std::vector<Posting>& out) {
    out.clear();
    auto at = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = at + bytes.size();
    std::uint64_t doc = 0;
    std::uint64_t position = 0;
    bool first = true;
    while (at < end) {
        std::uint64_t value = 0;
        if (!readVarint(at, end, value)) {
            return false;
        }
        if ((value & 1) != 0) {
            std::uint64_t gap = value >> 1;
            doc = first ? gap - 1 : doc + gap;
            if (gap == 0 || doc >= documentCount || !readVarint(at, end, position)) {
                return false;
            }
        } else if (first) {
            return false;
        } else {
            position += value >> 1;
        }
        if (position > 0xFFFFFFFFu) {
            return false;
        }
        first = false;
        if (order[doc] != IndexPart::kGone) {
            out.push_back((doc << 32) | position);
        }
    }
    return true;
}

}  // namespace

bool IndexPart::write(const std::string& path, std::uint32_t count, const KeysOf& keysOf) {
    // Written under another name and renamed: a program that still maps a
    // part of the same name (of an index since rebuilt) keeps its pages.
    const std::string writing = path + ".writing";
    FileWriter writer(writing);
    writer.write(std::string(kHeaderBytes, '\0'));
    std::string table;
    std::string blocks;
    std::string encoded;
    std::uint64_t postingsBytes = 0;
    std::uint64_t previousKey = 0;
    std::uint64_t bigrams = 0;
    forEachBigramInKeyOrder(count, keysOf,
                            [&](std::uint64_t key, const Posting* begin, const Posting* end) {
                                if (bigrams % kBlockEntries == 0) {
                                    std::string block(kBlockBytes, '\0');
                                    put64(block, 0, key);
                                    put64(block, 8, table.size());
                                    put64(block, 16, postingsBytes);
                                    blocks += block;
                                    previousKey = key;
                                }
                                ++bigrams;
                                encoded.clear();
                                appendPostings(encoded, begin, end);
                                writer.write(encoded);
                                appendVarint(table, key - previousKey);
                                appendVarint(table, encoded.size());
                                previousKey = key;
                                postingsBytes += encoded.size();
                            });
    const std::uint64_t tableOffset = kHeaderBytes + postingsBytes;
    writer.write(table);
    writer.write(blocks);

    std::string header(kHeaderBytes, '\0');
    std::memcpy(header.data(), kMagic, sizeof kMagic);
    std::memcpy(header.data() + 8, &kIndexFormatVersion, 4);
    std::memcpy(header.data() + 12, &count, 4);
    put64(header, 16, bigrams);
    put64(header, 24, kHeaderBytes);
    put64(header, 32, postingsBytes);
    put64(header, 40, tableOffset);
    put64(header, 48, table.size());
    put64(header, 56, tableOffset + table.size());
    writer.writeAt(0, header);
    if (!writer.finish() || ::rename(writing.c_str(), path.c_str()) != 0) {
        ::unlink(writing.c_str());
        return false;
    }
    return true;
}

IndexPart::IndexPart(const std::string& path) : file_(path) {
    if (!file_.ok() || file_.size() < kHeaderBytes ||
        std::memcmp(file_.data(), kMagic, sizeof kMagic) != 0 ||
        get32(file_.data() + 8) != kIndexFormatVersion) {
        return;
    }
    const unsigned char* h = file_.data();
    documentCount_ = get32(h + 12);
    bigramCount_ = get64(h + 16);
    const std::uint64_t postingsOffset = get64(h + 24);
    const std::uint64_t postingsBytes = get64(h + 32);
    const std::uint64_t tableOffset = get64(h + 40);
    const std::uint64_t tableBytes = get64(h + 48);
    const std::uint64_t blocksOffset = get64(h + 56);
    const std::uint64_t blockCount = (bigramCount_ + kBlockEntries - 1) / kBlockEntries;
    const std::uint64_t size = file_.size();
    // Every section where the header says, and the file ends with the last.
    if (postingsOffset != kHeaderBytes || postingsBytes > size ||
        tableOffset != postingsOffset + postingsBytes || tableBytes > size ||
        blocksOffset != tableOffset + tableBytes || blockCount > size / kBlockBytes ||
        blocksOffset + blockCount * kBlockBytes != size) {
        return;
    }
    auto view = [this](std::uint64_t offset, std::uint64_t bytes) {
        return std::string_view(reinterpret_cast<const char*>(file_.data()) + offset, bytes);
    };
    postings_ = view(postingsOffset, postingsBytes);
    table_ = view(tableOffset, tableBytes);
    blocks_ = view(blocksOffset, blockCount * kBlockBytes);
    ok_ = true;
}

std::string_view IndexPart::postingsOf(std::uint64_t key) const {
    const std::size_t blockCount = blocks_.size() / kBlockBytes;
    auto block = [this](std::size_t b) {
        return reinterpret_cast<const unsigned char*>(blocks_.data()) + b * kBlockBytes;
    };
    // The last block whose first key is not above the key.
    std::size_t low = 0;
    std::size_t high = blockCount;
    while (low < high) {
        std::size_t mid = (low + high) / 2;
        if (get64(block(mid)) <= key) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    if (low == 0) {
        return {};
    }
    const std::size_t b = low - 1;
    std::uint64_t entryKey = get64(block(b));
    const std::uint64_t tableAt = get64(block(b) + 8);
    std::uint64_t postingsAt = get64(block(b) + 16);
    if (tableAt > table_.size()) {
        return {};
    }
    auto at = reinterpret_cast<const unsigned char*>(table_.data()) + tableAt;
    const auto end = reinterpret_cast<const unsigned char*>(table_.data()) + table_.size();
    const std::size_t entries =
        std::min<std::uint64_t>(kBlockEntries, bigramCount_ - b * kBlockEntries);
    for (std::size_t e = 0; e < entries; ++e) {
        std::uint64_t gap = 0;
        std::uint64_t bytes = 0;
        if (!readVarint(at, end, gap) || !readVarint(at, end, bytes)) {
            return {};
        }
        entryKey += gap;
        if (entryKey == key) {
            if (postingsAt > postings_.size() || bytes > postings_.size() - postingsAt) {
                return {};
            }
            return postings_.substr(postingsAt, bytes);
        }
        if (entryKey > key) {
            return {};
        }
        postingsAt += bytes;
    }
    return {};
}

void IndexPart::mayShareRun(std::u32string_view queryKeys, std::size_t runBigrams,
                            const std::vector<std::uint32_t>& order,
                            std::vector<std::uint32_t>& out, bool& damaged) const {
    if (!ok_ || order.size() != documentCount_) {
        damaged = true;
        return;
    }
    if (runBigrams == 0 || queryKeys.size() < runBigrams + 1) {
        return;
    }
    const std::size_t bigrams = queryKeys.size() - 1;
    std::vector<std::string_view> lists(bigrams);
    for (std::size_t i = 0; i < bigrams; ++i) {
        if (queryKeys[i] != 0 && queryKeys[i + 1] != 0) {
            lists[i] = postingsOf((std::uint64_t{queryKeys[i]} << 32) | queryKeys[i + 1]);
        }
    }
    // Every window of `window` neighbouring query bigrams holds a chosen one
    // (the shortest list of the first window not yet covered, the later on a
    // tie). A run of `runBigrams` then holds two chosen bigrams, found in the
    // document at the same distance as in the query: on one diagonal.
    const bool twoOnADiagonal = runBigrams >= 2;
    const std::size_t window = twoOnADiagonal ? runBigrams / 2 : runBigrams;
    struct Found {
        std::uint32_t document;
        std::int64_t diagonal;  // position in the document less position in the query
        std::uint32_t bigram;
    };
    std::vector<Found> found;
    std::vector<Posting> postings;
    for (std::size_t uncovered = 0; uncovered + window <= bigrams;) {
        std::size_t chosen = uncovered;
        for (std::size_t i = uncovered; i < uncovered + window; ++i) {
            if (lists[i].size() <= lists[chosen].size()) {
                chosen = i;
            }
        }
        if (!decodePostings(lists[chosen], documentCount_, order, postings)) {
            damaged = true;
        }
        for (Posting posting : postings) {
            const auto document = static_cast<std::uint32_t>(posting >> 32);
            if (twoOnADiagonal) {
                const auto position = static_cast<std::int64_t>(posting & 0xFFFFFFFFu);
                found.push_back({document, position - static_cast<std::int64_t>(chosen),
                                 static_cast<std::uint32_t>(chosen)});
            } else {
                out.push_back(order[document]);
            }
        }
        uncovered = chosen + 1;
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.document, a.diagonal, a.bigram) <
               std::tie(b.document, b.diagonal, b.bigram);
    });
    for (std::size_t k = 1; k < found.size(); ++k) {
        const Found& a = found[k - 1];
        const Found& b = found[k];
        if (a.document == b.document && a.diagonal == b.diagonal && b.bigram > a.bigram &&
            b.bigram - a.bigram < runBigrams && (out.empty() || out.back() != order[a.document])) {
            out.push_back(order[a.document]);
        }
    }
}

std::optional<RankedDocument> IndexPart::best(std::u32string_view queryKeys,
                                              const std::vector<std::uint32_t>& order,
                                              bool& damaged) const {
    if (!ok_ || order.size() != documentCount_) {
        damaged = true;
        return std::nullopt;
    }
    RunAccumulator runs(documentCount_);
    std::vector<Posting> postings;
    for (std::size_t i = 0; i + 1 < queryKeys.size(); ++i) {
        postings.clear();
        if (queryKeys[i] != 0 && queryKeys[i + 1] != 0) {
            const std::uint64_t key = (std::uint64_t{queryKeys[i]} << 32) | queryKeys[i + 1];
            if (!decodePostings(postingsOf(key), documentCount_, order, postings)) {
                damaged = true;
                postings.clear();
            }
        }
        runs.step(i, postings.data(), postings.data() + postings.size());
    }
    std::optional<RankedDocument> best;
    for (const RankedDocument& ranked : runs.documents()) {
        if (!best || rankedBefore(ranked, order[ranked.document], *best, order[best->document])) {
            best = ranked;
        }
    }
    return best;
}

}  // namespace oc::corpus
