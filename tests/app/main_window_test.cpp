#include "app/desktop/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <fstream>

#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window_layout.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/tab_control.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::ScriptedPlatform;
using testing::U;

// The scripted platform with the real clipboard's UTF-8 text.
class QtPlatformForClipboard : public ScriptedPlatform {
  public:
    explicit QtPlatformForClipboard(ScriptedPlatform& messages) : messages_(messages) {}
    std::string clipboardUtf8() override {
        return QGuiApplication::clipboard()->text().toStdString();
    }
    int messageBox(const Text& message, int style, const Text& title) override {
        return messages_.messageBox(message, style, title);
    }
    using Platform::messageBox;

  private:
    ScriptedPlatform& messages_;
};

struct Expected {
    const char* name;
    const char* kind;
    const char* caption;
};

TEST(MainWindow, ComponentsAndInitialState) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zarvik文章原创度检测工具"));

    // Components the layout does not touch keep their design rectangles.
    const Expected fixed[] = {
        {"标签1", "QLabel", "参数设置"},
        {"按钮_清空文本", "QPushButton", "清空文本"},
        {"按钮_复制进来", "QPushButton", "复制进来"},
        {"按钮_检测", "QPushButton", "开始检测"},
        {"按钮_拷贝出去", "QPushButton", "拷贝出去"},
        {"标签6", "QLabel", "文章字数"},
        {"标签_文章字数", "QLabel", ""},
        {"标签5", "QLabel", "百度原创度"},
        {"标签_原创值", "QLabel", ""},
        {"标签3", "QLabel", "360原创度"},
        {"标签_原创值360", "QLabel", ""},
        {"标签_核实百度", "QLabel", ""},
        {"标签_核实360", "QLabel", ""},
        {"标签_评语360", "QLabel", ""},
        {"选择框_查百度", "QCheckBox", "查百度"},
        {"选择框_查360", "QCheckBox", "查360"},
        {"选择框_查本地文档", "QCheckBox", "查本地文档"},
        {"按钮_重查未核实", "QPushButton", "重查未核实"},
        {"按钮_停止检测", "QPushButton", "停止检测"},
    };
    for (const Expected& e : fixed) {
        QWidget* widget = window.component(e.name);
        ASSERT_NE(widget, nullptr) << e.name;
        EXPECT_TRUE(widget->inherits(e.kind)) << e.name;
        EXPECT_EQ(widget->objectName(), QString::fromUtf8(e.name));
        const QString caption = widget->property("text").toString();
        EXPECT_EQ(caption, QString::fromUtf8(e.caption)) << e.name;
    }
    EXPECT_EQ(window.component<QGroupBox>("分组框_文章")->title(),
              QStringLiteral("请将文章粘贴到这里，标题可以放到第一行"));
    EXPECT_TRUE(window.component<QCheckBox>(component::kBaiduCheckBox)->isChecked());
    EXPECT_TRUE(window.component<QCheckBox>(component::k360CheckBox)->isChecked());
    EXPECT_TRUE(window.component<QPlainTextEdit>(component::kArticleBox)->toPlainText().isEmpty());
    // Nothing to recheck or stop before a run.
    EXPECT_FALSE(window.component(component::kRecheckButton)->isEnabled());
    EXPECT_FALSE(window.component(component::kStopButton)->isEnabled());
    EXPECT_EQ(window.component(component::kArticleBox)->parentWidget(),
              window.component("分组框_文章"));

    auto* tabs = window.component<TabControl>("选择夹1");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("百度"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("360"));
    EXPECT_EQ(tabs->tabText(MainWindow::kLocalPage), QStringLiteral("本地"));
    // The guide's own page is there only while the window is too narrow for its panel.
    EXPECT_EQ(tabs->tabText(MainWindow::kGuidePage), QStringLiteral("使用说明"));
    EXPECT_FALSE(tabs->isPageVisible(MainWindow::kGuidePage));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(window.grid(component::kBaiduGrid)->parentWidget(), tabs->page(0));
    EXPECT_EQ(window.grid(component::k360Grid)->parentWidget(), tabs->page(1));
    // The local engine's page: its folder and values above its grid.
    QWidget* localPage = tabs->page(MainWindow::kLocalPage);
    EXPECT_TRUE(localPage->isAncestorOf(window.grid(component::kLocalGrid)));
    for (std::string_view name : {kLocalFolderChooser, component::kLocalValueLabel,
                                  component::kLocalCoverageLabel, component::kLocalVerdictLabel}) {
        ASSERT_NE(window.component(name), nullptr) << name;
        EXPECT_TRUE(localPage->isAncestorOf(window.component(name))) << name;
    }
    // Its check box, unticked, sits with the web engines' ones, in sight
    // whichever page shows.
    EXPECT_FALSE(window.component<QCheckBox>(component::kLocalCheckBox)->isChecked());
    EXPECT_FALSE(localPage->isAncestorOf(window.component(component::kLocalCheckBox)));
    EXPECT_FALSE(window.component<QTextBrowser>("超文本浏览框1")->toPlainText().isEmpty());

    // Fonts and colours of the link and the value labels.
    auto* link = window.component<QLabel>("标签1");
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->font().pixelSize(), 12);
    auto* value = window.component<QLabel>(component::kBaiduValueLabel);
    EXPECT_EQ(value->font().pixelSize(), 16);
    EXPECT_TRUE(value->font().bold());
    EXPECT_EQ(value->textFormat(), Qt::PlainText);
    EXPECT_FALSE(value->wordWrap());
}

