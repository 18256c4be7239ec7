#include "app/desktop/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextBrowser>
#include <utility>

#include "app/desktop/article_box.h"
#include "app/desktop/article_loading.h"
#include "app/desktop/grid_click.h"
#include "app/desktop/local_engine_bar.h"
#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window_layout.h"
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
const QString kTitle = QStringLiteral("Zarvik文章原创度检测工具");
}  // namespace

MainWindow::MainWindow(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_StyledBackground);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    move(kDesignLeft, kDesignTop);
    resize(kDesignWidth, kDesignHeight);
    buildArticleArea();
    buildButtonRow();
    buildResultArea();
    buildGuidePanel();
    buildStatusBar();
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
Widget* MainWindow::add(Widget* widget, std::string_view name, QRect geometry) {
    const QString objectName = qstringFromUtf8(name);
    widget->setObjectName(objectName);
    widget->setGeometry(geometry);
    components_.insert(objectName, widget);
    return widget;
}

QWidget* MainWindow::component(std::string_view name) const {
    return components_.value(qstringFromUtf8(name), nullptr);
}

ResultGrid* MainWindow::grid(std::string_view name) const {
    return component<ResultGrid>(name);
}

void MainWindow::buildArticleArea() {
    auto* link = add(makeCaptionLabel(this, QStringLiteral("参数设置"), kLinkBlue), "标签1",
                     {888, 0, 80, 16});
    link->setFont(pixelFont(12, false, true));
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    auto* history = add(makeCaptionLabel(this, QStringLiteral("历史记录"), kLinkBlue), kHistoryLink,
                        {808, 0, 72, 16});
    history->setFont(pixelFont(12, false, true));
    history->setCursor(Qt::PointingHandCursor);
    history->installEventFilter(this);
    auto* batch = add(makeCaptionLabel(this, QStringLiteral("批量检测"), kLinkBlue), kBatchLink,
                      {728, 0, 72, 16});
    batch->setFont(pixelFont(12, false, true));
    batch->setCursor(Qt::PointingHandCursor);
    batch->installEventFilter(this);

    auto* group = add(new QGroupBox(QStringLiteral("请将文章粘贴到这里，标题可以放到第一行"), this),
                      "分组框_文章", {0, 16, 696, 232});
    auto* article = add(new ArticleBox(group), component::kArticleBox, {8, 16, 680, 208});
    // A text file dropped on the box is opened like 打开文件… opens it.
    article->setFileHandler([this](const QString& path) { openArticleFrom(path); });
    article->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    article->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    article->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    article->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: black; background-color: white; }"));
}

