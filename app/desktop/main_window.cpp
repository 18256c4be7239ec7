#include "app/desktop/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <span>
#include <utility>

#include "app/desktop/article_box.h"
#include "app/desktop/article_loading.h"
#include "app/desktop/grid_click.h"
#include "app/desktop/local_engine_bar.h"
#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window_layout.h"
#include "app/desktop/program_name.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/tab_control.h"
#include "app/desktop/usage_guide.h"
#include "app/desktop/widget_style.h"
#include "check/engine_tables.h"
#include "check/window_port.h"
#include "services/boundary_text.h"

namespace oc {

namespace {
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kLinkBlue(0, 0, 255);
}  // namespace

MainWindow::MainWindow(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    setWindowTitle(programName());
    setAttribute(Qt::WA_StyledBackground);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    move(kDesignLeft, kDesignTop);
    resize(kDesignWidth, kDesignHeight);

    // The links at the top right; below them the article over the results
    // (a splitter between them) beside the guide panel; the status bar last.
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(kMargin, 0, kMargin, 0);
    root->setSpacing(2);
    auto* links = new QHBoxLayout;
    links->setSpacing(8);
    links->addStretch(1);
    root->addLayout(links);
    auto* body = new QHBoxLayout;
    body->setSpacing(kMargin);
    root->addLayout(body, 1);
    splitter_ = add(new QSplitter(Qt::Vertical, this), kSplitter);
    splitter_->setChildrenCollapsible(false);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { splitterChosen_ = true; });
    body->addWidget(splitter_, 1);

    buildLinks(*links);
    buildArticleArea();
    buildResultArea();
    body->addWidget(buildGuidePanel());
    buildStatusBar();
    root->addWidget(progress_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    fitToWidth(kDesignWidth);

    countTimer_.setSingleShot(true);
    countTimer_.setInterval(kCountDelayMs);
    connect(&countTimer_, &QTimer::timeout, this, [this] {
        if (charCounter_) {
            const QString text = component<QPlainTextEdit>(component::kArticleBox)->toPlainText();
            component<QLabel>(component::kCharCountLabel)
                ->setText(QString::number(charCounter_(text)));
        }
    });
    connect(component<QPlainTextEdit>(component::kArticleBox), &QPlainTextEdit::textChanged, this,
            &MainWindow::articleEdited);
}

template <class Widget>
Widget* MainWindow::add(Widget* widget, std::string_view name) {
    const QString objectName = qstringFromUtf8(name);
    widget->setObjectName(objectName);
    components_.insert(objectName, widget);
    return widget;
}

QWidget* MainWindow::component(std::string_view name) const {
    return components_.value(qstringFromUtf8(name), nullptr);
}

ResultGrid* MainWindow::grid(std::string_view name) const {
    return component<ResultGrid>(name);
}

void MainWindow::buildLinks(QHBoxLayout& row) {
    auto* batch = add(makeCaptionLabel(this, QStringLiteral("批量检测"), kLinkBlue), kBatchLink);
    auto* history =
        add(makeCaptionLabel(this, QStringLiteral("历史记录"), kLinkBlue), kHistoryLink);
    auto* link = add(makeCaptionLabel(this, QStringLiteral("参数设置"), kLinkBlue), "标签1");
    auto* ignored = add(makeCaptionLabel(this, QString(), kRed), kIgnoredSitesLabel);
    ignored->setFont(pixelFont(12));
    ignored->setFixedHeight(16);
    ignored->hide();
    row.addWidget(ignored);
    for (QLabel* label : {batch, history, link}) {
        label->setFont(pixelFont(12, false, true));
        label->setCursor(Qt::PointingHandCursor);
        label->setFixedHeight(16);
        label->installEventFilter(this);
        row.addWidget(label);
    }
}

void MainWindow::buildArticleArea() {
    auto* pane = new QWidget(splitter_);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 2);
    column->setSpacing(4);
    auto* group = add(new QGroupBox(QStringLiteral("请将文章粘贴到这里，标题可以放到第一行"), pane),
                      "分组框_文章");
    auto* inside = new QVBoxLayout(group);
    inside->setContentsMargins(8, 4, 8, 8);
    auto* article = add(new ArticleBox(group), component::kArticleBox);
    inside->addWidget(article);
    // A text file dropped on the box is opened like 打开文件… opens it.
    article->setFileHandler([this](const QString& path) { openArticleFrom(path); });
    article->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    article->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    article->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    article->setMinimumHeight(48);
    article->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: black; background-color: white; }"));
    column->addWidget(group, 1);

    controls_ = new QBoxLayout(QBoxLayout::LeftToRight);
    controls_->setContentsMargins(8, 0, 0, 0);
    controls_->setSpacing(4);
    controls_->addLayout(buildButtonRows());
    values_ = new QGridLayout;
    values_->setHorizontalSpacing(4);
    values_->setVerticalSpacing(0);
    buildValues();
    controls_->addLayout(values_);
    column->addLayout(controls_);
    splitter_->addWidget(pane);
}

