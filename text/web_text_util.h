// The program's small utility class: trimming white space, cutting text at
// markers, line files, a log file, charset decoding through the stream
// component, the date-time text and the IP lookups. It holds no state beyond
// the IP-lookup site it was made with; every call is independent and safe from
// any thread.
#pragma once

#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

// The IP-lookup site whose "/ip2city.asp" and "/ips8.asp" pages the lookups read.
extern const Text kDefaultIpLookupBase;

class WebTextUtil {
  public:
    explicit WebTextUtil(Text ipLookupBase = kDefaultIpLookupBase);

    // This machine's address as the lookup site sees it; empty when the page
    // cannot be fetched or lacks its markers.
    Text localIpAddress() const;
    // Where the lookup site places an address; empty as above.
    Text ipLocation(const Text& ipAddress) const;

    // Appends the line and a separator line to the named file in the program's
    // folder. Fails silently.
    void appendLog(const Text& fileName, const Text& line) const;

    // The bytes before / after the first occurrence of the marker, and the bytes
    // between the start marker and the next end marker after it. Empty when a
    // marker does not occur.
    Text textBefore(const Text& text, const Text& marker) const;
    Text textAfter(const Text& text, const Text& marker) const;
    Text textBetween(const Text& text, const Text& startMarker, const Text& endMarker) const;

    // Appends every non-empty line of the file to `lines`. A file that cannot be
    // opened is reported to the user.
    void loadLines(const Text& path, TextList& lines, Platform& platform) const;
    // Writes the lines to the file, each ended by CR LF, replacing it. A file
    // that cannot be opened is reported to the user.
    void saveLines(const TextList& lines, const Text& path, Platform& platform) const;

    // The text from its first to its last byte that is not ASCII white space.
    Text trim(const Text& text) const;
    // The bytes decoded in the named charset ("utf-8", "gb2312", "unicode", ...);
    // empty when the charset is unknown.
    Text decodeBytes(const ByteSet& bytes, const Text& charset) const;
    // The local date and time as "2024-3-5 9:7" (no leading zeros; "9:0" at a full hour).
    Text nowText() const;
    Text nowText(DateTime now) const;

  private:
    Text fetchPageText(const Text& pathAndQuery) const;

    Text ipLookupBase_;
};

// The program's one instance, made on first use (start-up makes it).
WebTextUtil& webTextUtil();

}  // namespace oc
