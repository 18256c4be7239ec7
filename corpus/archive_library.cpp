#include "corpus/archive_library.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#include "corpus/reading_ahead.h"
#include "services/boundary_text.h"

namespace oc::corpus {
namespace {

constexpr const char* kManifestName = "manifest";
constexpr const char* kLockName = "lock";
// More parts than this and the smallest are read into the next part again.
constexpr std::size_t kMaxParts = 32;

bool absolutePath(const char* value) {
    return value != nullptr && value[0] == '/';
}

// Creates the folder and its missing parents, private to the user.
bool makeFolders(const std::string& folder) {
    std::string path;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = folder.find('/', at + 1);
        path = folder.substr(0, at);
        if (path.empty()) {
            continue;
        }
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string canonicalFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
    return ec ? folder : canonical.string();
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash = (hash ^ c) * 0x100000001b3ull;
    }
    return hash;
}

// What the paths of the folder's files begin with, as the folder is given.
std::string folderPrefix(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder == "/" ? folder : folder + "/";
}

bool sameFile(const CatalogEntry& known, const FolderEntry& listed) {
    return known.size == listed.size && known.modifiedNs == listed.modifiedNs &&
           known.device == listed.device && known.inode == listed.inode;
}

}  // namespace

std::string defaultIndexRoot() {
    if (const char* given = std::getenv("OC_INDEX_DIR"); absolutePath(given)) {
        return given;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); absolutePath(data)) {
        return std::string(data) + "/originality-checker/index";
    }
    if (const char* home = std::getenv("HOME"); absolutePath(home)) {
        return std::string(home) + "/.local/share/originality-checker/index";
    }
    return {};
}

std::string_view ArchiveLibrary::inFolder(std::string_view path) const {
    return path.starts_with(prefix_) ? path.substr(prefix_.size()) : path;
}

ArchiveLibrary::ArchiveLibrary(std::string indexRoot, std::size_t partChars)
    : root_(std::move(indexRoot)), partChars_(std::max<std::size_t>(partChars, 1)) {}

std::string ArchiveLibrary::indexFolderOf(const std::string& folder) const {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(fnv1a(canonicalFolder(folder))));
    return root_ + "/" + name;
}

std::size_t ArchiveLibrary::documentCount() const {
    return memory_ ? memory_->documentCount() : documents_;
}

const std::vector<SkippedFile>& ArchiveLibrary::skipped() const {
    return memory_ ? memory_->skipped() : skipped_;
}

std::uint64_t ArchiveLibrary::indexBytes() const {
    std::uint64_t bytes = manifest_.catalogBytes;
    for (const Manifest::Part& part : manifest_.parts) {
        bytes += part.bytes;
    }
    return bytes;
}

void ArchiveLibrary::reset(const std::string& folder) {
    const std::uint64_t generation = manifest_.generation;
    manifest_ = Manifest();
    manifest_.version = kIndexFormatVersion;
    manifest_.folder = folder;
    // New file names never meet the files of an index being replaced.
    manifest_.generation = generation;
    catalog_.clear();
    parts_.clear();
    order_.clear();
    documents_ = 0;
    skipped_.clear();
    damaged_ = false;
}

