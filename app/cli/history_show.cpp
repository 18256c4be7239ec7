#include "app/cli/history_show.h"

#include "services/boundary_text.h"

namespace oc::cli {
namespace {

const char* engineCaption(Engine engine) {
    return engine == Engine::Baidu ? "百度" : engine == Engine::So360 ? "360" : "本地文档";
}

}  // namespace

int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err) {
    (void)options;
    (void)err;
    out << "检测时间: " << shownTimeOf(check.summary.startedAt) << "\n";
    out << "标题: " << check.summary.title << "\n";
    out << "文章字数: " << check.summary.chars << "\n";
    for (const StoredPass& pass : check.passes) {
        out << "\n== " << engineCaption(pass.summary.engine) << " ==\n";
        for (const StoredRow& row : pass.rows) {
            out << row.number << "  " << utf8FromGbk(statusText(row.status));
            if (!row.reason.empty()) {
                out << "(" << row.reason << ")";
            }
            out << "  " << row.text << "\n";
        }
        out << engineCaption(pass.summary.engine)
            << "原创度: " << (pass.summary.value.empty() ? "-" : pass.summary.value);
        if (!pass.summary.coverage.empty()) {
            out << " (" << pass.summary.coverage << ")";
        }
        out << "\n";
    }
    return 0;
}

}  // namespace oc::cli