// The window on the three usual screens: no caption cut anywhere; at
// 1366x768 the grid shows at least five rows and the article box eight
// lines, at 640x480 the grid two rows, at 1920x1080 the article box takes a
// third of the height; 参数设置 stays at the top right.
TEST(MainWindow, FitsTheUsualScreens) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* box = window.component<QPlainTextEdit>(component::kArticleBox);
    struct Screen {
        QSize size;
        int gridRows;
        int articleLines;
        double articleShare;
    };
    for (const Screen& screen : {Screen{{640, 480}, 2, 3, 0.0}, Screen{{1366, 768}, 5, 8, 0.0},
                                 Screen{{1920, 1080}, 5, 8, 1.0 / 3}}) {
        layoutMainWindow(window, screen.size.width(), screen.size.height());
        QCoreApplication::processEvents();
        const std::string where = std::to_string(screen.size.width());
        const QSize frame = window.outerSize() - window.size();
        EXPECT_EQ(window.size(), (screen.size - frame).expandedTo(window.minimumSize())) << where;
        // Inside the screen wherever the window's least size lets it.
        const QSize least = window.minimumSize() + frame;
        if (least.boundedTo(screen.size) == least) {
            EXPECT_TRUE(QRect(QPoint(0, 0), screen.size).contains(window.frameGeometry())) << where;
        }
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&window)) {
                continue;
            }
            int room = widget->width();
            QString caption;
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                caption = label->text();
                room = label->contentsRect().width();
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                caption = group->title();
                room -= 16;
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                caption = button->text();
                room -= 4;
            } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
                QStyleOptionButton option;
                option.initFrom(check);
                caption = check->text();
                room = check->style()
                           ->subElementRect(QStyle::SE_CheckBoxContents, &option, check)
                           .width();
            }
            if (!caption.isEmpty()) {
                EXPECT_GE(room, widget->fontMetrics().horizontalAdvance(caption))
                    << where << " " << widget->objectName().toStdString();
            }
        }
        ResultGrid* grid = window.grid(component::kBaiduGrid);
        EXPECT_GE(grid->viewport()->height() / ResultGrid::kRowHeight, screen.gridRows) << where;
        EXPECT_GE(box->viewport()->height() / box->fontMetrics().lineSpacing(), screen.articleLines)
            << where;
        EXPECT_GE(box->height(), screen.articleShare * window.height()) << where;
        QWidget* link = window.component("标签1");
        EXPECT_GE(link->mapTo(&window, QPoint(link->width(), 0)).x(), window.width() - 12) << where;
        EXPECT_EQ(link->mapTo(&window, QPoint(0, 0)).y(), 0) << where;
    }
    // The smallest size is the window's own least size.
    window.resize(100, 100);
    EXPECT_EQ(window.size(), QSize(MainWindow::kMinimumWidth, MainWindow::kMinimumHeight));
}

// What is wrong with the layout of the shown window: two visible controls of
// one parent that overlap, or a visible control not wholly inside the window.
QStringList layoutFaults(MainWindow& window) {
    QStringList faults;
    const QRect inside = window.rect();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) ||
            !widget->isVisibleTo(&window)) {
            continue;
        }
        const QRect where(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        if (!inside.contains(where)) {
            faults << name + QStringLiteral(" outside");
        }
        for (QWidget* other :
             widget->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (widget < other && !other->objectName().isEmpty() &&
                !other->objectName().startsWith(QStringLiteral("qt_")) &&
                other->isVisibleTo(&window) && widget->geometry().intersects(other->geometry())) {
                faults << name + QStringLiteral("/") + other->objectName();
            }
        }
    }
    return faults;
}

