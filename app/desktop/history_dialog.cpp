#include "app/desktop/history_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/desktop/history_model.h"
#include "app/desktop/qt_text.h"
#include "check/check_comparison.h"
#include "services/boundary_text.h"

namespace oc {
namespace {

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

QString statusCaption(const std::optional<SegmentStatus>& status, const char* none) {
    return status ? qstringFromGbk(statusText(*status)) : QString::fromUtf8(none);
}

QString engineCaption(Engine engine) {
    return engine == Engine::Baidu   ? QStringLiteral("百度")
           : engine == Engine::So360 ? QStringLiteral("360")
                                     : QStringLiteral("本地文档");
}

QString valueOrDash(const std::string& value) {
    return value.empty() ? QStringLiteral("-") : qstringFromUtf8(value);
}

}  // namespace

QString comparisonHtml(const StoredCheck& before, const StoredCheck& after) {
    QString html = QStringLiteral("<p>之前：%1 %2<br>之后：%3 %4</p>")
                       .arg(qstringFromUtf8(shownTimeOf(before.summary.startedAt)).toHtmlEscaped(),
                            qstringFromUtf8(before.summary.title).toHtmlEscaped(),
                            qstringFromUtf8(shownTimeOf(after.summary.startedAt)).toHtmlEscaped(),
                            qstringFromUtf8(after.summary.title).toHtmlEscaped());
    for (const EngineComparison& engine : compareChecks(before, after)) {
        html += QStringLiteral("<h3>%1：%2 → %3</h3>")
                    .arg(engineCaption(engine.engine), valueOrDash(engine.valueBefore),
                         valueOrDash(engine.valueAfter));
        if (engine.changes.empty()) {
            html += QStringLiteral("<p>没有状态改变的段落。</p>");
            continue;
        }
        html += QStringLiteral(
            "<table border=1 cellspacing=0 cellpadding=3>"
            "<tr><th>之前</th><th>之后</th><th>文本</th></tr>");
        for (const SegmentChange& change : engine.changes) {
            html +=
                QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(statusCaption(change.before, "新增"), statusCaption(change.after, "删除"),
                         qstringFromUtf8(change.text).toHtmlEscaped());
        }
        html += QStringLiteral("</table>");
    }
    return html;
}

HistoryDialog::HistoryDialog(CheckStore& store, Platform& platform, QWidget* parent)
    : QDialog(parent),
      store_(store),
      platform_(platform),
      model_(new HistoryModel(this)),
      proxy_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)),
      table_(new QTableView(this)) {
    setObjectName(QStringLiteral("窗口_历史记录"));
    setWindowTitle(QStringLiteral("历史记录"));
    resize(860, 480);
    auto* column = new QVBoxLayout(this);
    filter_->setObjectName(QStringLiteral("编辑框_历史筛选"));
    filter_->setPlaceholderText(QStringLiteral("按标题筛选"));
    filter_->setClearButtonEnabled(true);
    column->addWidget(filter_);

    proxy_->setSourceModel(model_);
    proxy_->setSortRole(HistoryModel::kSortRole);
    proxy_->setFilterKeyColumn(HistoryModel::Title);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    table_->setObjectName(QStringLiteral("表格_历史记录"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(HistoryModel::Time, Qt::DescendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->setVisible(false);
    // Fixed widths: measuring 10,000 rows would cost more than the list itself.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setSectionResizeMode(HistoryModel::Title, QHeaderView::Stretch);
    table_->setColumnWidth(HistoryModel::Time, 130);
    table_->setColumnWidth(HistoryModel::Chars, 60);
    for (int engine : {HistoryModel::Baidu, HistoryModel::So360, HistoryModel::Local}) {
        table_->setColumnWidth(engine, 150);
    }
    table_->setColumnWidth(HistoryModel::State, 60);
    connect(table_, &QTableView::doubleClicked, this, &HistoryDialog::openSelected);
    column->addWidget(table_, 1);

    auto* row = new QHBoxLayout();
    // Shown once the program hands over what they do.
    openButton_ = addButton(row, this, "按钮_打开记录", "打开");
    connect(openButton_, &QPushButton::clicked, this, &HistoryDialog::openSelected);
    exportButton_ = addButton(row, this, "按钮_导出记录报告", "导出报告");
    connect(exportButton_, &QPushButton::clicked, this, &HistoryDialog::exportSelected);
    recheckButton_ = addButton(row, this, "按钮_重查记录", "重查未核实");
    connect(recheckButton_, &QPushButton::clicked, this, &HistoryDialog::recheckSelected);
    for (QPushButton* button : {openButton_, exportButton_, recheckButton_}) {
        button->setVisible(false);
    }
    connect(addButton(row, this, "按钮_对比记录", "对比"), &QPushButton::clicked, this,
            &HistoryDialog::compareSelected);
    connect(addButton(row, this, "按钮_删除记录", "删除"), &QPushButton::clicked, this,
            &HistoryDialog::deleteSelected);
    row->addStretch(1);
    connect(addButton(row, this, "按钮_关闭历史", "关闭"), &QPushButton::clicked, this,
            &QDialog::reject);
    column->addLayout(row);
    reload();
}

void HistoryDialog::setOpenHandler(CheckAction action) {
    open_ = std::move(action);
    openButton_->setVisible(static_cast<bool>(open_));
}

void HistoryDialog::setExportHandler(CheckAction action) {
    export_ = std::move(action);
    exportButton_->setVisible(static_cast<bool>(export_));
}

void HistoryDialog::setRecheckHandler(CheckAction action) {
    recheck_ = std::move(action);
    recheckButton_->setVisible(static_cast<bool>(recheck_));
}

void HistoryDialog::reload() {
    model_->setChecks(store_.listChecks());
}

std::vector<CheckId> HistoryDialog::selectedChecks() const {
    std::vector<CheckId> ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        ids.push_back(index.data(HistoryModel::kIdRole).toLongLong());
    }
    return ids;
}

void HistoryDialog::selectChecks(const std::vector<CheckId>& ids) {
    table_->clearSelection();
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        const QModelIndex index = proxy_->index(row, 0);
        if (std::find(ids.begin(), ids.end(), index.data(HistoryModel::kIdRole).toLongLong()) !=
            ids.end()) {
            table_->selectionModel()->select(
                index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

std::optional<CheckId> HistoryDialog::oneSelected() {
    const std::vector<CheckId> ids = selectedChecks();
    if (ids.size() != 1) {
        platform_.messageBox(gbkFromUtf8("请选择一条检测记录。"), kMbOk, gbkFromUtf8("历史记录"));
        return std::nullopt;
    }
    return ids.front();
}

void HistoryDialog::openSelected() {
    if (std::optional<CheckId> id = oneSelected(); id && open_) {
        open_(*id);
    }
}

void HistoryDialog::exportSelected() {
    if (std::optional<CheckId> id = oneSelected(); id && export_) {
        export_(*id);
    }
}

void HistoryDialog::recheckSelected() {
    if (std::optional<CheckId> id = oneSelected(); id && recheck_) {
        recheck_(*id);
    }
}

bool HistoryDialog::deleteSelected() {
    const std::vector<CheckId> ids = selectedChecks();
    if (ids.empty()) {
        platform_.messageBox(gbkFromUtf8("请选择要删除的检测记录。"), kMbOk,
                             gbkFromUtf8("历史记录"));
        return false;
    }
    const std::string question =
        "确定删除选中的 " + std::to_string(ids.size()) + " 条检测记录吗？删除后无法恢复。";
    if (platform_.messageBox(gbkFromUtf8(question), kMbOkCancel, gbkFromUtf8("历史记录")) ==
        kAnswerCancel) {
        return false;
    }
    int refused = 0;
    for (CheckId id : ids) {
        refused += store_.deleteCheck(id) ? 0 : 1;
    }
    reload();
    if (refused > 0) {
        platform_.messageBox(
            gbkFromUtf8(std::to_string(refused) + " 条检测记录没有删除：正在检测，或已不存在。"),
            kMbOk, gbkFromUtf8("历史记录"));
    }
    return refused < static_cast<int>(ids.size());
}

QString HistoryDialog::compareSelected() {
    const std::vector<CheckId> ids = selectedChecks();
    if (ids.size() != 2) {
        platform_.messageBox(gbkFromUtf8("请选择两条检测记录进行对比。"), kMbOk,
                             gbkFromUtf8("历史记录"));
        return {};
    }
    std::optional<StoredCheck> first = store_.loadCheck(ids[0]);
    std::optional<StoredCheck> second = store_.loadCheck(ids[1]);
    if (!first || !second) {
        return {};
    }
    if (std::tie(second->summary.startedAt, second->summary.id) <
        std::tie(first->summary.startedAt, first->summary.id)) {
        std::swap(first, second);
    }
    const QString html = comparisonHtml(*first, *second);
    auto* window = new QDialog(this);
    window->setObjectName(QStringLiteral("窗口_对比"));
    window->setWindowTitle(QStringLiteral("对比"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(760, 520);
    auto* column = new QVBoxLayout(window);
    auto* text = new QTextBrowser(window);
    text->setObjectName(QStringLiteral("文本_对比"));
    text->setHtml(html);
    column->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::reject);
    column->addWidget(buttons);
    window->open();
    return html;
}

}  // namespace oc
