#include "corpus/part_postings.h"

#include <algorithm>
#include <vector>

#include "corpus/large_array.h"

namespace oc::corpus {
namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

// Numbers the characters of the documents 1..N in code point order, so that
// the order of numbers is the order of keys. The table covers code points;
// anything above them (not from decoded text) is looked up in the sorted list.
class CharacterNumbers {
  public:
    CharacterNumbers(std::uint32_t count, const KeysOf& keysOf) {
        std::vector<std::uint64_t> seen((kLastCodePoint >> 6) + 1, 0);
        for (std::uint32_t d = 0; d < count; ++d) {
            for (char32_t c : keysOf(d)) {
                if (c > kLastCodePoint) {
                    beyond_.push_back(c);
                } else {
                    seen[c >> 6] |= std::uint64_t{1} << (c & 63);
                }
            }
        }
        std::sort(beyond_.begin(), beyond_.end());
        beyond_.erase(std::unique(beyond_.begin(), beyond_.end()), beyond_.end());
        number_.assign(kLastCodePoint + 1, 0);
        chars_.push_back(0);
        for (std::size_t word = 0; word < seen.size(); ++word) {
            for (std::uint64_t bits = seen[word]; bits != 0; bits &= bits - 1) {
                const auto c =
                    static_cast<char32_t>(word * 64 + std::size_t(__builtin_ctzll(bits)));
                if (c != 0) {
                    number_[c] = static_cast<std::uint32_t>(chars_.size());
                    chars_.push_back(c);
                }
            }
        }
        chars_.insert(chars_.end(), beyond_.begin(), beyond_.end());
    }

    // 0 for the separator.
    std::uint32_t of(char32_t c) const {
        if (c <= kLastCodePoint) {
            return number_[c];
        }
        const auto at = std::lower_bound(beyond_.begin(), beyond_.end(), c);
        return static_cast<std::uint32_t>(chars_.size() - beyond_.size() +
                                          static_cast<std::size_t>(at - beyond_.begin()));
    }
    char32_t character(std::uint32_t number) const { return chars_[number]; }
    std::size_t count() const { return chars_.size(); }

  private:
    std::vector<std::uint32_t> number_;
    std::vector<char32_t> chars_;  // by number; 0 first
    std::vector<char32_t> beyond_;
};

}  // namespace

void forEachBigramInKeyOrder(std::uint32_t count, const KeysOf& keysOf, const VisitBigram& visit) {
    const CharacterNumbers numbers(count, keysOf);
    // Per first character, where its postings start.
    std::vector<std::size_t> start(numbers.count() + 1, 0);
    auto forEachBigram = [&](auto handle) {
        for (std::uint32_t d = 0; d < count; ++d) {
            const std::u32string_view k = keysOf(d);
            std::uint32_t first = k.empty() ? 0 : numbers.of(k[0]);
            for (std::size_t i = 0; i + 1 < k.size(); ++i) {
                const std::uint32_t second = numbers.of(k[i + 1]);
                if (first != 0 && second != 0) {
                    handle(first, second, (Posting{d} << 32) | i);
                }
                first = second;
            }
        }
    };
    forEachBigram([&](std::uint32_t first, std::uint32_t, Posting) { ++start[first + 1]; });
    for (std::size_t n = 1; n < start.size(); ++n) {
        start[n] += start[n - 1];
    }
    // Spread by first character, each share in document and position order.
    LargeArray<Posting> postings(start.back());
    LargeArray<std::uint32_t> seconds(start.back());
    {
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        forEachBigram([&](std::uint32_t first, std::uint32_t second, Posting posting) {
            const std::size_t at = next[first]++;
            postings[at] = posting;
            seconds[at] = second;
        });
    }
    // Each share sorted by second character (a counting sort, so the order
    // within a bigram stays), then handed out.
    std::vector<std::uint32_t> counts(numbers.count(), 0);
    std::vector<std::uint32_t> present;
    std::vector<Posting> sorted;
    for (std::uint32_t first = 1; first < numbers.count(); ++first) {
        const std::size_t begin = start[first];
        const std::size_t end = start[first + 1];
        if (begin == end) {
            continue;
        }
        present.clear();
        for (std::size_t at = begin; at < end; ++at) {
            if (counts[seconds[at]]++ == 0) {
                present.push_back(seconds[at]);
            }
        }
        std::sort(present.begin(), present.end());
        std::uint32_t offset = 0;
        for (std::uint32_t second : present) {
            const std::uint32_t n = counts[second];
            counts[second] = offset;
            offset += n;
        }
        sorted.resize(end - begin);
        for (std::size_t at = begin; at < end; ++at) {
            sorted[counts[seconds[at]]++] = postings[at];
        }
        // counts[second] is now the end of its postings.
        std::uint32_t from = 0;
        const std::uint64_t high = std::uint64_t{numbers.character(first)} << 32;
        for (std::uint32_t second : present) {
            const std::uint32_t to = counts[second];
            visit(high | numbers.character(second), sorted.data() + from, sorted.data() + to);
            from = to;
            counts[second] = 0;
        }
    }
}

}  // namespace oc::corpus
