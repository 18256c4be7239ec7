// The fixed texts the check passes show, as GBK.
#pragma once

#include <string>

#include "corpus/document_folder.h"
#include "services/text_types.h"

namespace oc::pass_texts {

const Text& pasteArticle();    // 请拷贝待检测文章
const Text& hintTitle();       // 提示
const Text& tickAnEngine();    // 请至少勾选一个搜索引擎
const Text& nothingToCheck();  // 文章中没有可检测的文字
const Text& baiduBlocked();    // 百度可能暂时屏蔽本机搜索 ...
const Text& blocked360();      // 360可能暂时屏蔽本机搜索 ...

// The block prompt's line for its third button, 不再询问.
const Text& noMoreAskHint();
// The reason of the segments left when failures in a row stopped an engine:
// "连续3次无法连接百度，已停止查询".
Text engineStopped(const Text& engineName);
// The countdown of an engine's pause: "百度已暂停，09:41 后继续".
Text enginePaused(const Text& engineName, int secondsLeft);

// A page analysed only in part: "页面过大，仅分析前 N 个飘红" (highlights cut),
// "页面过大，仅分析前 N 个结果" (result blocks cut), both joined by "；".
Text pageCutNote(bool highlightsCut, bool blocksCut);

// An article longer than the checker takes: "文章过长：N 字，最多 200000 字".
Text articleTooLong(std::size_t chars);

// The local engine's folder cannot be used: "没有设置本地文档目录",
// "本地文档目录不存在：PATH", "本地文档目录不是文件夹：PATH",
// "无法读取本地文档目录：PATH", "本地文档目录中没有可用的文档：PATH"
// (the path as GB18030 text).
Text localFolderProblem(corpus::FolderProblem problem, const std::string& folder);

}  // namespace oc::pass_texts
