#include "app/desktop/batch_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "app/desktop/batch_runner.h"
#include "app/desktop/qt_text.h"
#include "check/check_report.h"
#include "check/report_builder.h"
#include "check/stored_run.h"
#include "corpus/document_folder.h"
#include "services/boundary_text.h"
#include "services/file_contents.h"
#include "services/url_parts.h"
#include "store/run_extra.h"

namespace oc {
namespace {

const char* const kHeadings[] = {"文件/网址", "字数",    "百度原创度", "百度核实",
                                 "360原创度", "360核实", "状态"};

QPushButton* button(QWidget* parent, const QString& caption, QLayout* layout) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QStringLiteral("按钮_") + caption);
    layout->addWidget(made);
    return made;
}

// The report file of a row beside the summary: its number and its name.
std::string reportNameOf(const StoredBatchItem& item) {
    std::string name = isWebAddress(item.entry.input)
                           ? std::string("web")
                           : std::filesystem::path(item.entry.input).stem().string();
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("/\\:?*\"<>|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return std::to_string(item.position + 1) + "-" + name.substr(0, 80) + ".html";
}

}  // namespace

BatchWindow::BatchWindow(BatchWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("批量检测"));
    setWindowTitle(QStringLiteral("批量检测"));
    resize(900, 520);
    auto* layout = new QVBoxLayout(this);
    auto* adding = new QHBoxLayout;
    connect(button(this, QStringLiteral("添加文件"), adding), &QPushButton::clicked, this,
            [this] { addFiles(); });
    connect(button(this, QStringLiteral("添加文件夹"), adding), &QPushButton::clicked, this,
            [this] { addFolder(); });
    connect(button(this, QStringLiteral("添加网址"), adding), &QPushButton::clicked, this,
            [this] { addAddresses(); });
    clear_ = button(this, QStringLiteral("清空队列"), adding);
    connect(clear_, &QPushButton::clicked, this, [this] { clearQueue(); });
    adding->addStretch();
    baidu_ = new QCheckBox(QStringLiteral("百度"), this);
    baidu_->setObjectName(QStringLiteral("复选框_百度"));
    baidu_->setChecked(true);
    engine360_ = new QCheckBox(QStringLiteral("360"), this);
    engine360_->setObjectName(QStringLiteral("复选框_360"));
    engine360_->setChecked(true);
    adding->addWidget(baidu_);
    adding->addWidget(engine360_);
    layout->addLayout(adding);

    table_ = new QTableWidget(0, static_cast<int>(std::size(kHeadings)), this);
    table_->setObjectName(QStringLiteral("表格_批量"));
    QStringList headings;
    for (const char* heading : kHeadings) {
        headings << QString::fromUtf8(heading);
    }
    table_->setHorizontalHeaderLabels(headings);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(kInputColumn, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kStatusColumn, QHeaderView::Stretch);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });
    layout->addWidget(table_);

    auto* running = new QHBoxLayout;
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("标签_批量状态"));
    running->addWidget(status_, 1);
    start_ = button(this, QStringLiteral("开始"), running);
    stop_ = button(this, QStringLiteral("停止"), running);
    continue_ = button(this, QStringLiteral("继续"), running);
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(stop_, &QPushButton::clicked, this, [this] { stop(); });
    connect(continue_, &QPushButton::clicked, this, [this] { start(); });
    connect(button(this, QStringLiteral("导出汇总"), running), &QPushButton::clicked, this,
            [this] { exportSummary(); });
    layout->addLayout(running);
    showButtons();
}

BatchWindow::~BatchWindow() {
    shutdown();
}

void BatchWindow::shutdown() {
    runner_.reset();  // stops and waits
}

bool BatchWindow::running() const {
    return going_;
}

void BatchWindow::say(const QString& message) {
    if (setup_.platform != nullptr) {
        setup_.platform->messageBox(gbkFromUtf8(message.toStdString()), kMbOk,
                                    gbkFromUtf8("批量检测"));
    }
}

