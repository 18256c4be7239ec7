// The text of a fetched page: its bytes decoded from UTF-8, or from the
// charset its Content-Type header or its meta tag declares.
#pragma once

#include <string>
#include <string_view>

namespace oc {

// The iconv name under which a declared charset is decoded: GBK, GB2312 and
// GB18030 (and their common aliases) as GB18030, Big5 as Big5-HKSCS; empty for
// any other. Letter case and surrounding blanks or quotes do not matter.
std::string pageCharsetCode(std::string_view declared);

// The charset parameter of a Content-Type value ("text/html; charset=gbk"
// gives "gbk"), unquoted; empty without one.
std::string charsetParameter(std::string_view contentType);

// The charset the first meta tag that declares one names within the page's
// first kMetaScanBytes: <meta charset=...> or <meta http-equiv="Content-Type"
// content="...; charset=...">. Empty without one.
inline constexpr std::size_t kMetaScanBytes = 4096;
std::string metaCharset(std::string_view page);

// Appends the page as UTF-8 text to `out`, without its zero bytes: its bytes as they are when they
// are UTF-8, else decoded from the charset the Content-Type header declares, else from the one its
// meta tag declares. False, with `out` as it was, when it decodes in none of these ways.
bool appendPageUtf8(std::string_view body, std::string_view contentType, std::string& out);

// The page as appendPageUtf8 reads it, in `out` (which is emptied first): a
// UTF-8 body is moved there rather than copied, and `body` then holds the
// memory `out` had. False, with `out` empty, when the page does not decode.
bool readPageUtf8(std::string& body, std::string_view contentType, std::string& out);

// Appends UTF-8 text as GB18030; a character GB18030 has no form for, and a
// byte that is not UTF-8, becomes "?". True when none did: the appended text
// then converts back to exactly `utf8`.
bool appendGb18030(std::string_view utf8, std::string& out);

}  // namespace oc
