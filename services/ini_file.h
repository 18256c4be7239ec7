// INI settings files with the semantics of the Windows profile functions, over
// GBK byte files. Saves are atomic and keep every line they do not change.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "services/text_types.h"

namespace oc {

// Bytes <= 0x20 are skipped at the start of file, section and key (and at the
// end of section and key); when one of them is then empty the answer is empty.
// A missing or unreadable file or a missing key gives the default; a present
// empty value gives empty text. Matching quotes around a value are dropped.
// Values are cut at 10239 bytes, never inside a two-byte character.
Text readIniItem(const Text& file, const Text& section, const Text& key,
                 const Text& defaultValue = Text());

// Creates file, section and key as needed. No value deletes the key; no key
// deletes the section. A value ends at its first line break. False, with the
// file unchanged, when the write fails: the folder or file cannot be written,
// an existing file cannot be read, or a name could not be read back (empty, a
// line break, a key with "=" or starting with ";" or "[", a section name
// ending in a lone lead byte, which would take the closing bracket).
bool writeIniItem(const Text& file, const Text& section, const std::optional<Text>& key,
                  const std::optional<Text>& value);

// Several keys of one section in one save, in order, as writeIniItem would
// write them one by one: all of them or, on failure, none.
struct IniItem {
    Text key;
    std::optional<Text> value;  // none deletes the key
};
bool writeIniItems(const Text& file, const Text& section, const std::vector<IniItem>& items);

// Every save holds an advisory lock on a lock file beside the settings file
// (".NAME.lock") for its read-modify-write, so saves of several processes do
// not lose each other's changes; a save that cannot get the lock within this
// time fails.
inline constexpr std::chrono::milliseconds kIniLockTimeout{5000};

}  // namespace oc