void BatchWindow::addFiles() {
    const QStringList files =
        chooseFiles_ ? chooseFiles_()
                     : QFileDialog::getOpenFileNames(
                           this, QStringLiteral("添加文件"), QString(),
                           QStringLiteral("文章 (*.txt *.md *.html *.htm *.docx *.pdf)"));
    addInputs(files);
}

void BatchWindow::addFolder() {
    const QString folder = chooseFolder_ ? chooseFolder_()
                                         : QFileDialog::getExistingDirectory(
                                               this, QStringLiteral("添加文件夹（含子文件夹）"));
    if (!folder.isEmpty()) {
        addInputs({folder});
    }
}

void BatchWindow::addAddresses() {
    const QString text =
        chooseAddresses_ ? chooseAddresses_()
                         : QInputDialog::getMultiLineText(this, QStringLiteral("添加网址"),
                                                          QStringLiteral("网页地址，每行一个："));
    QStringList addresses;
    QStringList refused;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString address = line.trimmed();
        if (address.isEmpty()) {
            continue;
        }
        (isWebAddress(address.toStdString()) ? addresses : refused) << address;
    }
    addInputs(addresses);
    if (!refused.isEmpty()) {
        say(QStringLiteral("以下不是 http:// 或 https:// 网址，没有加入：\n") +
            refused.join(QLatin1Char('\n')));
    }
}

void BatchWindow::addInputs(const QStringList& inputs) {
    QStringList problems;
    for (const QString& input : inputs) {
        const std::string path = input.toStdString();
        if (isWebAddress(path) || !QFileInfo(input).isDir()) {
            addItem(path);
            continue;
        }
        const corpus::FolderListing listing = corpus::listDocumentFiles(path);
        if (listing.problem != corpus::FolderProblem::None) {
            problems << QStringLiteral("无法读取文件夹：") + input;
            continue;
        }
        for (const corpus::FolderEntry& file : listing.files) {
            addItem(file.path);
        }
        for (const corpus::SkippedFile& file : listing.skipped) {
            problems << qstringFromUtf8(file.path) + QStringLiteral("：") +
                            qstringFromGbk(file.reason);
        }
    }
    showButtons();
    if (!problems.isEmpty()) {
        say(QStringLiteral("以下没有加入队列：\n") + problems.join(QLatin1Char('\n')));
    }
}

void BatchWindow::addItem(const std::string& input) {
    StoredBatchItem item;
    item.position = static_cast<int>(items_.size());
    item.entry.input = input;
    item.entry.status = "等待";
    items_.push_back(item);
    table_->setRowCount(static_cast<int>(items_.size()));
    showRow(item.position);
    writeItem(item);
}

void BatchWindow::writeItem(const StoredBatchItem& item) {
    if (batch_ && setup_.store != nullptr) {
        setup_.store->writeBatchItem(*batch_, item);
    }
}

void BatchWindow::showRow(int row) {
    const BatchEntry& entry = items_[static_cast<std::size_t>(row)].entry;
    auto cell = [this, row](int column, const std::string& text) {
        auto* item = new QTableWidgetItem(qstringFromUtf8(text));
        table_->setItem(row, column, item);
    };
    cell(kInputColumn, entry.input);
    cell(kCharsColumn, entry.chars < 0 ? std::string() : std::to_string(entry.chars));
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        const int column = engine == Engine::Baidu ? 2 : 4;
        std::string value;
        std::string coverage;
        for (const BatchEngineValue& shown : entry.engines) {
            if (shown.engine == engine) {
                value = shown.value;
                coverage = shown.coverage;
            }
        }
        cell(column, value);
        cell(column + 1, coverage);
    }
    cell(kStatusColumn, entry.status);
    if (items_[static_cast<std::size_t>(row)].check) {
        table_->item(row, kStatusColumn)->setToolTip(QStringLiteral("双击打开这篇文章的检测记录"));
    }
}

