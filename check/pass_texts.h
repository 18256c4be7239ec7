// The fixed texts the check passes show, as GBK.
#pragma once

#include "services/text_types.h"

namespace oc::pass_texts {

const Text& pasteArticle();  // 请拷贝待检测文章
const Text& hintTitle();     // 提示
const Text& tickAnEngine();  // 请至少勾选一个搜索引擎
const Text& blockedTitle();  // 搜狗提示
const Text& baiduBlocked();  // 百度可能暂时屏蔽本机搜索 ...
const Text& blocked360();    // 360可能暂时屏蔽本机搜索 ...

}  // namespace oc::pass_texts