QLayout* MainWindow::buildButtonRows() {
    auto* rows = new QVBoxLayout;
    rows->setSpacing(4);
    auto* first = new QHBoxLayout;
    first->setSpacing(6);
    struct ButtonSpec {
        std::string_view name;
        const char* caption;
        void (MainWindow::*handler)();
    };
    const ButtonSpec buttons[] = {
        {"按钮_清空文本", "清空文本", &MainWindow::clearArticle},
        {"按钮_复制进来", "复制进来", &MainWindow::pasteArticle},
        {component::kCheckButton, "开始检测", nullptr},
        {"按钮_拷贝出去", "拷贝出去", &MainWindow::copyArticle},
    };
    for (const ButtonSpec& design : buttons) {
        auto* button = add(new QPushButton(QString::fromUtf8(design.caption), this), design.name);
        button->setFont(pixelFont(12));
        button->setFixedSize(64, 32);
        first->addWidget(button);
        if (design.handler != nullptr) {
            connect(button, &QPushButton::clicked, this, design.handler);
        } else {
            connect(button, &QPushButton::clicked, this, [this] {
                if (checkHandler_) {
                    checkHandler_();
                }
            });
        }
    }
    auto* countCaption = add(makeCaptionLabel(this, QStringLiteral("文章字数"), kBlack), "标签6");
    countCaption->setFont(pixelFont(12));
    first->addWidget(countCaption);
    auto* count = add(makeValueLabel(this), component::kCharCountLabel);
    count->setFixedSize(56, 32);
    first->addWidget(count);
    first->addStretch(1);
    rows->addLayout(first);

    auto* second = new QHBoxLayout;
    second->setSpacing(4);
    // The engines a check asks; their captions in the buttons' font, so they
    // fit whatever the desktop's.
    const struct {
        std::string_view name;
        const char* caption;
        bool ticked;
    } engines[] = {
        {component::kBaiduCheckBox, "查百度", true},
        {component::k360CheckBox, "查360", true},
        // Ticked without a folder, the local page's folder chooser asks for one.
        {component::kLocalCheckBox, "查本地文档", false},
    };
    for (const auto& engine : engines) {
        auto* box = add(new QCheckBox(QString::fromUtf8(engine.caption), this), engine.name);
        box->setFont(pixelFont(12));
        box->setChecked(engine.ticked);
        box->setFixedWidth(box->sizeHint().width());
        second->addWidget(box);
    }
    component(component::kLocalCheckBox)
        ->setToolTip(
            QStringLiteral("开始检测时也与本地文档目录中的文章逐段比对（目录在“本地”页选择）"));

    // Usable only after a run that left unverified segments; the check
    // passes enable it.
    auto* recheck =
        add(new QPushButton(QStringLiteral("重查未核实"), this), component::kRecheckButton);
    recheck->setToolTip(QStringLiteral("只重新查询状态为“未核实”的段，更新这些行和原创度"));
    recheck->setEnabled(false);
    connect(recheck, &QPushButton::clicked, this, [this] {
        if (recheckHandler_) {
            recheckHandler_();
        }
    });
    // Usable while a check runs; the check passes enable it.
    auto* stop = add(new QPushButton(QStringLiteral("停止检测"), this), component::kStopButton);
    stop->setToolTip(
        QStringLiteral("停止正在进行的检测（Esc）。已查的行保留，未查的段标为未核实，"
                       "可用“重查未核实”继续"));
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setEnabled(false);
    connect(stop, &QPushButton::clicked, this, [this] {
        if (stopHandler_) {
            stopHandler_();
        }
    });
    auto* open = add(new QPushButton(QStringLiteral("打开文件…"), this), "按钮_打开文件");
    open->setToolTip(
        QStringLiteral("读入文章：文本文件（.txt、.md，UTF-8 或 GBK）、网页文件（.html、.htm）、"
                       "Word 文档（.docx）或 PDF 文件"));
    connect(open, &QPushButton::clicked, this, &MainWindow::openArticle);
    for (const auto& [button, width] :
         {std::pair<QPushButton*, int>{recheck, 68}, {stop, 56}, {open, 66}}) {
        button->setFont(pixelFont(12));
        button->setFixedSize(width, 24);
        second->addWidget(button);
    }
    second->addStretch(1);
    rows->addLayout(second);
    return rows;
}