// At the smallest size, on a small laptop screen and at the design size no
// control covers another and every one lies inside the window: in a narrow
// window the guide is a page of the result tabs. The status bar is as full as
// a check makes it: three engines, the estimate and the skipped files.
TEST(MainWindow, ControlsDoNotOverlapAndStayInside) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ProgressPanel& status = window.progress();
    auto now = std::chrono::steady_clock::time_point(std::chrono::seconds(1000));
    status.setClock([&now] { return now; });
    status.begin();
    for (int engine = 0; engine < ProgressPanel::kEngines; ++engine) {
        status.update(engine, 0, 1043);
    }
    now += std::chrono::seconds(5000);
    for (int engine = 0; engine < ProgressPanel::kEngines; ++engine) {
        status.update(engine, 1012, 1043);
    }
    status.setSkippedFiles({{QStringLiteral("/a.txt"), QStringLiteral("不是文本文件")}});
    auto* tabs = window.component<TabControl>("选择夹1");
    for (QSize size :
         {QSize(MainWindow::kMinimumWidth, MainWindow::kMinimumHeight), QSize(1024, 600),
          QSize(MainWindow::kDesignWidth, MainWindow::kDesignHeight), QSize(800, 600)}) {
        window.resize(size);
        QCoreApplication::processEvents();
        // No text of the status bar is cut.
        for (QWidget* part : status.findChildren<QWidget*>()) {
            const bool showsText = qobject_cast<QLabel*>(part) || qobject_cast<QPushButton*>(part);
            if (showsText && part->isVisibleTo(&window) &&
                !part->property("text").toString().isEmpty()) {
                EXPECT_GE(part->width(), part->sizeHint().width())
                    << size.width() << " " << part->objectName().toStdString();
            }
        }
        // The engine boxes and the buttons beside them show their whole caption.
        for (QAbstractButton* button :
             window.findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
            const int caption = button->fontMetrics().horizontalAdvance(button->text());
            int room = button->width() - 4;
            if (auto* box = qobject_cast<QCheckBox*>(button)) {
                QStyleOptionButton option;
                option.initFrom(box);
                room =
                    box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
            }
            EXPECT_GE(room, caption) << button->objectName().toStdString();
        }
        for (int page : {0, 1, MainWindow::kLocalPage, MainWindow::kGuidePage}) {
            tabs->setCurrentIndex(page);
            const QStringList faults = layoutFaults(window);
            EXPECT_TRUE(faults.isEmpty())
                << size.width() << "x" << size.height() << " page " << page << ": "
                << faults.join(QStringLiteral(", ")).toStdString();
        }
        const bool narrow = window.outerSize().width() < MainWindow::kWideLayoutWidth;
        EXPECT_EQ(tabs->isPageVisible(MainWindow::kGuidePage), narrow) << size.width();
        EXPECT_EQ(window.component("分组框_广告")->isVisible(), !narrow) << size.width();
        EXPECT_TRUE(window.component("标签1")->isVisible());
    }
}

TEST(MainWindow, ArticleButtonsMoveTextThroughTheClipboard) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    auto* article = window.component<QPlainTextEdit>(component::kArticleBox);
    article->setPlainText(QStringLiteral("旧的文章"));

    platform.setClipboardText(G("剪贴板里的文章"));
    window.component<QPushButton>("按钮_复制进来")->click();
    EXPECT_EQ(article->toPlainText(), QStringLiteral("剪贴板里的文章"));

    article->setPlainText(QStringLiteral("要拷贝的文章"));
    window.component<QPushButton>("按钮_拷贝出去")->click();
    EXPECT_EQ(platform.clipboardText(), G("要拷贝的文章"));

    window.component<QPushButton>("按钮_清空文本")->click();
    EXPECT_TRUE(article->toPlainText().isEmpty());
    window.component<QPushButton>("按钮_拷贝出去")->click();
    EXPECT_EQ(platform.clipboardText(), "");

    // Characters GBK lacks become "?" and a message says how many.
    QGuiApplication::clipboard()->setText(QStringLiteral("原创\n😀度"));
    {
        QtPlatformForClipboard clipboard(platform);
        MainWindow pasting(clipboard);
        auto* box = pasting.component<QPlainTextEdit>(component::kArticleBox);
        pasting.component<QPushButton>("按钮_复制进来")->click();
        EXPECT_EQ(box->toPlainText(), QStringLiteral("原创\n?度"));
        ASSERT_EQ(platform.messages().size(), 1u);
        EXPECT_EQ(U(platform.messages()[0].message),
                  "文章中有 1 个字符在 GBK 中没有，已换成“?”（第一个在第 2 行，第 8 字节）。");
    }

    // An empty clipboard leaves the article as it was.
    article->setPlainText(QStringLiteral("x"));
    window.component<QPushButton>("按钮_复制进来")->click();
    EXPECT_EQ(article->toPlainText(), QStringLiteral("x"));
}

