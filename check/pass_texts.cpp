#include "check/pass_texts.h"

#include "check/article_length.h"
#include "check/block_wait.h"
#include "check/highlight.h"
#include "check/pass_steps.h"
#include "check/result_blocks.h"

#include <cstdio>
#include "services/boundary_text.h"

namespace oc::pass_texts {
namespace {

// The block prompt names the engine, then the search to open in the browser;
// the rest is shared.
Text blockedPrompt(std::string_view engine, std::string_view search) {
    std::string utf8 = std::string(engine) +
                       "可能暂时屏蔽本机搜索\r\n\r\n点击 确定，继续查询\r\n\r\n"
                       "点击 取消，放弃本次查询，然后用浏览器打开" +
                       std::string(search) + "搜索关键词，并输入验证码";
    return gbkFromUtf8(utf8);
}

}  // namespace

Text pageCutNote(bool highlightsCut, bool blocksCut) {
    std::string note;
    if (highlightsCut) {
        note = "页面过大，仅分析前 " + std::to_string(kMaxHighlights) + " 个飘红";
    }
    if (blocksCut) {
        note += (note.empty() ? "" : "；");
        note += "页面过大，仅分析前 " + std::to_string(kMaxResultBlocks) + " 个结果";
    }
    return gbkFromUtf8(note);
}

Text articleTooLong(std::size_t chars) {
    return gbkFromUtf8("文章过长：" + std::to_string(chars) + " 字，最多 " +
                       std::to_string(kMaxArticleChars) + " 字");
}

const Text& pasteArticle() {
    static const Text text = gbkFromUtf8("请拷贝待检测文章");
    return text;
}

const Text& tickAnEngine() {
    static const Text text = gbkFromUtf8("请至少勾选一个搜索引擎");
    return text;
}

const Text& hintTitle() {
    static const Text text = gbkFromUtf8("提示");
    return text;
}

const Text& nothingToCheck() {
    static const Text text = gbkFromUtf8("文章中没有可检测的文字");
    return text;
}

const Text& noMoreAskHint() {
    static const Text text =
        gbkFromUtf8("\r\n\r\n点击 不再询问，本次检测遇到屏蔽时自动暂停该引擎，等待后重试");
    return text;
}

Text engineStopped(const Text& engineName) {
    return gbkFromUtf8("连续" + std::to_string(kFailuresBeforeStop) + "次无法连接") + engineName +
           gbkFromUtf8("，已停止查询");
}

Text enginePaused(const Text& engineName, int secondsLeft) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", secondsLeft / 60, secondsLeft % 60);
    return engineName + gbkFromUtf8(std::string("已暂停，") + clock + " 后继续");
}

const Text& baiduBlocked() {
    static const Text text = blockedPrompt("百度", "百度");
    return text;
}

Text localFolderProblem(corpus::FolderProblem problem, const std::string& folder) {
    using corpus::FolderProblem;
    const char* opening = problem == FolderProblem::NotGiven  ? "没有设置本地文档目录"
                          : problem == FolderProblem::Missing ? "本地文档目录不存在："
                          : problem == FolderProblem::NotAFolder ? "本地文档目录不是文件夹："
                          : problem == FolderProblem::Unreadable ? "无法读取本地文档目录："
                          : problem == FolderProblem::PathTooLong
                              ? "本地文档目录的路径过长："
                              : "本地文档目录中没有可用的文档：";
    Text text = gbkFromUtf8(opening);
    if (problem != FolderProblem::NotGiven) {
        text += cellTextOf(folder);
    }
    return text;
}

const Text& blocked360() {
    static const Text text = blockedPrompt("360", "360搜索");
    return text;
}

}  // namespace oc::pass_texts