void BatchWindow::showButtons() {
    const bool going = running();
    const bool unfinished = std::any_of(items_.begin(), items_.end(),
                                        [](const StoredBatchItem& item) { return !item.finished; });
    start_->setEnabled(!going && unfinished && !stoppedOnce_);
    continue_->setEnabled(!going && unfinished && stoppedOnce_);
    stop_->setEnabled(going);
    clear_->setEnabled(!going);
    baidu_->setEnabled(!going);
    engine360_->setEnabled(!going);
    const auto done = std::count_if(items_.begin(), items_.end(),
                                    [](const StoredBatchItem& item) { return item.finished; });
    if (!going) {
        status_->setText(
            items_.empty()
                ? QStringLiteral("队列是空的：添加文件、文件夹或网址")
                : QStringLiteral("已完成 %1/%2 篇").arg(static_cast<int>(done)).arg(items_.size()));
    }
}

void BatchWindow::start() {
    if (running()) {
        return;
    }
    if (setup_.otherCheckRunning && setup_.otherCheckRunning()) {
        say(QStringLiteral("主窗口的检测尚未结束，请等它结束或停止后再开始批量检测。"));
        return;
    }
    if (!baidu_->isChecked() && !engine360_->isChecked()) {
        say(QStringLiteral("请至少选择一个搜索引擎。"));
        return;
    }
    std::vector<std::pair<int, std::string>> todo;
    for (const StoredBatchItem& item : items_) {
        if (!item.finished) {
            todo.emplace_back(item.position, item.entry.input);
        }
    }
    if (todo.empty()) {
        return;
    }
    if (!batch_ && setup_.store != nullptr && setup_.store->problem().empty()) {
        batch_ = setup_.store->beginBatch("window", "");
        for (const StoredBatchItem& item : items_) {
            writeItem(item);
        }
    }
    BatchRunnerSetup run;
    run.settingsPath = setup_.settingsPath;
    run.baiduUrl = setup_.baiduUrl;
    run.url360 = setup_.url360;
    run.platform = setup_.platform;
    run.store = setup_.store;
    run.baidu = baidu_->isChecked();
    run.engine360 = engine360_->isChecked();
    run.minInterval = setup_.minInterval;
    BatchRunnerEvents events;
    // Each event is taken in on the window's thread.
    events.started = [this](int position) {
        QMetaObject::invokeMethod(this, [this, position] { articleStarted(position); });
    };
    events.paused = [this](int position, const std::string& pause) {
        const QString shown = qstringFromUtf8(pause);
        QMetaObject::invokeMethod(this,
                                  [this, position, shown] { articlePaused(position, shown); });
    };
    events.finished = [this](int position, const BatchEntry& entry, std::optional<CheckId> check,
                             bool stopped) {
        QMetaObject::invokeMethod(this, [this, position, entry, check, stopped] {
            articleFinished(position, entry, check, stopped);
        });
    };
    events.ended = [this] { QMetaObject::invokeMethod(this, [this] { runEnded(); }); };
    runner_.reset();
    runner_ = std::make_unique<BatchRunner>(std::move(run), std::move(events));
    going_ = runner_->start(std::move(todo));
    showButtons();
    status_->setText(QStringLiteral("批量检测中…"));
}

void BatchWindow::stop() {
    if (running()) {
        stoppedOnce_ = true;
        runner_->stop();
    }
}

void BatchWindow::articleStarted(int position) {
    StoredBatchItem& item = items_[static_cast<std::size_t>(position)];
    item.entry.status = "检测中";
    showRow(position);
    writeItem(item);
}

void BatchWindow::articlePaused(int position, const QString& pause) {
    const StoredBatchItem& item = items_[static_cast<std::size_t>(position)];
    if (item.finished) {
        return;
    }
    table_->item(position, kStatusColumn)
        ->setText(pause.isEmpty() ? QStringLiteral("检测中")
                                  : QStringLiteral("检测中（%1）").arg(pause));
    status_->setText(pause);
}

