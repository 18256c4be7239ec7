#include "services/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "services/file_contents.h"
#include "services/files.h"
#include "services/ini_document.h"

namespace oc {
namespace {

// The longest value a read gives, as the profile functions' buffer allows.
constexpr std::size_t kMaxValueBytes = 10239;

// One read-modify-write at a time in this process, so two saves cannot lose
// each other's change.
std::mutex& iniWriteMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string_view skipLeadingBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) {
        text.remove_prefix(1);
    }
    return text;
}

// An argument as the profile functions take it: blanks skipped at both ends.
std::string_view argumentName(const Text& text) {
    return trimIniBlanks(text);
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// At most kMaxValueBytes bytes, without splitting a two-byte character, and
// nothing from a 0x00 byte on (a text cannot hold one).
Text cutValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    if (value.size() <= kMaxValueBytes) {
        return Text(value);
    }
    std::size_t cut = 0;
    while (cut < kMaxValueBytes) {
        std::size_t step = isLeadByte(value[cut]) ? 2 : 1;
        if (cut + step > kMaxValueBytes) {
            break;
        }
        cut += step;
    }
    return Text(value.substr(0, cut));
}

// Names that could not be read back once written are refused.
bool writableName(std::string_view name, bool isKey) {
    if (name.empty() || name.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    return !isKey ||
           (name.find('=') == std::string_view::npos && name.front() != ';' && name.front() != '[');
}

// A value is one line: what follows a line break would become lines of its own.
std::optional<std::string_view> oneLineOf(const std::optional<Text>& value) {
    if (!value) {
        return std::nullopt;
    }
    return std::string_view(*value).substr(0, value->find_first_of("\r\n"));
}

struct KeyEdit {
    std::optional<std::string_view> key;  // none deletes the section
    std::optional<std::string_view> value;
};

// Applies the edits to the file in one locked read-modify-write.
bool editIniFile(std::string_view path, std::string_view sectionName,
                 const std::vector<KeyEdit>& edits) {
    if (path.empty() || !writableName(sectionName, false)) {
        return false;
    }
    for (const KeyEdit& e : edits) {
        if (e.key && !writableName(*e.key, true)) {
            return false;
        }
    }
    std::string native = nativePath(Text(path));
    std::lock_guard lock(iniWriteMutex());
    SaveLock saveLock(native, kIniLockTimeout);
    if (!saveLock.held()) {
        return false;
    }
    FileBytes content = readWholeFile(native);
    if (content.status == FileReadStatus::Unreadable) {
        return false;  // replacing it would lose what it holds
    }
    std::string& bytes = content.bytes;
    bool changed = false;
    for (const KeyEdit& e : edits) {
        auto edit = planIniWrite(bytes, sectionName, e.key, e.value);
        if (!edit) {
            continue;
        }
        bytes.replace(edit->begin, edit->end - edit->begin, edit->replacement);
        changed = true;
        // A name the reader would not find again (a section name that ends in a
        // lone lead byte hides its closing bracket) is refused before the file grows.
        if (e.key && e.value &&
            findIniValue(bytes, sectionName, *e.key) != trimIniBlanks(*e.value)) {
            return false;
        }
    }
    return !changed || replaceFileAtomically(native, bytes);
}

}  // namespace

Text readIniItem(const Text& file, const Text& section, const Text& key, const Text& defaultValue) {
    std::string_view path = skipLeadingBlanks(file);
    std::string_view sectionName = argumentName(section);
    std::string_view keyName = argumentName(key);
    if (path.empty() || sectionName.empty() || keyName.empty()) {
        return {};
    }
    FileBytes content = readWholeFile(nativePath(Text(path)));
    if (content.status != FileReadStatus::Ok) {
        return defaultValue;
    }
    auto value = findIniValue(content.bytes, sectionName, keyName);
    if (!value) {
        return defaultValue;
    }
    return cutValue(withoutQuotes(*value));
}

bool writeIniItem(const Text& file, const Text& section, const std::optional<Text>& key,
                  const std::optional<Text>& value) {
    std::optional<std::string_view> keyName;
    if (key) {
        keyName = argumentName(*key);
    }
    return editIniFile(skipLeadingBlanks(file), argumentName(section),
                       {KeyEdit{keyName, oneLineOf(value)}});
}

bool writeIniItems(const Text& file, const Text& section, const std::vector<IniItem>& items) {
    std::vector<KeyEdit> edits;
    for (const IniItem& item : items) {
        edits.push_back({argumentName(item.key), oneLineOf(item.value)});
    }
    return editIniFile(skipLeadingBlanks(file), argumentName(section), edits);
}

}  // namespace oc
