#include "services/ini_file.h"

#include <mutex>

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
    std::string_view path = skipLeadingBlanks(file);
    std::string_view sectionName = argumentName(section);
    std::optional<std::string_view> keyName;
    if (key) {
        keyName = argumentName(*key);
    }
    if (path.empty() || !writableName(sectionName, false) ||
        (keyName && !writableName(*keyName, true))) {
        return false;
    }
    // A value is one line: what follows a line break would become lines of its own.
    std::optional<std::string_view> oneLine;
    if (value) {
        oneLine = std::string_view(*value).substr(0, value->find_first_of("\r\n"));
    }
    std::string native = nativePath(Text(path));
    std::lock_guard lock(iniWriteMutex());
    FileBytes content = readWholeFile(native);
    if (content.status == FileReadStatus::Unreadable) {
        return false;  // replacing it would lose what it holds
    }
    auto edit = planIniWrite(content.bytes, sectionName, keyName, oneLine);
    if (!edit) {
        return true;
    }
    std::string& bytes = content.bytes;
    bytes.replace(edit->begin, edit->end - edit->begin, edit->replacement);
    // A name the reader would not find again (a section name that ends in a
    // lone lead byte hides its closing bracket) is refused before the file grows.
    if (keyName && oneLine &&
        findIniValue(bytes, sectionName, *keyName) != trimIniBlanks(*oneLine)) {
        return false;
    }
    return replaceFileAtomically(native, bytes);
}

}  // namespace oc
