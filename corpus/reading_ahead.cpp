#include "corpus/reading_ahead.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace oc::corpus {
namespace {

// Files per batch: a stop waits for one batch at most.
constexpr std::size_t kBatchFiles = 64;
constexpr unsigned kMaxThreads = 4;

}  // namespace

ReadingAhead::ReadingAhead(const std::vector<FolderEntry>& files,
                           const std::vector<std::size_t>& wanted)
    : files_(files),
      wanted_(wanted),
      threads_(std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads)) {}

void ReadingAhead::readBatch() {
    batchStart_ = next_;
    const std::size_t count = std::min(kBatchFiles, wanted_.size() - next_);
    next_ += count;
    batch_.assign(count, DocumentRead());
    std::atomic<std::size_t> claimed{0};
    auto work = [&] {
        for (std::size_t k = claimed++; k < count; k = claimed++) {
            batch_[k] = readDocument(files_[wanted_[batchStart_ + k]]);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads_ && t < count; ++t) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

DocumentRead ReadingAhead::take(std::size_t file) {
    while (next_ < wanted_.size() &&
           (batch_.empty() || wanted_[batchStart_ + batch_.size() - 1] < file)) {
        readBatch();
    }
    for (std::size_t k = 0; k < batch_.size(); ++k) {
        if (wanted_[batchStart_ + k] == file) {
            return std::move(batch_[k]);
        }
    }
    return readDocument(files_[file]);  // not wanted after all
}

}  // namespace oc::corpus