// The value labels with their captions, under each value how many segments
// the engine really answered, under the 360 coverage the 360 verdict.
void MainWindow::buildValues() {
    for (const auto& [name, caption] :
         {std::pair<std::string_view, const char*>{"标签5", "百度原创度"},
          {"标签3", "360原创度"}}) {
        add(makeCaptionLabel(this, QString::fromUtf8(caption), kBlack), name)
            ->setFont(pixelFont(12));
    }
    for (std::string_view name : {component::kBaiduValueLabel, component::k360ValueLabel}) {
        add(makeValueLabel(this), name)->setFixedSize(60, 32);
    }
    const QString coverageTip = QStringLiteral(
        "已核实：搜索引擎确实答复了的段数／全部段数。被屏蔽、无法连接等未核实的段不计入原创度，"
        "可用“重查未核实”再查。");
    for (std::string_view name : {component::kBaiduCoverageLabel, component::k360CoverageLabel}) {
        QLabel* label = add(makeCaptionLabel(this, QString(), kBlack, true), name);
        label->setFont(pixelFont(12));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setToolTip(coverageTip);
        label->setFixedHeight(15);
        label->setMinimumWidth(90);
    }
    auto* verdict = add(makeCaptionLabel(this, QString(), kRed, true), component::k360VerdictLabel);
    verdict->setFont(pixelFont(12));
    verdict->setFixedHeight(16);
    verdict->setMinimumWidth(90);
}

// Wide: the values right of the buttons, the coverage under each; narrow:
// the values in a row of their own under the buttons, the coverage beside each,
// so the article column fits 640 pixels.
void MainWindow::placeValues(bool wide) {
    struct Cell {
        std::string_view name;
        int row;
        int column;
        int span;
        int rows = 1;
    };
    const Cell wideCells[] = {
        {"标签5", 0, 0, 1},
        {component::kBaiduValueLabel, 0, 1, 1},
        {"标签3", 0, 2, 1},
        {component::k360ValueLabel, 0, 3, 1},
        {component::kBaiduCoverageLabel, 1, 0, 2},
        {component::k360CoverageLabel, 1, 2, 2},
        {component::k360VerdictLabel, 2, 2, 2},
    };
    const Cell narrowCells[] = {
        {"标签5", 0, 0, 1, 2},
        {component::kBaiduValueLabel, 0, 1, 1, 2},
        {component::kBaiduCoverageLabel, 0, 2, 1},
        {"标签3", 0, 3, 1, 2},
        {component::k360ValueLabel, 0, 4, 1, 2},
        {component::k360CoverageLabel, 0, 5, 1},
        {component::k360VerdictLabel, 1, 5, 1},
    };
    for (const Cell& cell : wideCells) {
        values_->removeWidget(component(cell.name));
    }
    for (const Cell& cell :
         wide ? std::span<const Cell>(wideCells) : std::span<const Cell>(narrowCells)) {
        values_->addWidget(component(cell.name), cell.row, cell.column, cell.rows, cell.span);
    }
    for (int column = 0; column < 6; ++column) {
        values_->setColumnStretch(column, 0);
    }
    controls_->setDirection(wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    controls_->setStretch(0, wide ? 1 : 0);
    values_->setColumnStretch(6, wide ? 0 : 1);
}

void MainWindow::buildResultArea() {
    auto* group = add(new QGroupBox(splitter_), kResultGroup);
    group->setStyleSheet(QStringLiteral("QGroupBox::title { color: rgb(192, 0, 0); }"));
    auto* inside = new QVBoxLayout(group);
    inside->setContentsMargins(4, 4, 4, 4);
    auto* tabs = add(new TabControl(group), "选择夹1");
    inside->addWidget(tabs);
    for (int i = 0; i < 3; ++i) {
        const EngineIdentity& engine = engineIdentity(kAllEngines[i]);
        QWidget* page = tabs->addPage(qstringFromUtf8(engine.shortName));
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, kGridTop, 4, 4);
        pageLayout->setSpacing(4);
        if (i == kLocalPage) {
            // The local engine's own row above its grid.
            pageLayout->setContentsMargins(4, kGridTop - 10, 4, 4);
            auto* bar = add(new LocalEngineBar(platform_, page), kLocalEngineBar);
            bar->setFixedHeight(LocalEngineBar::kHeight);
            pageLayout->addWidget(bar);
            for (QWidget* part : bar->findChildren<QWidget*>()) {
                if (!part->objectName().isEmpty()) {
                    components_.insert(part->objectName(), part);
                }
            }
            bar->folder().requireFolderFor(*component<QCheckBox>(component::kLocalCheckBox));
        }
        auto* grid = add(new ResultGrid(page), engine.grid);
        pageLayout->addWidget(grid, 1);
        connect(grid, &ResultGrid::gridClicked, this,
                [this, grid] { handleGridClick(*grid, platform_); });
        connect(grid, &ResultGrid::copyRequested, this, [this](const QString& text) {
            if (!text.isEmpty()) {
                platform_.setClipboardText(gbkFromQString(text));
            }
        });
        connect(grid, &ResultGrid::openRequested, this, [this, grid](int row, int column) {
            openAddress(*grid, row, column, grid->cellText(row, column), platform_);
        });
    }
    QWidget* guidePage = tabs->addPage(QStringLiteral("使用说明"));
    auto* guideLayout = new QVBoxLayout(guidePage);
    guideLayout->setContentsMargins(4, kGridTop, 4, 4);
    auto* guide = add(new QTextBrowser(guidePage), "超文本浏览框_说明页");
    guideLayout->addWidget(guide);
    guide->setOpenLinks(false);
    guide->setHtml(usageGuideHtml());
    tabs->setPageVisible(kGuidePage, false);
    tabs->setCurrentIndex(0);

    // Usable once a check has ended (stopped or cancelled ones too), never
    // while one runs.
    auto* report = add(new QPushButton(QStringLiteral("导出报告"), tabs), kExportReportButton);
    report->resize(64, 22);
    report->setFont(pixelFont(12));
    report->setToolTip(QStringLiteral("把上次检测的结果保存为 HTML 报告或 CSV 表格"));
    report->setEnabled(false);
    tabs->setCornerWidget(report);
    connect(report, &QPushButton::clicked, this, [this] {
        if (exportHandler_) {
            exportHandler_();
        }
    });
    splitter_->addWidget(group);
}

