// Section "搜索引擎" of the settings file: the base addresses of the Baidu and
// the 360 web search (keys "百度" and "360") and the User-Agent sent to them
// (key "UserAgent").
#pragma once

#include "services/text_types.h"

namespace oc {

struct EngineEndpoints {
    Text baidu;  // scheme://host[:port], no trailing slash; empty when the file's is invalid
    Text engine360;
    // When the file gives an address that is no base URL: "配置.ini 中 [搜索引擎]
    // 百度 的地址无效：VALUE" (GBK), and the address above is empty.
    Text baiduError = {};
    Text error360 = {};
};

// A missing or empty value gives the built-in default; a value that is not a
// base URL gives no address and the message that names key and value, never
// the default.
EngineEndpoints loadEngineEndpoints(const Text& path);
EngineEndpoints defaultEngineEndpoints();

// The User-Agent sent to the engines; the built-in one when the key is
// missing, empty or holds a line break.
Text loadUserAgent(const Text& path);

// The section as the file holds it, for the user to edit (GBK, spaces around
// a value trimmed): an empty text stands for the built-in value.
struct EngineTexts {
    Text baidu;
    Text engine360;
    Text userAgent;
};
EngineTexts loadEngineTexts(const Text& path);

// Why these must not be saved (GBK), empty when they may: an address that is
// no base URL ("百度地址无效：“VALUE”。地址应像 http://www.baidu.com 或
// https://主机:端口，不带路径。"), a user agent holding a control character.
Text engineTextsProblem(const EngineTexts& texts);

// The three keys in one save; an empty text removes its key, so that the
// built-in value is used. An address is written as its base URL. Texts with a
// problem above are not saved (false).
bool saveEngineTexts(const Text& path, const EngineTexts& texts);

}  // namespace oc