void MainWindow::buildButtonRow() {
    struct ButtonSpec {
        std::string_view name;
        const char* caption;
        int left;
        void (MainWindow::*handler)();
    };
    const ButtonSpec buttons[] = {
        {"按钮_清空文本", "清空文本", 14, &MainWindow::clearArticle},
        {"按钮_复制进来", "复制进来", 86, &MainWindow::pasteArticle},
        {component::kCheckButton, "开始检测", 158, nullptr},
        {"按钮_拷贝出去", "拷贝出去", 230, &MainWindow::copyArticle},
    };
    for (const ButtonSpec& design : buttons) {
        auto* button = add(new QPushButton(QString::fromUtf8(design.caption), this), design.name,
                           {design.left, 256, 64, 32});
        button->setFont(pixelFont(12));
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

    add(makeCaptionLabel(this, QStringLiteral("文章字数"), kBlack), "标签6", {302, 256, 48, 32})
        ->setFont(pixelFont(12));
    add(makeValueLabel(this), component::kCharCountLabel, {352, 256, 56, 32});
    add(makeCaptionLabel(this, QStringLiteral("百度原创度"), kBlack), "标签5", {410, 256, 62, 32})
        ->setFont(pixelFont(12));
    add(makeValueLabel(this), component::kBaiduValueLabel, {478, 256, 58, 32});
    add(makeCaptionLabel(this, QStringLiteral("360原创度"), kBlack), "标签3", {544, 264, 64, 24});
    add(makeValueLabel(this), component::k360ValueLabel, {608, 256, 64, 32});
    // Under each value, how many segments the engine really answered; under
    // the 360 coverage, the 360 verdict.
    const QString coverageTip = QStringLiteral(
        "已核实：搜索引擎确实答复了的段数／全部段数。被屏蔽、无法连接等未核实的段不计入原创度，"
        "可用“重查未核实”再查。");
    const std::pair<std::string_view, QRect> coverage[] = {
        {component::kBaiduCoverageLabel, {410, 289, 126, 15}},
        {component::k360CoverageLabel, {544, 289, 128, 15}},
    };
    for (const auto& [name, geometry] : coverage) {
        QLabel* label = add(makeCaptionLabel(this, QString(), kBlack, true), name, geometry);
        label->setFont(pixelFont(12));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setToolTip(coverageTip);
    }
    auto* verdict = add(makeCaptionLabel(this, QString(), kRed, true), component::k360VerdictLabel,
                        {544, 304, 146, 16});
    verdict->setFont(pixelFont(12));

    // The engines a check asks, packed so the row ends where the values begin;
    // their captions in the buttons' font, so they fit whatever the desktop's.
    const struct {
        std::string_view name;
        const char* caption;
        QRect place;
        bool ticked;
    } engines[] = {
        {component::kBaiduCheckBox, "查百度", {16, 296, 58, 24}, true},
        {component::k360CheckBox, "查360", {74, 296, 56, 24}, true},
        // Ticked without a folder, the local page's folder chooser asks for one.
        {component::kLocalCheckBox, "查本地文档", {130, 296, 80, 24}, false},
    };
    for (const auto& engine : engines) {
        auto* box =
            add(new QCheckBox(QString::fromUtf8(engine.caption), this), engine.name, engine.place);
        box->setFont(pixelFont(12));
        box->setChecked(engine.ticked);
    }
    component(component::kLocalCheckBox)
        ->setToolTip(
            QStringLiteral("开始检测时也与本地文档目录中的文章逐段比对（目录在“本地”页选择）"));

    // Usable only after a run that left unverified segments; the check
    // passes enable it.
    auto* recheck = add(new QPushButton(QStringLiteral("重查未核实"), this),
                        component::kRecheckButton, {212, 294, 68, 24});
    recheck->setFont(pixelFont(12));
    recheck->setToolTip(QStringLiteral("只重新查询状态为“未核实”的段，更新这些行和原创度"));
    recheck->setEnabled(false);
    connect(recheck, &QPushButton::clicked, this, [this] {
        if (recheckHandler_) {
            recheckHandler_();
        }
    });

    auto* open = add(new QPushButton(QStringLiteral("打开文件…"), this), "按钮_打开文件",
                     {342, 294, 66, 24});
    open->setFont(pixelFont(12));
    open->setToolTip(
        QStringLiteral("读入文章：文本文件（.txt、.md，UTF-8 或 GBK）、网页文件（.html、.htm）、"
                       "Word 文档（.docx）或 PDF 文件"));
    connect(open, &QPushButton::clicked, this, &MainWindow::openArticle);

    // Usable while a check runs; the check passes enable it.
    auto* stop = add(new QPushButton(QStringLiteral("停止检测"), this), component::kStopButton,
                     {283, 294, 56, 24});
    stop->setFont(pixelFont(12));
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
}

void MainWindow::buildResultArea() {
    auto* group = add(new QGroupBox(this), kResultGroup, {0, 320, 700, 320});
    auto* tabs = add(new TabControl(group), "选择夹1", {8, 16, 688, 296});
    for (int i = 0; i < 3; ++i) {
        const EngineIdentity& engine = engineIdentity(kAllEngines[i]);
        QWidget* page = tabs->addPage(qstringFromUtf8(engine.shortName));
        QRect place(8, 40, 672, 248);
        if (i == kLocalPage) {
            // The local engine's own row above its grid.
            auto* bar = add(new LocalEngineBar(platform_, page), kLocalEngineBar,
                            {8, 30, 672, LocalEngineBar::kHeight});
            for (QWidget* part : bar->findChildren<QWidget*>()) {
                if (!part->objectName().isEmpty()) {
                    components_.insert(part->objectName(), part);
                }
            }
            bar->folder().requireFolderFor(*component<QCheckBox>(component::kLocalCheckBox));
            place.adjust(0, kLocalGridDrop, 0, 0);
        }
        auto* grid = add(new ResultGrid(page), engine.grid, place);
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
    auto* guide = add(new QTextBrowser(guidePage), "超文本浏览框_说明页", {8, 40, 672, 248});
    guide->setOpenLinks(false);
    guide->setHtml(usageGuideHtml());
    tabs->setPageVisible(kGuidePage, false);
    tabs->setCurrentIndex(0);

    // Usable once a check has ended (stopped or cancelled ones too), never
    // while one runs.
    auto* report =
        add(new QPushButton(QStringLiteral("导出报告"), tabs), kExportReportButton, {0, 0, 64, 22});
    report->setFont(pixelFont(12));
    report->setToolTip(QStringLiteral("把上次检测的结果保存为 HTML 报告或 CSV 表格"));
    report->setEnabled(false);
    tabs->setCornerWidget(report);
    connect(report, &QPushButton::clicked, this, [this] {
        if (exportHandler_) {
            exportHandler_();
        }
    });
}

void MainWindow::buildGuidePanel() {
    auto* group = add(new QGroupBox(this), "分组框_广告", {704, 16, 272, 624});
    auto* guide = add(new QTextBrowser(group), "超文本浏览框1", {8, 16, 264, 600});
    guide->setOpenLinks(false);
    guide->setHtml(usageGuideHtml());
}

void MainWindow::buildStatusBar() {
    progress_ = add(new ProgressPanel(this), "状态栏", {0, 650, 976, 20});
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
    setWindowTitle(progress_->titlePrefix() + kTitle);
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
    const QSize outer = outerSize();
    layoutMainWindow(*this, outer.width(), outer.height());
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