TEST(MainWindow, CheckButtonAndLinkLabel) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    int checks = 0;
    window.setCheckHandler([&checks] { ++checks; });
    window.component<QPushButton>(component::kCheckButton)->click();
    EXPECT_EQ(checks, 1);
    int rechecks = 0;
    window.setRecheckHandler([&rechecks] { ++rechecks; });
    auto* recheck = window.component<QPushButton>(component::kRecheckButton);
    recheck->click();  // disabled: no recheck
    EXPECT_EQ(rechecks, 0);
    recheck->setEnabled(true);
    recheck->click();
    EXPECT_EQ(rechecks, 1);
    EXPECT_EQ(checks, 1);

    // The parameter window opens on the press, before the release.
    window.show();
    QTest::mousePress(window.component("标签1"), Qt::LeftButton);
    EXPECT_EQ(platform.shownWindows(), std::vector<ProgramWindow>{ProgramWindow::Parameters});
    QTest::mouseRelease(window.component("标签1"), Qt::LeftButton);
    EXPECT_EQ(platform.shownWindows().size(), 1u);
}

TEST(MainWindow, GridClicksOpenTheirOwnGridsUrl) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    window.resize(1200, 800);
    window.show();
    ResultGrid* grid = window.grid(component::k360Grid);
    window.component<TabControl>("选择夹1")->setCurrentIndex(1);
    setupResultGrid(*grid);
    grid->appendRow("1", 1);
    grid->setCell(1, 3, "http://127.0.0.1:9/s?q=1");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 1)).center());
    EXPECT_TRUE(platform.opened().empty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 2)).center());
    EXPECT_EQ(platform.opened(), std::vector<Text>{"http://127.0.0.1:9/s?q=1"});
    EXPECT_EQ(grid->textColour(1, 3), kColourPurple);
    EXPECT_TRUE(platform.messages().empty());

    // No browser: the address goes to the clipboard, a message says so, and
    // the cell is not marked visited.
    platform.setShellOpens(false);
    grid->appendRow("2", 2);
    grid->setCell(2, 3, "https://127.0.0.1:9/s?q=2");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(1, 2)).center());
    EXPECT_EQ(platform.opened().size(), 2u);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].message, G("无法打开浏览器，网址已复制到剪贴板"));
    EXPECT_EQ(platform.clipboardText(), "https://127.0.0.1:9/s?q=2");
    EXPECT_NE(grid->textColour(2, 3), kColourPurple);
}

}  // namespace
}  // namespace oc

namespace oc {
namespace {

// 打开文件… reads the file as the command line does (UTF-8 or GBK text, a
// Word document, a PDF); a folder gives a message and leaves the article.
TEST(MainWindow, ArticleFilesOpenThroughTheArticleDecoding) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString gbkFile = dir.filePath(QStringLiteral("文章.txt"));
    const QString utf8File = dir.filePath(QStringLiteral("utf8.txt"));
    std::ofstream(QFile::encodeName(gbkFile).toStdString(), std::ios::binary)
        << G("原创度\r\n第二段");
    std::ofstream(QFile::encodeName(utf8File).toStdString(), std::ios::binary)
        << "拖进来的文章\n第二段";
    auto* article = window.component<QPlainTextEdit>(component::kArticleBox);

    QString chosen = gbkFile;
    window.setFileChooser([&chosen] { return chosen; });
    window.component<QPushButton>("按钮_打开文件")->click();
    EXPECT_EQ(article->toPlainText(), QStringLiteral("原创度\n第二段"));

    chosen = utf8File;
    window.component<QPushButton>("按钮_打开文件")->click();
    EXPECT_EQ(article->toPlainText(), QStringLiteral("拖进来的文章\n第二段"));
    EXPECT_TRUE(platform.messages().empty());

