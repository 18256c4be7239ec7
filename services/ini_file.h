// INI settings files with the semantics of the Windows profile functions, over
// GBK byte files. Saves are atomic and keep every line they do not change.
#pragma once

#include <optional>

#include "services/text_types.h"

namespace oc {

// Bytes <= 0x20 are skipped at the start of file, section and key; when one of
// them is then empty the answer is empty. A missing file or key gives the
// default; a present empty value gives empty text. Values are cut at 10239 bytes.
Text readIniItem(const Text& file, const Text& section, const Text& key,
                 const Text& defaultValue = Text());

// Creates file, section and key as needed. No value deletes the key; no key
// deletes the section. False, with the file unchanged, when the write fails.
bool writeIniItem(const Text& file, const Text& section, const std::optional<Text>& key,
                  const std::optional<Text>& value);

}  // namespace oc