ArchiveLibrary::Load ArchiveLibrary::load(const std::string& indexFolder,
                                          const std::string& folder) {
    std::string text;
    if (!readWholeFile(indexFolder + "/" + kManifestName, text)) {
        struct stat st {};
        return ::lstat((indexFolder + "/" + kManifestName).c_str(), &st) != 0 && errno == ENOENT
                   ? Load::Missing
                   : Load::Damaged;
    }
    std::optional<Manifest> manifest = decodeManifest(text);
    if (!manifest) {
        return Load::Damaged;
    }
    if (manifest->version != kIndexFormatVersion) {
        return manifest->version > kIndexFormatVersion ? Load::Newer : Load::Damaged;
    }
    if (manifest->folder != folder) {
        return Load::Damaged;
    }
    // Already open as it stands: nothing to read again.
    if (dir_ == indexFolder && manifest_ == *manifest && !damaged_) {
        return Load::Loaded;
    }
    std::string catalogBytes;
    if (!readWholeFile(indexFolder + "/" + catalogFileName(manifest->generation), catalogBytes) ||
        catalogBytes.size() != manifest->catalogBytes ||
        crc32Of(catalogBytes) != manifest->catalogCrc) {
        return Load::Damaged;
    }
    std::optional<std::vector<CatalogEntry>> catalog = decodeCatalog(catalogBytes);
    if (!catalog) {
        return Load::Damaged;
    }
    std::vector<std::unique_ptr<IndexPart>> parts;
    for (const Manifest::Part& part : manifest->parts) {
        auto opened = std::make_unique<IndexPart>(indexFolder + "/" + partFileName(part.id));
        if (!opened->ok() || opened->documentCount() != part.documents ||
            opened->fileBytes() != part.bytes) {
            return Load::Damaged;
        }
        parts.push_back(std::move(opened));
    }
    dir_ = indexFolder;
    manifest_ = std::move(*manifest);
    catalog_ = std::move(*catalog);
    parts_ = std::move(parts);
    damaged_ = false;
    if (!index()) {
        reset(folder);
        return Load::Damaged;
    }
    return Load::Loaded;
}

bool ArchiveLibrary::index() {
    recent_.clear();
    nextRecent_ = 0;
    order_.clear();
    skipped_.clear();
    documents_ = 0;
    for (const Manifest::Part& part : manifest_.parts) {
        order_.emplace_back(part.documents, IndexPart::kGone);
    }
    for (std::size_t i = 0; i < catalog_.size(); ++i) {
        const CatalogEntry& entry = catalog_[i];
        if (!entry.isDocument()) {
            skipped_.push_back({prefix_ + entry.path, entry.text});
            continue;
        }
        auto part = std::find_if(manifest_.parts.begin(), manifest_.parts.end(),
                                 [&entry](const Manifest::Part& p) { return p.id == entry.part; });
        if (part == manifest_.parts.end()) {
            return false;
        }
        std::vector<std::uint32_t>& order = order_[part - manifest_.parts.begin()];
        if (entry.document >= order.size() || order[entry.document] != IndexPart::kGone) {
            return false;
        }
        order[entry.document] = static_cast<std::uint32_t>(i);
        ++documents_;
    }
    return true;
}

bool ArchiveLibrary::commit(std::vector<CatalogEntry> entries) {
    Manifest next = manifest_;
    ++next.generation;
    std::set<std::uint32_t> used;
    for (const CatalogEntry& entry : entries) {
        if (entry.isDocument()) {
            used.insert(entry.part);
        }
    }
    next.parts.clear();
    std::vector<std::unique_ptr<IndexPart>> parts;
    for (std::size_t p = 0; p < manifest_.parts.size(); ++p) {
        if (used.contains(manifest_.parts[p].id)) {
            next.parts.push_back(manifest_.parts[p]);
            parts.push_back(std::move(parts_[p]));
        }
    }
    const std::string catalog = encodeCatalog(entries);
    next.catalogBytes = catalog.size();
    next.catalogCrc = crc32Of(catalog);
    FileWriter writer(dir_ + "/" + catalogFileName(next.generation));
    writer.write(catalog);
    bool written = writer.finish() && replaceFile(dir_ + "/" + kManifestName, encodeManifest(next));
    manifest_ = std::move(next);
    catalog_ = std::move(entries);
    parts_ = std::move(parts);
    return index() && written;
}

void ArchiveLibrary::removeUnreferenced() const {
    std::set<std::string> keep{kManifestName, kLockName, catalogFileName(manifest_.generation)};
    for (const Manifest::Part& part : manifest_.parts) {
        keep.insert(partFileName(part.id));
    }
    DIR* folder = ::opendir(dir_.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && !keep.contains(name)) {
            ::unlinkat(::dirfd(folder), name.c_str(), 0);
        }
    }
    ::closedir(folder);
}