    chosen = dir.path();
    window.component<QPushButton>("按钮_打开文件")->click();
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_NE(U(platform.messages()[0].message).find("无法读取文件"), std::string::npos);
    EXPECT_EQ(article->toPlainText(), QStringLiteral("拖进来的文章\n第二段"));

    // A file dropped on the box replaces the article, decoded the same way;
    // dropped text is still inserted as text.
    auto drop = [article](QMimeData& data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(article->viewport(), &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(article->viewport(), &event);
    };
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(gbkFile)});
    drop(file);
    EXPECT_EQ(article->toPlainText(), QStringLiteral("原创度\n第二段"));
    QMimeData text;
    text.setText(QStringLiteral("插入"));
    article->moveCursor(QTextCursor::End);
    drop(text);
    EXPECT_TRUE(article->toPlainText().contains(QStringLiteral("插入")));
    EXPECT_EQ(platform.messages().size(), 1u);

    // A Word document and a PDF, opened or dropped, give their text; a
    // picture under a text file's name and a damaged document are refused
    // with the file's name and the reason, the box left as it was.
    const QString documents = QStringLiteral(OC_SOURCE_DIR "/tests/data/documents/");
    chosen = documents + QStringLiteral("article.docx");
    window.component<QPushButton>("按钮_打开文件")->click();
    EXPECT_TRUE(article->toPlainText().startsWith(QStringLiteral("慢一点，再慢一点\n搬到")));
    QMimeData pdf;
    pdf.setUrls({QUrl::fromLocalFile(documents + QStringLiteral("article.pdf"))});
    drop(pdf);
    EXPECT_TRUE(article->toPlainText().contains(QStringLiteral("第二页：卖豆腐的摊子冒着热气")));
    const QString loaded = article->toPlainText();
    for (const char* name : {"picture.txt", "damaged.docx"}) {
        chosen = documents + QString::fromUtf8(name);
        window.component<QPushButton>("按钮_打开文件")->click();
        const std::string message = U(platform.messages().back().message);
        EXPECT_NE(message.find(name), std::string::npos) << message;
        EXPECT_NE(message.find(name[0] == 'p' ? "不是文本文件" : "文件已损坏"), std::string::npos)
            << message;
        EXPECT_EQ(article->toPlainText(), loaded);
    }
    EXPECT_EQ(platform.messages().size(), 3u);
}

}  // namespace
}  // namespace oc

namespace oc {
namespace {

// Rows chosen with Ctrl and Shift (never opening a link) go to the clipboard
// with Ctrl+C as tab-separated lines; a line break or tab inside a cell is a
// space; the 文本 column takes the free width.
TEST(MainWindow, SelectedRowsCopyAsTabSeparatedText) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    window.resize(1200, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ResultGrid* grid = window.grid(component::kBaiduGrid);
    setupResultGrid(*grid);
    EXPECT_GT(grid->gridColumnWidth(1), kResultGridWidths[1]);
    for (int row = 1; row <= 4; ++row) {
        grid->appendRow(std::to_string(row), row);
        grid->setCell(row, 1, G(row == 2 ? "甲\r\n乙\t丙" : "段落"));
        grid->setCell(row, 2, "0");
        grid->setCell(row, kUrlColumn, "http://127.0.0.1:9/s?q=" + std::to_string(row));
        grid->setCell(row, kStatusColumn, G("原创"));
    }
    auto cell = [grid](int row, int column) {
        return grid->visualRect(grid->model()->index(row - 1, column - 1)).center();
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(1, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell(2, kUrlColumn));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell(4, kUrlColumn));
    EXPECT_TRUE(platform.opened().empty());
    EXPECT_EQ(grid->selectedRows(), (std::vector<int>{1, 2, 4}));
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    // The grid follows new rows at its end, and stays where the user scrolled to.
    for (int row = 5; row <= 60; ++row) {
        grid->appendRow(std::to_string(row), row);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
    grid->verticalScrollBar()->setValue(0);
    grid->appendRow("61", 61);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(U(platform.clipboardText()),
              "1\t段落\t0\thttp://127.0.0.1:9/s?q=1\t原创\t\t\r\n"
              "2\t甲 乙 丙\t0\thttp://127.0.0.1:9/s?q=2\t原创\t\t\r\n"
              "4\t段落\t0\thttp://127.0.0.1:9/s?q=4\t原创\t\t\r\n");
}

}  // namespace
}  // namespace oc
