#include "app/desktop/history_model.h"

#include "app/desktop/qt_text.h"

namespace oc {

QString passCaption(const CheckSummary& check, Engine engine) {
    for (const StoredPassEnd& pass : check.passes) {
        if (pass.engine != engine) {
            continue;
        }
        QString caption = pass.value.empty() ? QStringLiteral("-") : qstringFromUtf8(pass.value);
        if (!pass.coverage.empty()) {
            caption += QStringLiteral(" (") + qstringFromUtf8(pass.coverage) + QStringLiteral(")");
        }
        return caption;
    }
    return {};
}

QString stateCaption(CheckState state) {
    switch (state) {
        case CheckState::Running:
            return QStringLiteral("进行中");
        case CheckState::Interrupted:
            return QStringLiteral("中断");
        case CheckState::Finished:
            break;
    }
    return QStringLiteral("完成");
}

void HistoryModel::setChecks(std::vector<CheckSummary> checks) {
    beginResetModel();
    checks_ = std::move(checks);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(checks_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const CheckSummary& check = checks_[static_cast<std::size_t>(index.row())];
    if (role == kIdRole) {
        return QVariant::fromValue<qlonglong>(check.id);
    }
    if (role == kSortRole) {
        switch (index.column()) {
            case Time:
                // Newest first among checks of the same second: the later id.
                return QVariant::fromValue<qlonglong>(check.startedAt * 1000000 +
                                                      check.id % 1000000);
            case Chars:
                return check.chars;
            default:
                return data(index, Qt::DisplayRole);
        }
    }
    if (role == Qt::ToolTipRole && index.column() == Title) {
        return qstringFromUtf8(check.title);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case Time:
            return qstringFromUtf8(shownTimeOf(check.startedAt));
        case Title:
            return qstringFromUtf8(check.title);
        case Chars:
            return check.chars;
        case Baidu:
            return passCaption(check, Engine::Baidu);
        case So360:
            return passCaption(check, Engine::So360);
        case Local:
            return passCaption(check, Engine::Local);
        case State:
            return stateCaption(check.state);
        default:
            return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const captions[] = {"时间", "标题",     "字数", "百度",
                                           "360",  "本地文档", "状态"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section])
                                                 : QVariant();
}

}  // namespace oc
