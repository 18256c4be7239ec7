// The ranges of the bigram index by bigram: an open-addressing hash table with
// linear probing, flat in memory, since building the index looks up every
// character pair of every document twice.
#pragma once

#include <cstdint>

#include "corpus/large_array.h"

namespace oc::corpus {

struct PostingRange {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
};

class BigramTable {
  public:
    // The range of a key (never 0), added empty when absent.
    PostingRange& operator[](std::uint64_t key) {
        if ((used_ + 1) * 4 > slots_.size() * 3) {
            grow();
        }
        Slot& slot = slots_[slotOf(key)];
        if (slot.key == 0) {
            slot.key = key;
            ++used_;
        }
        return slot.range;
    }

    // Asks the processor to bring the key's first slot in ahead of a lookup.
    void prefetch(std::uint64_t key) const {
        if (!slots_.empty()) {
            __builtin_prefetch(&slots_[firstSlot(key)]);
        }
    }

    const PostingRange* find(std::uint64_t key) const {
        if (slots_.empty()) {
            return nullptr;
        }
        const Slot& slot = slots_[slotOf(key)];
        return slot.key == key ? &slot.range : nullptr;
    }

    // Every range in table order (for laying the postings out).
    template <typename Visit>
    void forEach(Visit visit) {
        for (Slot& slot : slots_) {
            if (slot.key != 0) {
                visit(slot.range);
            }
        }
    }
    // Every key with its range, in table order.
    template <typename Visit>
    void forEach(Visit visit) const {
        for (const Slot& slot : slots_) {
            if (slot.key != 0) {
                visit(slot.key, slot.range);
            }
        }
    }

  private:
    // Key and range side by side: one cache line per lookup.
    struct Slot {
        std::uint64_t key;  // 0: empty
        PostingRange range;
    };

    std::size_t firstSlot(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (slots_.size() - 1);
    }

    // The key's slot, or the empty slot where it would go.
    std::size_t slotOf(std::uint64_t key) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = firstSlot(key);
        while (slots_[slot].key != 0 && slots_[slot].key != key) {
            slot = (slot + 1) & mask;
        }
        return slot;
    }

    void grow() {
        LargeArray<Slot> old = std::move(slots_);
        slots_ = LargeArray<Slot>(old.empty() ? 1024 : old.size() * 2);
        for (const Slot& slot : old) {
            if (slot.key != 0) {
                slots_[slotOf(slot.key)] = slot;
            }
        }
    }

    LargeArray<Slot> slots_;  // all zero: every slot empty
    std::size_t used_ = 0;
};

}  // namespace oc::corpus
