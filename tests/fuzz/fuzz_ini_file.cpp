// The INI reader and writer on arbitrary files and names, in a temporary
// folder: a write that succeeds reads back as written and leaves every other
// key as it was; a write that fails leaves the file byte for byte.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "services/ini_document.h"
#include "services/ini_file.h"
#include "tests/fuzz/fuzz_invariant.h"

namespace {

namespace fs = std::filesystem;
using oc::Text;

// A default no read of a written value can give.
const Text kDefault =
    "\x01"
    "default";

// One folder for the whole run, in memory when the system has such a folder.
// Kept alive until the folder is removed at exit.
const fs::path& scratchFile() {
    static const fs::path* file = [] {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path dir = base / ("oc-fuzz-ini-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchFile().parent_path(), ignored);
        });
        return new fs::path(dir / "settings.ini");
    }();
    return *file;
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What a read gives for a value as written: trimmed, quotes dropped.
Text asRead(std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    value = oc::trimIniBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Text(value);
}

// Every (section, key) the file names, with what a read gives for it now.
struct Entry {
    Text section, key, value;
};

std::vector<Entry> entries(const std::string& bytes, const Text& path) {
    std::vector<Entry> all;
    std::string_view section;
    bool inSection = false;
    for (const oc::IniLine& line : oc::parseIniLines(bytes)) {
        if (line.kind == oc::IniLineKind::Section) {
            section = line.name;
            inSection = true;
        } else if (line.kind == oc::IniLineKind::Key && inSection && !section.empty() &&
                   !line.name.empty() && all.size() < 64) {
            Text s(section), k(line.name);
            all.push_back({s, k, oc::readIniItem(path, s, k, kDefault)});
        }
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    oc::fuzz::InputReader in(data, size);
    std::uint8_t mode = in.byte();
    Text section = oc::fuzz::textOf(in.piece());
    std::optional<Text> key = oc::fuzz::textOf(in.piece());
    std::optional<Text> value = oc::fuzz::textOf(in.piece().substr(0, 4000));
    std::string before(in.rest());
    if ((mode & 3) == 1) {
        key.reset();  // deletes the section
    } else if ((mode & 3) == 2) {
        value.reset();  // deletes the key
    }

    const fs::path& file = scratchFile();
    const Text path = file.string();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << before;
    std::vector<Entry> old = entries(before, path);

    bool written = oc::writeIniItem(path, section, key, value);
    std::string after = contentOf(file);
    if (!written) {
        require(after == before);
        return 0;
    }
    Text sectionName(oc::trimIniBlanks(section));
    Text keyName(key ? oc::trimIniBlanks(*key) : std::string_view());
    if (key && value) {
        require(oc::readIniItem(path, section, *key, kDefault) == asRead(*value));
    } else if (key) {
        // Each deletion takes one line of that name away, so a few more
        // reach the default; the file shrinks every time.
        for (std::size_t left = after.size();
             oc::readIniItem(path, section, *key, kDefault) != kDefault;) {
            require(oc::writeIniItem(path, section, key, std::nullopt));
            std::size_t now = contentOf(file).size();
            require(now < left);
            left = now;
        }
    }
    for (const Entry& e : old) {
        bool touched =
            oc::sameIniName(e.section, sectionName) && (!key || oc::sameIniName(e.key, keyName));
        if (touched) {
            continue;
        }
        require(oc::readIniItem(path, e.section, e.key, kDefault) == e.value);
    }
    return 0;
}
