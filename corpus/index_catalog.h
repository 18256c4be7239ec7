// The catalog of the archive index: every file of the folder the index knows,
// in path order, with what tells a changed file (size, modification time,
// inode) and where its document lies (part and number), or why it was skipped.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/text_types.h"

namespace oc::corpus {

// The version of the index's files; an index of another version is rebuilt.
inline constexpr std::uint32_t kIndexFormatVersion = 1;

struct CatalogEntry {
    static constexpr std::uint32_t kSkipped = std::numeric_limits<std::uint32_t>::max();

    std::string path;  // native bytes, within the folder
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t part = kSkipped;  // the part holding its document; kSkipped: no document
    std::uint32_t document = 0;     // its number in the part
    std::string text;               // the document's title (UTF-8), else the reason (GBK)

    bool isDocument() const { return part != kSkipped; }
    friend bool operator==(const CatalogEntry&, const CatalogEntry&) = default;
};

std::string encodeCatalog(const std::vector<CatalogEntry>& entries);
// Nothing when the bytes are damaged or out of path order.
std::optional<std::vector<CatalogEntry>> decodeCatalog(std::string_view bytes);

// What the manifest names: the format version, the folder, the generation
// (one more at every update), the catalog file with its size and checksum and
// the parts with their document counts and sizes.
struct Manifest {
    struct Part {
        std::uint32_t id = 0;
        std::uint32_t documents = 0;
        std::uint64_t bytes = 0;
        friend bool operator==(const Part&, const Part&) = default;
    };
    std::uint32_t version = 0;
    std::string folder;
    std::uint64_t generation = 0;
    std::uint64_t catalogBytes = 0;
    std::uint32_t catalogCrc = 0;
    std::uint32_t nextPart = 0;  // the id the next new part gets
    std::vector<Part> parts;

    friend bool operator==(const Manifest&, const Manifest&) = default;
};

std::string encodeManifest(const Manifest& manifest);
// Nothing when the text is no manifest. The version is read before anything
// else: a manifest of another version comes back with only its version.
std::optional<Manifest> decodeManifest(std::string_view text);

std::string catalogFileName(std::uint64_t generation);
std::string partFileName(std::uint32_t id);

}  // namespace oc::corpus
