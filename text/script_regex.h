// A regular expression run through the script regular-expression component:
// the engine, the match collection of the last search and the text searched.
// The component sees whole characters, so a pattern never splits a GBK
// character. Used on the thread that made it; each object opens one level of
// automation initialisation on that thread for its lifetime.
#pragma once

#include "services/text_types.h"
#include "text/automation_object.h"

namespace oc {

class ScriptRegex {
  public:
    ScriptRegex();
    ScriptRegex(const ScriptRegex& other);  // shares engine and matches, copies the source
    ScriptRegex& operator=(const ScriptRegex& other);
    ~ScriptRegex();

    // Searches `text` with a fresh engine. With quoteEscape every "#引号" in the
    // pattern stands for a double quote. True when a match collection came back
    // (it may hold no match); false for an invalid pattern.
    bool execute(const Text& pattern, const Text& text, bool caseSensitive = false,
                 bool multiLine = true, bool global = true, bool quoteEscape = false);

    Text pattern() const;
    // The searched text with the matches replaced ($1, $&, ... as the component reads them).
    Text replace(const Text& replacement) const;
    int matchCount() const;

    // Match `index` (1-based); with wantPosition, `position` receives its 0-based
    // byte offset in the searched text (-1 when there is no such match).
    Text matchValue(int index) const;
    Text matchValue(int index, int& position, bool wantPosition) const;
    // Group `subIndex` of match `index` (both 1-based). Its position is where its
    // text first occurs from the start of the match (-1 when empty or absent).
    Text subMatchValue(int index, int subIndex) const;
    Text subMatchValue(int index, int subIndex, int& position, bool wantPosition) const;
    // Groups of the first match; 0 when nothing matched.
    int subMatchCount() const;

    // The characters outside printable ASCII (0x20..0x7F), in order, found by
    // the component; with dropWhiteSpace white space is removed as well. Gives
    // what the plain character walk of the article filters gives.
    static Text keepNonAsciiChars(const Text& text, bool dropWhiteSpace = false);

  private:
    AutomationObject item(int index) const;
    int bytePositionOf(const AutomationObject& match) const;

    AutomationObject engine_;
    AutomationObject matches_;
    Text source_;
};

}  // namespace oc
