#include "corpus/index_catalog.h"

#include <charconv>
#include <sstream>

#include "corpus/varint.h"

namespace oc::corpus {
namespace {

constexpr std::string_view kCatalogMagic = "OCIXCAT1";
constexpr std::string_view kManifestFirstLine = "originality-checker index";

void appendBytes(std::string& out, std::string_view bytes) {
    appendVarint(out, bytes.size());
    out.append(bytes);
}

bool readBytes(const unsigned char*& at, const unsigned char* end, std::string& out) {
    std::uint64_t length = 0;
    if (!readVarint(at, end, length) || length > static_cast<std::uint64_t>(end - at)) {
        return false;
    }
    out.assign(reinterpret_cast<const char*>(at), length);
    at += length;
    return true;
}

std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

std::optional<std::string> bytesOfHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (error != std::errc() || end != hex.data() + i + 2) {
            return std::nullopt;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

}  // namespace

std::string encodeCatalog(const std::vector<CatalogEntry>& entries) {
    std::string out(kCatalogMagic);
    appendVarint(out, entries.size());
    for (const CatalogEntry& entry : entries) {
        appendBytes(out, entry.path);
        appendVarint(out, entry.size);
        appendVarint(out, static_cast<std::uint64_t>(entry.modifiedNs));
        appendVarint(out, entry.device);
        appendVarint(out, entry.inode);
        appendVarint(out, entry.isDocument() ? std::uint64_t{entry.part} + 1 : 0);
        appendVarint(out, entry.document);
        appendBytes(out, entry.text);
    }
    return out;
}

std::optional<std::vector<CatalogEntry>> decodeCatalog(std::string_view bytes) {
    if (!bytes.starts_with(kCatalogMagic)) {
        return std::nullopt;
    }
    auto at = reinterpret_cast<const unsigned char*>(bytes.data()) + kCatalogMagic.size();
    const auto end = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size();
    std::uint64_t count = 0;
    if (!readVarint(at, end, count) || count > bytes.size()) {
        return std::nullopt;
    }
    std::vector<CatalogEntry> entries(count);
    for (CatalogEntry& entry : entries) {
        std::uint64_t modified = 0;
        std::uint64_t part = 0;
        std::uint64_t document = 0;
        if (!readBytes(at, end, entry.path) || !readVarint(at, end, entry.size) ||
            !readVarint(at, end, modified) || !readVarint(at, end, entry.device) ||
            !readVarint(at, end, entry.inode) || !readVarint(at, end, part) ||
            !readVarint(at, end, document) || !readBytes(at, end, entry.text) ||
            part > CatalogEntry::kSkipped || document > 0xFFFFFFFFu) {
            return std::nullopt;
        }
        entry.modifiedNs = static_cast<std::int64_t>(modified);
        entry.part = part == 0 ? CatalogEntry::kSkipped : static_cast<std::uint32_t>(part - 1);
        entry.document = static_cast<std::uint32_t>(document);
        if (&entry != entries.data() && !((&entry - 1)->path < entry.path)) {
            return std::nullopt;
        }
    }
    if (at != end) {
        return std::nullopt;
    }
    return entries;
}

std::string encodeManifest(const Manifest& manifest) {
    std::ostringstream out;
    out << kManifestFirstLine << "\n"
        << "version " << manifest.version << "\n"
        << "folder " << hexOf(manifest.folder) << "\n"
        << "generation " << manifest.generation << "\n"
        << "catalog " << manifest.catalogBytes << " " << manifest.catalogCrc << "\n"
        << "next-part " << manifest.nextPart << "\n";
    for (const Manifest::Part& part : manifest.parts) {
        out << "part " << part.id << " " << part.documents << " " << part.bytes << "\n";
    }
    out << "end\n";
    return out.str();
}

std::optional<Manifest> decodeManifest(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != kManifestFirstLine) {
        return std::nullopt;
    }
    Manifest manifest;
    std::string word;
    std::string folderHex;
    bool ended = false;
    if (!(in >> word) || word != "version" || !(in >> manifest.version)) {
        return std::nullopt;
    }
    if (manifest.version != kIndexFormatVersion) {
        return manifest;  // another format: only its version is known
    }
    if (!(in >> word >> folderHex) || word != "folder") {
        return std::nullopt;
    }
    if (!(in >> word >> manifest.generation) || word != "generation") {
        return std::nullopt;
    }
    if (!(in >> word >> manifest.catalogBytes >> manifest.catalogCrc) || word != "catalog") {
        return std::nullopt;
    }
    if (!(in >> word >> manifest.nextPart) || word != "next-part") {
        return std::nullopt;
    }
    while (in >> word) {
        if (word == "end") {
            ended = true;
            break;
        }
        Manifest::Part part;
        if (word != "part" || !(in >> part.id >> part.documents >> part.bytes) ||
            part.id >= manifest.nextPart) {
            return std::nullopt;
        }
        manifest.parts.push_back(part);
    }
    std::optional<std::string> folder = bytesOfHex(folderHex);
    if (!ended || !folder) {
        return std::nullopt;
    }
    manifest.folder = std::move(*folder);
    return manifest;
}

std::string catalogFileName(std::uint64_t generation) {
    return "catalog-" + std::to_string(generation);
}

std::string partFileName(std::uint32_t id) {
    return "part-" + std::to_string(id);
}

}  // namespace oc::corpus