bool ArchiveLibrary::open(const std::string& folder) {
    if (root_.empty()) {
        return false;
    }
    const std::string canonical = canonicalFolder(folder);
    const std::string indexFolder = indexFolderOf(canonical);
    prefix_ = folderPrefix(folder);
    FileLock lock(indexFolder + "/" + kLockName, FileLock::Kind::Shared);
    return lock.held() && load(indexFolder, canonical) == Load::Loaded;
}

LibraryUpdate ArchiveLibrary::updateInMemory(const std::string& folder,
                                             const IndexProgress& progress,
                                             const std::function<bool()>& stop, Text notice) {
    if (!memory_) {
        memory_ = std::make_unique<MemoryLibrary>();
    } else {
        notice.clear();  // said at the first update of the run
    }
    LibraryUpdate result = memory_->update(folder, progress, stop);
    result.notice = std::move(notice);
    return result;
}

LibraryUpdate ArchiveLibrary::update(const std::string& folder, const IndexProgress& progress,
                                     const std::function<bool()>& stop) {
    const std::string canonical = canonicalFolder(folder);
    const std::string indexFolder = root_.empty() ? std::string() : indexFolderOf(canonical);
    if (memory_ || indexFolder.empty() || !makeFolders(indexFolder)) {
        return updateInMemory(folder, progress, stop,
                              gbkFromUtf8("无法写入本地索引文件夹，本次运行在内存中索引：" +
                                          (indexFolder.empty() ? root_ : indexFolder)));
    }
    FileLock lock(indexFolder + "/" + kLockName, FileLock::Kind::Exclusive);
    if (!lock.held()) {
        return updateInMemory(
            folder, progress, stop,
            gbkFromUtf8("无法锁定本地索引，本次运行在内存中索引：" + indexFolder));
    }
    LibraryUpdate result;
    FolderListing listing = listDocumentFiles(folder);
    result.problem = listing.problem;
    prefix_ = folderPrefix(folder);
    if (listing.problem != FolderProblem::None) {
        reset(canonical);
        return result;
    }

    // The index as it is on disk now: another program may have updated it.
    const bool wasDamaged = damaged_;
    Load loaded = load(indexFolder, canonical);
    if (loaded != Load::Loaded || wasDamaged) {
        if (loaded == Load::Newer) {
            result.notice = gbkFromUtf8("本地索引由较新版本的程序建立，已重新建立：" + indexFolder);
        } else if (loaded == Load::Damaged || wasDamaged) {
            result.notice = gbkFromUtf8("本地索引已损坏，已重新建立：" + indexFolder);
        }
        dir_ = indexFolder;
        reset(canonical);
    }
    removeUnreferenced();

    // Parts mostly gone, and the smallest when there are too many, are read
    // into a new part again.
    std::set<std::uint32_t> rewrite;
    {
        std::vector<std::pair<std::uint32_t, std::size_t>> bySize;
        for (std::size_t p = 0; p < manifest_.parts.size(); ++p) {
            const std::size_t alive = static_cast<std::size_t>(
                std::count_if(order_[p].begin(), order_[p].end(),
                              [](std::uint32_t o) { return o != IndexPart::kGone; }));
            if (alive * 2 < manifest_.parts[p].documents) {
                rewrite.insert(manifest_.parts[p].id);
            }
            bySize.push_back({manifest_.parts[p].id, manifest_.parts[p].bytes});
        }
        // Small parts, together no larger than a part is, become one.
        std::sort(bySize.begin(), bySize.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        std::uint64_t merged = 0;
        for (std::size_t i = 0; bySize.size() > kMaxParts && i < bySize.size() &&
                                merged + bySize[i].second <= partChars_;
             ++i) {
            merged += bySize[i].second;
            rewrite.insert(bySize[i].first);
        }
    }

    std::vector<CatalogEntry> old = std::move(catalog_);
    catalog_.clear();
    bool saved = false;
    std::vector<CatalogEntry> next;
    next.reserve(listing.files.size());
    std::vector<CodePoints> pending;
    std::size_t pendingChars = 0;
    bool written = true;
    // Writes the documents read so far as a new part and records the catalog
    // up to file `done`, the rest of the folder as the index knew it.
    auto save = [&](std::size_t j) {
        if (!pending.empty()) {
            const std::uint32_t id = manifest_.nextPart;
            const std::string path = dir_ + "/" + partFileName(id);
            written = written && IndexPart::write(path, static_cast<std::uint32_t>(pending.size()),
                                                  [&pending](std::uint32_t d) {
                                                      return std::u32string_view(pending[d]);
                                                  });
            auto part = std::make_unique<IndexPart>(path);
            written = written && part->ok();
            manifest_.parts.push_back(
                {id, static_cast<std::uint32_t>(pending.size()), part->fileBytes()});
            parts_.push_back(std::move(part));
            ++manifest_.nextPart;
            pending.clear();
            pendingChars = 0;
        }
        std::vector<CatalogEntry> entries = next;
        entries.insert(entries.end(), old.begin() + static_cast<std::ptrdiff_t>(j), old.end());
        written = written && commit(std::move(entries));
        saved = true;
    };

    // Which files are read again, found before the loop so that they are read ahead.
    std::vector<std::size_t> toRead;
    for (std::size_t i = 0, k = 0; i < listing.files.size(); ++i) {
        const std::string_view path = inFolder(listing.files[i].path);
        while (k < old.size() && old[k].path < path) {
            ++k;
        }
        if (k == old.size() || old[k].path != path || !sameFile(old[k], listing.files[i]) ||
            rewrite.contains(old[k].part)) {
            toRead.push_back(i);
        }
    }
    ReadingAhead reading(listing.files, toRead);

    std::size_t j = 0;
    bool changed = loaded != Load::Loaded;
    for (std::size_t i = 0; i < listing.files.size() && written; ++i) {
        if (stop && stop()) {
            save(j);
            result.stopped = true;
            break;
        }
        const FolderEntry& file = listing.files[i];
        const std::string_view path = inFolder(file.path);
        while (j < old.size() && old[j].path < path) {
            ++result.filesRemoved;
            changed = true;
            ++j;
        }
        const CatalogEntry* known = j < old.size() && old[j].path == path ? &old[j] : nullptr;
        if (known != nullptr && sameFile(*known, file) && !rewrite.contains(known->part)) {
            ++result.filesReused;
            // Taken over: what is saved later takes `old` only from `j` on.
            next.push_back(std::move(old[j]));
        } else {
            ++result.filesRead;
            if (known == nullptr) {
                ++result.filesAdded;
            } else if (!sameFile(*known, file)) {
                ++result.filesChanged;
            }
            changed = true;
            CatalogEntry entry;
            entry.path = path;
            entry.size = file.size;
            entry.modifiedNs = file.modifiedNs;
            entry.device = file.device;
            entry.inode = file.inode;
            DocumentRead read = reading.take(i);
            if (read.document) {
                entry.part = manifest_.nextPart;
                entry.document = static_cast<std::uint32_t>(pending.size());
                entry.text = std::move(read.document->title);
                pendingChars += read.document->keys.size();
                pending.push_back(std::move(read.document->keys));
            } else {
                entry.text = std::move(read.reason);
            }
            next.push_back(std::move(entry));
        }
        if (known != nullptr) {
            ++j;
        }
        if (pendingChars >= partChars_) {
            save(j);
        }
        if (progress) {
            progress(i + 1, listing.files.size());
        }
    }
    if (!result.stopped && written) {
        result.filesRemoved += old.size() - j;
        if (changed || j < old.size() || !pending.empty()) {
            save(old.size());
        }
    }
    if (!saved) {
        catalog_ = std::move(next);  // nothing changed: every entry taken over as it was
    }
    if (!written) {
        // Whatever was committed stays; the run goes on in memory.
        reset(canonical);
        return updateInMemory(
            folder, progress, stop,
            gbkFromUtf8("无法写入本地索引，本次运行在内存中索引：" + indexFolder));
    }
    removeUnreferenced();
    skipped_.insert(skipped_.end(), listing.skipped.begin(), listing.skipped.end());
    std::sort(skipped_.begin(), skipped_.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.path < b.path; });
    return result;
}

