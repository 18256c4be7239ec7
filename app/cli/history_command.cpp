#include "app/cli/history_command.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli/history_show.h"
#include "app/cli/json_text.h"
#include "app/cli/result_report.h"
#include "services/shown_text.h"

namespace oc::cli {
namespace {

const char* stateName(CheckState state) {
    switch (state) {
        case CheckState::Running:
            return "running";
        case CheckState::Interrupted:
            return "interrupted";
        case CheckState::Finished:
            break;
    }
    return "finished";
}

const char* stateCaption(CheckState state) {
    switch (state) {
        case CheckState::Running:
            return "进行中";
        case CheckState::Interrupted:
            return "中断";
        case CheckState::Finished:
            break;
    }
    return "完成";
}

const char* engineKey(Engine engine) {
    return engine == Engine::Baidu ? "baidu" : engine == Engine::So360 ? "360" : "local";
}

const char* engineCaption(Engine engine) {
    return engine == Engine::Baidu ? "百度" : engine == Engine::So360 ? "360" : "本地文档";
}

std::string padded(const std::string& text, int width) {
    return text +
           std::string(static_cast<std::size_t>(std::max(0, width - displayWidth(text))), ' ');
}

// "79.07% (已核实 43/43)" or "-" while it has no value.
std::string passCell(const StoredPassEnd& pass) {
    std::string cell = pass.value.empty() ? "-" : pass.value;
    if (!pass.coverage.empty()) {
        cell += " (" + pass.coverage + ")";
    }
    return cell;
}

}  // namespace

std::string historyTable(const std::vector<CheckSummary>& checks) {
    if (checks.empty()) {
        return "没有检测记录\n";
    }
    std::vector<std::vector<std::string>> rows{{"编号", "时间", "状态", "字数", "标题"}};
    for (const CheckSummary& check : checks) {
        std::vector<std::string> row{std::to_string(check.id), shownTimeOf(check.startedAt),
                                     stateCaption(check.state), std::to_string(check.chars),
                                     terminalText(check.title)};
        for (const StoredPassEnd& pass : check.passes) {
            row.push_back(std::string(engineCaption(pass.engine)) + " " + passCell(pass));
        }
        rows.push_back(std::move(row));
    }
    std::vector<int> widths;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i + 1 < row.size(); ++i) {
            widths.resize(std::max(widths.size(), i + 1));
            widths[i] = std::max(widths[i], displayWidth(row[i]) + 2);
        }
    }
    // The title is padded only when engine columns follow it.
    int titleWidth = 0;
    for (const auto& row : rows) {
        titleWidth = std::max(titleWidth, displayWidth(row[4]) + 2);
    }
    std::ostringstream out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            // Engine columns: two spaces between them.
            const int width = i == 4 ? titleWidth : i < 4 ? widths[i] : displayWidth(row[i]) + 2;
            line += i + 1 < row.size() ? padded(row[i], width) : row[i];
        }
        out << line << "\n";
    }
    return out.str();
}

std::string historyJson(const std::vector<CheckSummary>& checks) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CheckSummary& check : checks) {
        nlohmann::ordered_json entry;
        entry["id"] = check.id;
        entry["startedAt"] = isoTimeOf(check.startedAt);
        entry["endedAt"] =
            check.endedAt ? nlohmann::ordered_json(isoTimeOf(*check.endedAt)) : nullptr;
        entry["title"] = check.title;
        entry["chars"] = check.chars;
        entry["state"] = stateName(check.state);
        entry["passes"] = nlohmann::ordered_json::array();
        for (const StoredPassEnd& pass : check.passes) {
            entry["passes"].push_back({{"engine", engineKey(pass.engine)},
                                       {"end", pass.end},
                                       {"originality", pass.value},
                                       {"coverage", pass.coverage},
                                       {"verdict", pass.verdict}});
        }
        list.push_back(std::move(entry));
    }
    return jsonText(list, 2);
}

int runHistoryCommand(const CliOptions& options, CheckStore* store, std::ostream& out,
                      std::ostream& err) {
    if (store == nullptr) {
        err << "originality-cli: history 需要检测记录（不能与 --no-store 同用）\n";
        return kExitUsage;
    }
    if (!store->problem().empty()) {
        err << "originality-cli: 检测记录不可用：" << terminalText(store->problem()) << "\n";
        return kExitUsage;
    }
    switch (options.history) {
        case HistoryCommand::Show: {
            std::optional<StoredCheck> check = store->loadCheck(options.historyId);
            if (!check) {
                err << "originality-cli: 没有编号为 " << options.historyId << " 的检测记录\n";
                return kExitUsage;
            }
            return showStoredCheck(*check, options, out, err);
        }
        case HistoryCommand::Delete:
            if (!store->deleteCheck(options.historyId)) {
                err << "originality-cli: 无法删除编号为 " << options.historyId
                    << " 的检测记录（不存在或正在检测）\n";
                return kExitUsage;
            }
            out << "已删除检测记录 " << options.historyId << "\n";
            return 0;
        case HistoryCommand::List:
        case HistoryCommand::None:
            break;
    }
    const std::vector<CheckSummary> checks = store->listChecks();
    if (!store->problem().empty()) {
        err << "originality-cli: 检测记录不可用：" << terminalText(store->problem()) << "\n";
        return kExitUsage;
    }
    out << (options.json ? historyJson(checks) : historyTable(checks));
    return 0;
}

}  // namespace oc::cli
