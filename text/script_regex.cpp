#include "text/script_regex.h"

#include "services/text_ops.h"
#include "text/com_init.h"

namespace oc {
namespace {

const Text kQuoteEscape = "#\xD2\xFD\xBA\xC5";  // #引号

// The component's collections count from 0; callers count from 1.
Variant componentIndex(int index) {
    return Variant(static_cast<double>(index) - 1.0);
}

}  // namespace

ScriptRegex::ScriptRegex() {
    coInitialize();
}

ScriptRegex::ScriptRegex(const ScriptRegex& other)
    : engine_(other.engine_), matches_(other.matches_), source_(other.source_) {
    coInitialize();
}

ScriptRegex& ScriptRegex::operator=(const ScriptRegex& other) = default;

ScriptRegex::~ScriptRegex() {
    engine_.clearObject();
    matches_.clearObject();
    source_.clear();
    coUninitialize();
}

bool ScriptRegex::execute(const Text& pattern, const Text& text, bool caseSensitive, bool multiLine,
                          bool global, bool quoteEscape) {
    engine_.clearObject();
    matches_.clearObject();
    engine_.createObject("VBScript.RegExp");
    engine_.setProperty("IgnoreCase", !caseSensitive);
    engine_.setProperty("Multiline", multiLine);
    engine_.setProperty("Global", global);
    engine_.setProperty("Pattern",
                        quoteEscape ? replaceText(pattern, kQuoteEscape, "\"") : pattern);
    matches_ = engine_.callObject("Execute", {text});
    source_ = text;
    return !matches_.isEmpty();
}

Text ScriptRegex::pattern() const {
    return engine_.getText("Pattern");
}

Text ScriptRegex::replace(const Text& replacement) const {
    return engine_.callText("Replace", {source_, replacement});
}

int ScriptRegex::matchCount() const {
    return static_cast<int>(matches_.getNumber("Count"));
}

AutomationObject ScriptRegex::item(int index) const {
    return matches_.getObject("Item", {componentIndex(index)});
}

// The exact byte offset of the match: its character index counted over the source.
int ScriptRegex::bytePositionOf(const AutomationObject& match) const {
    if (match.isEmpty()) {
        return -1;
    }
    auto characterIndex = static_cast<std::size_t>(match.getNumber("FirstIndex"));
    return static_cast<int>(byteOffsetOfCharacter(source_, characterIndex));
}

Text ScriptRegex::matchValue(int index) const {
    return item(index).getText("Value");
}

Text ScriptRegex::matchValue(int index, int& position, bool wantPosition) const {
    AutomationObject match = item(index);
    if (wantPosition) {
        position = bytePositionOf(match);
    }
    return match.getText("Value");
}

Text ScriptRegex::subMatchValue(int index, int subIndex) const {
    int unused = 0;
    return subMatchValue(index, subIndex, unused, false);
}

Text ScriptRegex::subMatchValue(int index, int subIndex, int& position, bool wantPosition) const {
    AutomationObject match = item(index);
    Text value =
        match.getObject("SubMatches").getVariant("Item", {componentIndex(subIndex)}).variantText();
    if (wantPosition) {
        int matchStart = bytePositionOf(match);
        int found = value.empty() || matchStart < 0 ? -1 : findText(source_, value, matchStart + 1);
        position = found < 0 ? -1 : found - 1;
    }
    return value;
}

int ScriptRegex::subMatchCount() const {
    return static_cast<int>(item(1).getObject("SubMatches").getNumber("Count"));
}

Text ScriptRegex::keepNonAsciiChars(const Text& text, bool dropWhiteSpace) {
    ScriptRegex regex;
    regex.execute("[^\\x20-\\x7f]", text);
    Text kept;
    int count = regex.matchCount();
    for (int i = 1; i <= count; ++i) {
        kept += regex.matchValue(i);
    }
    if (dropWhiteSpace) {
        regex.execute("\\s", kept);
        kept = regex.replace("");
    }
    return kept;
}

}  // namespace oc