const CodePoints* ArchiveLibrary::keysOf(std::uint32_t entry) const {
    for (const auto& [known, keys] : recent_) {
        if (known == entry) {
            return &keys;
        }
    }
    const CatalogEntry& file = catalog_[entry];
    DocumentRead read =
        readDocument({prefix_ + file.path, file.size, file.modifiedNs, file.device, file.inode});
    if (!read.document) {
        return nullptr;
    }
    if (recent_.size() < kRecentDocuments) {
        recent_.emplace_back(entry, std::move(read.document->keys));
        return &recent_.back().second;
    }
    auto& slot = recent_[nextRecent_];
    nextRecent_ = (nextRecent_ + 1) % kRecentDocuments;
    slot = {entry, std::move(read.document->keys)};
    return &slot.second;
}

LocalMatch ArchiveLibrary::match(std::u32string_view segmentKeys, int minRunChars) const {
    if (memory_) {
        return memory_->match(segmentKeys, minRunChars);
    }
    const std::size_t minimum = countedRunChars(minRunChars);
    if (segmentKeys.size() < minimum) {
        return {};
    }
    // The documents that may share a long enough run, read again and ranked
    // one by one; when there are too many, the postings of every bigram rank them.
    std::vector<std::uint32_t> candidates;
    for (std::size_t p = 0; p < parts_.size(); ++p) {
        parts_[p]->mayShareRun(segmentKeys, minimum - 1, order_[p], candidates, damaged_);
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    if (candidates.size() > kMaxCandidates) {
        return matchByPostings(segmentKeys, minRunChars);
    }
    // The most any document can reach: the segment's longest stretch without a
    // break as the run, and every bigram of it shared. Candidates come in path
    // order, so one that reaches both ranks before every later one.
    RankedDocument most;
    for (std::size_t i = 0, stretch = 0; i < segmentKeys.size(); ++i) {
        stretch = segmentKeys[i] == 0 ? 0 : stretch + 1;
        most.longestRun = std::max(most.longestRun, static_cast<int>(stretch));
        most.sharedBigrams += i > 0 && segmentKeys[i - 1] != 0 && segmentKeys[i] != 0;
    }
    std::optional<RankedDocument> best;
    CodePoints bestKeys;
    for (std::uint32_t entry : candidates) {
        if (best && best->longestRun == most.longestRun &&
            best->sharedBigrams == most.sharedBigrams) {
            break;
        }
        const CodePoints* keys = keysOf(entry);
        if (keys == nullptr) {
            continue;  // gone since the update
        }
        RankedDocument ranked = rankDocument(*keys, segmentKeys);
        ranked.document = entry;
        if (static_cast<std::size_t>(ranked.longestRun) >= minimum &&
            (!best || rankedBefore(ranked, entry, *best, best->document))) {
            best = ranked;
            bestKeys = *keys;
        }
    }
    if (!best) {
        return {};
    }
    const CatalogEntry& file = catalog_[best->document];
    return {prefix_ + file.path, file.text, best->longestRun,
            runHits(bestKeys, segmentKeys, minRunChars)};
}

LocalMatch ArchiveLibrary::matchByPostings(std::u32string_view segmentKeys, int minRunChars) const {
    std::optional<RankedDocument> best;
    std::uint32_t bestOrder = IndexPart::kGone;
    for (std::size_t p = 0; p < parts_.size(); ++p) {
        std::optional<RankedDocument> ranked = parts_[p]->best(segmentKeys, order_[p], damaged_);
        if (ranked &&
            (!best || rankedBefore(*ranked, order_[p][ranked->document], *best, bestOrder))) {
            best = ranked;
            bestOrder = order_[p][ranked->document];
        }
    }
    if (!best || static_cast<std::size_t>(best->longestRun) < countedRunChars(minRunChars)) {
        return {};
    }
    const CatalogEntry& file = catalog_[bestOrder];
    LocalMatch found{prefix_ + file.path, file.text, best->longestRun, 0};
    if (const CodePoints* keys = keysOf(bestOrder)) {
        found.hits = runHits(*keys, segmentKeys, minRunChars);
    }
    return found;
}

}  // namespace oc::corpus
