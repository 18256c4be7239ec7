#include "check/engine_tables.h"

#include <algorithm>

#include "check/pass_texts.h"
#include "check/window_port.h"
#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/text_ops.h"

namespace oc {
namespace {

TextList gbkList(std::initializer_list<const char*> utf8) {
    TextList list;
    for (const char* text : utf8) {
        list.push_back(gbkFromUtf8(text));
    }
    return list;
}

// A class token, not a substring: "c-container-inner" is no c-container.
#define OC_CLASS_TOKEN(token) "contains(concat(' ', normalize-space(@class), ' '), ' " token " ')"

EngineTable makeBaidu() {
    EngineTable t;
    t.engine = Engine::Baidu;
    t.name = gbkFromUtf8("百度");
    t.verificationHosts = {"wappass.baidu.com", "passport.baidu.com"};
    t.blockTitles = gbkList({"百度安全验证", "安全验证", "登录百度账号"});
    t.bodyMarkers =
        gbkList({"网络不给力，请稍后重试", "请完成下方验证后继续操作", "wappass.baidu.com"});
    // 很抱歉，没有找到与“<em>...</em>”相关的网页。
    t.noResultsPhrases =
        gbkList({"没有找到与“", "抱歉没有找到", "没有找到相关结果", "未找到相关结果"});
    t.pagesPerSegment = 1;
    t.highlightCaseSensitive = false;
    t.pageWithoutHighlightUnverified = true;
    t.blockedPrompt = pass_texts::baiduBlocked();
    t.promptTitle = gbkFromUtf8("百度提示");
    // Organic results and engine cards (result-op) alike; the target in mu,
    // else the title's /link?url= redirect.
    t.blocks = {"//div[" OC_CLASS_TOKEN("c-container") "]", ".//h3//a[@href]", ".//h3", "mu",
                nullptr};
    return t;
}

EngineTable make360() {
    EngineTable t;
    t.engine = Engine::So360;
    t.name = gbkFromUtf8("360搜索");
    t.verificationHosts = {"qcaptcha.so.com"};
    t.blockTitles = gbkList({"访问异常", "验证码"});
    t.bodyMarkers = gbkList({"访问过于频繁", "请输入验证码", "qcaptcha"});
    t.pagesPerSegment = 2;
    t.highlightCaseSensitive = true;
    t.pageWithoutHighlightUnverified = false;
    t.blockedPrompt = pass_texts::blocked360();
    t.promptTitle = gbkFromUtf8("360搜索提示");
    t.blocks = {"//li[" OC_CLASS_TOKEN("res-list") "]",
                ".//h3[" OC_CLASS_TOKEN("res-title") "]//a[@href]", ".//h3", nullptr, "data-mdurl"};
    return t;
}

#undef OC_CLASS_TOKEN

constexpr EngineIdentity kIdentities[] = {
    {Engine::Baidu,
     component::kBaiduCheckBox,
     component::kBaiduGrid,
     component::kBaiduValueLabel,
     component::kBaiduCoverageLabel,
     {},
     "百度",
     "百度",
     "baidu"},
    {Engine::So360, component::k360CheckBox, component::k360Grid, component::k360ValueLabel,
     component::k360CoverageLabel, component::k360VerdictLabel, "360", "360", "360"},
    {Engine::Local, component::kLocalCheckBox, component::kLocalGrid, component::kLocalValueLabel,
     component::kLocalCoverageLabel, component::kLocalVerdictLabel, "本地文档", "本地", "local"},
};

static_assert(kIdentities[static_cast<int>(Engine::Local)].engine == Engine::Local);

}  // namespace

const EngineIdentity& engineIdentity(Engine engine) {
    return kIdentities[static_cast<std::size_t>(engine)];
}

std::optional<Engine> engineOfGrid(std::string_view grid) {
    for (const EngineIdentity& identity : kIdentities) {
        if (identity.grid == grid) {
            return identity.engine;
        }
    }
    return std::nullopt;
}

Text EngineTable::queryUrl(const Text& base, const Text& segment, int page) const {
    // A character GBK lacks stands as "?" in the article (never a byte of a
    // GBK pair): nothing the engine could find.
    Text asked = segment;
    asked.erase(std::remove(asked.begin(), asked.end(), '?'), asked.end());
    if (engine == Engine::Baidu) {
        // GBK, full-width letters and digits made ASCII, 20 results.
        return base + "/s?wd=" + urlEncode(toHalfWidth(asked), false, false) + "&rn=20&lm=0";
    }
    return base + "/s?q=" + urlEncode(asked, true, true) +
           "&pn=" + toText(static_cast<std::int32_t>(page));
}

const EngineTable& engineTable(Engine engine) {
    static const EngineTable baidu = makeBaidu();
    static const EngineTable engine360 = make360();
    return engine == Engine::Baidu ? baidu : engine360;
}

}  // namespace oc