QWidget* MainWindow::buildGuidePanel() {
    auto* group = add(new QGroupBox(this), "分组框_广告");
    group->setFixedWidth(kGuideWidth);
    auto* inside = new QVBoxLayout(group);
    inside->setContentsMargins(6, 8, 6, 6);
    auto* guide = add(new QTextBrowser(group), "超文本浏览框1");
    inside->addWidget(guide);
    guide->setOpenLinks(false);
    guide->setHtml(usageGuideHtml());
    return group;
}

void MainWindow::buildStatusBar() {
    progress_ = add(new ProgressPanel(this), "状态栏");
    progress_->setFixedHeight(kStatusBarHeight);
    connect(progress_, &ProgressPanel::titlePrefixChanged, this, &MainWindow::showTitle);
}

void MainWindow::runStarted() {
    component(kExportReportButton)->setEnabled(false);
    progress_->begin();
}

void MainWindow::runEnded() {
    progress_->end();
    component(kExportReportButton)->setEnabled(true);
}

void MainWindow::showTitle() {
    setWindowTitle(progress_->titlePrefix() + programName());
}

void MainWindow::clearArticle() {
    replaceArticleText(*component<QPlainTextEdit>(component::kArticleBox), QString());
    articleReplaced();
}

void MainWindow::pasteArticle() {
    pasteArticleFromClipboard(*component<QPlainTextEdit>(component::kArticleBox), platform_);
}

void MainWindow::openArticleFrom(const QString& path) {
    if (openArticleFile(*component<QPlainTextEdit>(component::kArticleBox), platform_, path)) {
        articleReplaced();
    }
}

void MainWindow::articleReplaced() {
    if (running_ && running_()) {
        return;
    }
    if (checkedArticle_ || recheckWanted_) {
        clearResults();
        if (resultsCleared_) {
            resultsCleared_();
        }
    }
}

void MainWindow::articleEdited() {
    countTimer_.start();
    if (checkedArticle_) {
        showStale(articleTextOf(component<QPlainTextEdit>(component::kArticleBox)->toPlainText()) !=
                  *checkedArticle_);
    }
}

void MainWindow::setCheckedArticle(std::optional<Text> article) {
    checkedArticle_ = std::move(article);
    if (checkedArticle_) {
        articleEdited();
    } else {
        showStale(false);
    }
}

