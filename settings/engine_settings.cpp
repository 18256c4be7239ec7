#include "settings/engine_settings.h"

#include <optional>

#include "services/boundary_text.h"
#include "services/http_fetch.h"
#include "services/ini_file.h"
#include "services/text_ops.h"
#include "settings/endpoint_url.h"

namespace oc {
namespace {

const Text& engineSection() {
    static const Text name = gbkFromUtf8("搜索引擎");
    return name;
}
const Text& baiduKey() {
    static const Text name = gbkFromUtf8("百度");
    return name;
}
const Text k360Key = "360";
const Text kUserAgentKey = "UserAgent";

Text readEngineItem(const Text& path, const Text& key) {
    return trimSpaces(readIniItem(path, engineSection(), key));
}

// The address the file gives for the key, the default when it gives none, or
// no address and a message when what it gives is no base URL.
Text endpointOrDefault(const Text& path, const Text& key, const Text& fallback, Text& error) {
    Text value = readEngineItem(path, key);
    if (value.empty()) {
        return fallback;
    }
    Text base = baseUrlOrEmpty(value);
    if (base.empty()) {
        error = gbkFromUtf8("配置.ini 中 [搜索引擎] ") + key + gbkFromUtf8(" 的地址无效：") + value;
    }
    return base;
}

bool holdsControlCharacter(const Text& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return true;
        }
    }
    return false;
}

Text addressProblem(const char* engineName, const Text& address) {
    if (address.empty() || !baseUrlOrEmpty(address).empty()) {
        return Text();
    }
    return gbkFromUtf8(engineName) + gbkFromUtf8("地址无效：“") + address +
           gbkFromUtf8("”。地址应像 http://www.baidu.com 或 https://主机:端口，不带路径。");
}

std::optional<Text> valueOrRemoved(const Text& text) {
    return text.empty() ? std::nullopt : std::optional<Text>(text);
}

}  // namespace

EngineEndpoints loadEngineEndpoints(const Text& path) {
    EngineEndpoints defaults = defaultEngineEndpoints();
    EngineEndpoints endpoints;
    endpoints.baidu = endpointOrDefault(path, baiduKey(), defaults.baidu, endpoints.baiduError);
    endpoints.engine360 = endpointOrDefault(path, k360Key, defaults.engine360, endpoints.error360);
    return endpoints;
}

EngineEndpoints defaultEngineEndpoints() {
    return {"http://www.baidu.com", "http://www.so.com"};
}

Text loadUserAgent(const Text& path) {
    Text agent = readIniItem(path, engineSection(), kUserAgentKey);
    // A header value ends at a line break; a value holding one is not sent.
    bool usable = !agent.empty() && agent.find_first_of("\r\n") == Text::npos;
    return usable ? agent : Text(kDefaultUserAgent);
}

EngineTexts loadEngineTexts(const Text& path) {
    return {readEngineItem(path, baiduKey()), readEngineItem(path, k360Key),
            readEngineItem(path, kUserAgentKey)};
}

Text engineTextsProblem(const EngineTexts& texts) {
    Text problem = addressProblem("百度", trimSpaces(texts.baidu));
    if (problem.empty()) {
        problem = addressProblem("360", trimSpaces(texts.engine360));
    }
    if (problem.empty() && holdsControlCharacter(texts.userAgent)) {
        problem = gbkFromUtf8("UserAgent 只能是一行文字，不能含换行、制表符等控制字符。");
    }
    return problem;
}

bool saveEngineTexts(const Text& path, const EngineTexts& texts) {
    if (!engineTextsProblem(texts).empty()) {
        return false;
    }
    return writeIniItems(path, engineSection(),
                         {{baiduKey(), valueOrRemoved(baseUrlOrEmpty(trimSpaces(texts.baidu)))},
                          {k360Key, valueOrRemoved(baseUrlOrEmpty(trimSpaces(texts.engine360)))},
                          {kUserAgentKey, valueOrRemoved(trimSpaces(texts.userAgent))}});
}

}  // namespace oc