void BatchWindow::articleFinished(int position, const BatchEntry& entry,
                                  std::optional<CheckId> check, bool stopped) {
    StoredBatchItem& item = items_[static_cast<std::size_t>(position)];
    item.entry = entry;
    item.check = check;
    // A stopped article is checked again by 继续.
    item.finished = !stopped;
    if (stopped) {
        item.entry.status = "已停止（继续时重新检测）";
    }
    showRow(position);
    writeItem(item);
}

void BatchWindow::runEnded() {
    going_ = false;
    const bool unfinished = std::any_of(items_.begin(), items_.end(),
                                        [](const StoredBatchItem& item) { return !item.finished; });
    if (!unfinished && batch_ && setup_.store != nullptr) {
        setup_.store->endBatch(*batch_, storeTimeNow());
        batch_.reset();
    }
    if (!unfinished) {
        stoppedOnce_ = false;
    }
    showButtons();
}

void BatchWindow::takeUp(StoredBatch batch) {
    if (running()) {
        return;
    }
    if (batch_ && setup_.store != nullptr) {
        setup_.store->releaseBatch(*batch_);
    }
    batch_ = batch.id;
    items_ = std::move(batch.items);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i].position = static_cast<int>(i);
        // What was being checked when the program ended is checked again.
        if (!items_[i].finished) {
            items_[i].entry.status = "等待";
        }
    }
    table_->setRowCount(static_cast<int>(items_.size()));
    for (std::size_t i = 0; i < items_.size(); ++i) {
        showRow(static_cast<int>(i));
    }
    stoppedOnce_ = true;
    showButtons();
}

void BatchWindow::clearQueue() {
    if (running()) {
        return;
    }
    if (batch_ && setup_.store != nullptr) {
        setup_.store->endBatch(*batch_, storeTimeNow());
    }
    batch_.reset();
    items_.clear();
    table_->setRowCount(0);
    stoppedOnce_ = false;
    showButtons();
}

void BatchWindow::openRow(int row) {
    if (row < 0 || row >= static_cast<int>(items_.size())) {
        return;
    }
    const StoredBatchItem& item = items_[static_cast<std::size_t>(row)];
    if (item.check && open_) {
        open_(*item.check);
    }
}

void BatchWindow::exportSummary() {
    const QString path =
        chooseSummary_ ? chooseSummary_()
                       : QFileDialog::getSaveFileName(
                             this, QStringLiteral("导出汇总"), QStringLiteral("批量检测汇总.html"),
                             QStringLiteral("网页 (*.html *.htm);;CSV 表格 (*.csv)"));
    if (!path.isEmpty()) {
        exportSummary(path);
    }
}

bool BatchWindow::exportSummary(const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    const std::optional<ReportFormat> format = reportFormatFor(file);
    if (!format) {
        say(QStringLiteral("汇总文件须以 .html、.htm 或 .csv 结尾：") + path);
        return false;
    }
    std::vector<BatchEntry> entries;
    for (const StoredBatchItem& item : items_) {
        entries.push_back(item.entry);
    }
    if (*format != ReportFormat::Csv && setup_.store != nullptr) {
        // Each finished article's own report, in a folder beside the summary.
        const std::filesystem::path summary(file);
        const std::string folderName = summary.stem().string() + "_报告";
        std::error_code error;
        std::filesystem::create_directories(summary.parent_path() / folderName, error);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            const StoredBatchItem& item = items_[i];
            std::optional<StoredCheck> check;
            if (item.check) {
                check = setup_.store->loadCheck(*item.check);
            }
            if (!check) {
                continue;
            }
            const std::string name = reportNameOf(item);
            CheckReport report = storedRunOf(*check).report;
            addWebPageLine(report, check->extra);
            if (writeReportFile((summary.parent_path() / folderName / name).string(), report)) {
                entries[i].report = folderName + "/" + name;
            }
        }
    }
    const std::string content =
        *format == ReportFormat::Csv
            ? batchSummaryCsv(entries)
            : batchSummaryHtml(entries, reportTimestamp(std::chrono::system_clock::now()));
    if (!replaceFileAtomically(file, content)) {
        say(QStringLiteral("无法写入汇总文件：") + path);
        return false;
    }
    return true;
}

}  // namespace oc