void MainWindow::setRecheckWanted(bool wanted) {
    recheckWanted_ = wanted;
    component(component::kRecheckButton)->setEnabled(recheckWanted_ && !stale_);
}

void MainWindow::showStale(bool stale) {
    if (stale == stale_) {
        return;
    }
    stale_ = stale;
    for (Engine engine : kAllEngines) {
        const EngineIdentity& shown = engineIdentity(engine);
        for (std::string_view name : {shown.valueLabel, shown.coverageLabel, shown.verdictLabel}) {
            if (QWidget* label = name.empty() ? nullptr : component(name)) {
                label->setEnabled(!stale);
            }
        }
        if (ResultGrid* results = grid(shown.grid)) {
            results->setStale(stale);
        }
    }
    component<QGroupBox>(kResultGroup)->setTitle(stale ? qstringFromUtf8(kStaleNotice) : QString());
    setRecheckWanted(recheckWanted_);
}

void MainWindow::showIgnoredSites(const QStringList& sites) {
    auto* label = component<QLabel>(kIgnoredSitesLabel);
    label->setText(QStringLiteral("已忽略 %1 个网站").arg(sites.size()));
    label->setToolTip(QStringLiteral("检测时不计这些网站的飘红（参数设置中的“忽略网站”）：\n") +
                      sites.join(QLatin1Char('\n')));
    label->setVisible(!sites.isEmpty());
}

void MainWindow::clearResults() {
    setCheckedArticle(std::nullopt);
    for (Engine engine : kAllEngines) {
        const EngineIdentity& shown = engineIdentity(engine);
        for (std::string_view name : {shown.valueLabel, shown.coverageLabel, shown.verdictLabel}) {
            if (auto* label = name.empty() ? nullptr : component<QLabel>(name)) {
                label->clear();
                setLabelTextColour(*label, std::nullopt);
            }
        }
        if (ResultGrid* results = grid(shown.grid)) {
            results->clearRows();
        }
    }
    component<ArticleBox>(component::kArticleBox)->clearMarks();
    setRecheckWanted(false);
    component(kExportReportButton)->setEnabled(false);
    progress_->clear();
}

void MainWindow::openArticle() {
    const QString path =
        chooseFile_
            ? chooseFile_()
            : QFileDialog::getOpenFileName(
                  this, QStringLiteral("打开文章"), QString(),
                  QStringLiteral("文章 (*.txt *.md *.html *.htm *.docx *.pdf);;所有文件 (*)"));
    if (!path.isEmpty()) {
        openArticleFrom(path);
    }
}

// Exactly what the box shows, characters GBK lacks included.
void MainWindow::copyArticle() {
    platform_.setClipboardUtf8(
        component<QPlainTextEdit>(component::kArticleBox)->toPlainText().toStdString());
}

QSize MainWindow::outerSize() const {
    return size() + (frameGeometry().size() - geometry().size());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (windowState() & Qt::WindowMinimized) {
        return;
    }
    fitToWidth(outerSize().width());
    // Until the user moves it, the splitter halves the room.
    if (!splitterChosen_) {
        layout()->activate();
        const int room = splitter_->height() - splitter_->handleWidth();
        splitter_->setSizes({room / 2, room - room / 2});
    }
}

QByteArray MainWindow::splitterState() const {
    return splitter_->saveState();
}

bool MainWindow::restoreSplitterState(const QByteArray& state) {
    splitterChosen_ = splitter_->restoreState(state);
    return splitterChosen_;
}

void MainWindow::fitToWidth(int outerWidth) {
    const bool wide = outerWidth >= kWideLayoutWidth;
    if (wide_ == wide) {
        return;
    }
    wide_ = wide;
    component("分组框_广告")->setVisible(wide);
    component<TabControl>("选择夹1")->setPageVisible(kGuidePage, !wide);
    placeValues(wide);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    static const Text unfinished = gbkFromUtf8("检测尚未完成，确定退出吗？");
    if (running_ && running_() && platform_.messageBox(unfinished, kMbOkCancel) == kAnswerCancel) {
        event->ignore();
        return;
    }
    if (closeHandler_) {
        closeHandler_();
    }
    event->accept();
}

// The link label opens the parameter window as soon as the button goes down.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == component("标签1") && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        platform_.showWindow(ProgramWindow::Parameters, true);
        return true;
    }
    if (watched == component(kHistoryLink) && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (historyHandler_) {
            historyHandler_();
        }
        return true;
    }
    if (watched == component(kBatchLink) && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (batchHandler_) {
            batchHandler_();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace oc
