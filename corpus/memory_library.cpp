#include "corpus/memory_library.h"

#include <algorithm>

#include "corpus/shared_runs.h"

namespace oc::corpus {
namespace {

const std::string& pathOf(const FolderEntry& entry) {
    return entry.path;
}
const std::string& pathOf(const std::string& path) {
    return path;
}

}  // namespace

LibraryUpdate MemoryLibrary::update(const std::string& folder, const IndexProgress& progress,
                                    const std::function<bool()>& stop) {
    LibraryUpdate result;
    FolderListing listing = listDocumentFiles(folder);
    result.problem = listing.problem;
    std::map<std::string, Known> known;
    std::vector<LocalDocument> documents;
    std::vector<SkippedFile> skipped = std::move(listing.skipped);
    bool changed = listing.files.size() != known_.size();
    for (const auto& [path, old] : known_) {
        if (!std::binary_search(
                listing.files.begin(), listing.files.end(), path,
                [](const auto& a, const auto& b) { return pathOf(a) < pathOf(b); })) {
            ++result.filesRemoved;
        }
    }
    for (std::size_t i = 0; i < listing.files.size(); ++i) {
        if (stop && stop()) {
            // Documents already taken over are gone from the old list: start afresh next time.
            known_.clear();
            documents_.clear();
            skipped_.clear();
            index_ = BigramIndex();
            result.stopped = true;
            return result;
        }
        const FolderEntry& entry = listing.files[i];
        Known now{entry.size, entry.modifiedNs, std::nullopt, Text()};
        auto old = known_.find(entry.path);
        if (old != known_.end() && old->second.size == entry.size &&
            old->second.modifiedNs == entry.modifiedNs) {
            ++result.filesReused;
            if (old->second.document) {
                now.document = documents.size();
                documents.push_back(std::move(documents_[*old->second.document]));
            } else {
                now.reason = old->second.reason;
            }
        } else {
            ++result.filesRead;
            ++(old != known_.end() ? result.filesChanged : result.filesAdded);
            changed = true;
            DocumentRead read = readDocument(entry);
            if (read.document) {
                now.document = documents.size();
                documents.push_back(std::move(*read.document));
            } else {
                now.reason = std::move(read.reason);
            }
        }
        if (!now.document) {
            skipped.push_back({entry.path, now.reason});
        }
        known.emplace(entry.path, std::move(now));
        if (progress) {
            progress(i + 1, listing.files.size());
        }
    }
    std::sort(skipped.begin(), skipped.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.path < b.path; });
    known_ = std::move(known);
    documents_ = std::move(documents);
    skipped_ = std::move(skipped);
    if (changed) {
        index_ = BigramIndex();  // the old postings go before the new ones are built
        index_ = BigramIndex(documents_.size(), [this](std::uint32_t d) {
            return std::u32string_view(documents_[d].keys);
        });
    }
    return result;
}

LocalMatch MemoryLibrary::match(std::u32string_view segmentKeys, int minRunChars) const {
    LocalMatch found;
    Ranking ranking = index_.rank(segmentKeys, 1);
    if (ranking.best.empty() ||
        static_cast<std::size_t>(ranking.best.front().longestRun) < countedRunChars(minRunChars)) {
        return found;
    }
    const LocalDocument& document = documents_[ranking.best.front().document];
    found.path = document.path;
    found.title = document.title;
    found.longestRun = ranking.best.front().longestRun;
    found.hits = runHits(document.keys, segmentKeys, minRunChars);
    return found;
}

}  // namespace oc::corpus
