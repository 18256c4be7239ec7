// 批量检测 on the offscreen platform: a folder of articles in three formats
// checked one after another, each kept in the history and opened from its row,
// the summary exported; 停止 and 继续; a queue left unfinished taken up again.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/desktop/article_box.h"
#include "app/desktop/batch_window.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "store/sqlite_check_store.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
namespace fs = std::filesystem;
using testing::G;
using testing::pumpUntil;

std::string fileText(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class BatchWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString();
        // Every result highlights a long run of its own: nothing of the articles is copied.
        engines_.server().Get("/s", [this](const httplib::Request&, httplib::Response& res) {
            ++asked_;
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_.load()));
            res.set_content("<p>普通<em>与文章无关的一段飘红文字内容</em></p>",
                            "text/html; charset=utf-8");
        });
        engines_.server().Get("/post.html", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(
                "<html><body><nav>首页</nav><article><p>"
                "早市的摊子一个挨着一个，卖菜的阿姨把青菜码得整整齐齐。"
                "</p></article></body></html>",
                "text/html; charset=utf-8");
        });
        engines_.start();
    }
    void TearDown() override { engines_.stop(); }

    DesktopOptions options() {
        DesktopOptions options;
        options.settingsPath = gbkFromUtf8(root_ + "/配置.ini");
        options.baiduUrl = gbkFromUtf8(engines_.baseUrl());
        options.url360 = gbkFromUtf8(engines_.baseUrl());
        options.platform = &platform_;
        options.storeFile = root_ + "/checks.db";
        options.batchInterval = std::chrono::milliseconds(0);
        return options;
    }

    // A folder of three articles: plain text, Word and a GBK web page (and a
    // file of another format, which is left out).
    std::string articleFolder() {
        const std::string fixtures = OC_SOURCE_DIR "/tests/data/documents/";
        const fs::path folder = fs::path(root_) / "articles";
        fs::create_directories(folder / "sub");
        std::ofstream(folder / "a.txt", std::ios::binary)
            << "搬家以后的第一个春天，楼下的玉兰开得特别早。\n邻居说这是十年来最暖的一年。";
        fs::copy_file(fixtures + "article.docx", folder / "sub/word.docx");
        fs::copy_file(fixtures + "article-gbk.html", folder / "page.html");
        std::ofstream(folder / "notes.rtf") << "not an article";
        return folder.string();
    }

    static QPushButton* buttonOf(BatchWindow& window, const char* caption) {
        return window.findChild<QPushButton*>(QStringLiteral("按钮_") + QString::fromUtf8(caption));
    }

    static bool allFinished(const BatchWindow& window) {
        return !window.running() &&
               std::all_of(window.items().begin(), window.items().end(),
                           [](const StoredBatchItem& item) { return item.finished; });
    }

    QTemporaryDir dir_;
    std::string root_;
    testing::LoopbackServer engines_;
    std::atomic<int> asked_{0};
    std::atomic<int> delayMs_{0};
    testing::ScriptedPlatform platform_;
};

TEST_F(BatchWindowTest, AFolderInThreeFormatsIsCheckedKeptOpenedAndSummed) {
    DesktopProgram program(options());
    program.show();
    program.showBatch();
    BatchWindow* batch = program.batchWindow();
    ASSERT_NE(batch, nullptr);
    const std::string folder = articleFolder();
    batch->setFolderChooser([&folder] { return QString::fromStdString(folder); });
    buttonOf(*batch, "添加文件夹")->click();
    QTableWidget* table = batch->table();
    ASSERT_EQ(table->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table->item(row, BatchWindow::kStatusColumn)->text(), QStringLiteral("等待"));
    }
    EXPECT_EQ(table->item(2, BatchWindow::kInputColumn)->text().toStdString(),
              folder + "/sub/word.docx");
    // Web addresses one a line; a line that is none is named and left out.
    const std::string post = engines_.baseUrl() + "/post.html";
    batch->setAddressChooser(
        [&post] { return QString::fromStdString(post + "\n\n  not-an-address  \n"); });
    buttonOf(*batch, "添加网址")->click();
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(3, BatchWindow::kInputColumn)->text().toStdString(), post);
    ASSERT_FALSE(platform_.messages().empty());
    EXPECT_NE(utf8FromGbk(platform_.messages().back().message).find("not-an-address"),
              std::string::npos);

    buttonOf(*batch, "开始")->click();
    ASSERT_TRUE(pumpUntil([&] { return allFinished(*batch); }, std::chrono::seconds(30)));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(table->item(row, BatchWindow::kStatusColumn)->text(), QStringLiteral("完成"))
            << row;
        EXPECT_GT(table->item(row, BatchWindow::kCharsColumn)->text().toInt(), 10) << row;
        EXPECT_EQ(table->item(row, 2)->text(), QStringLiteral("100%")) << row;
        EXPECT_TRUE(table->item(row, 3)->text().startsWith(QStringLiteral("已核实"))) << row;
    }
    // Each article is a check in the history, and a row opens its own.
    store::SqliteCheckStore store(root_ + "/checks.db");
    EXPECT_EQ(store.listChecks().size(), 4u);
    batch->openRow(0);
    auto* box = program.window().component<ArticleBox>(component::kArticleBox);
    EXPECT_TRUE(box->toPlainText().startsWith(QStringLiteral("搬家以后的第一个春天")));
    // Done: nothing is left to go on with.
    EXPECT_FALSE(store.takeUnfinishedBatch("window", ""));

    // The summary: CSV rows, and an HTML page linking each article's report.
    const std::string csv = root_ + "/汇总.csv";
    batch->setSummaryChooser([&csv] { return QString::fromStdString(csv); });
    buttonOf(*batch, "导出汇总")->click();
    const std::string table_ = fileText(csv);
    EXPECT_EQ(
        table_.rfind("\xEF\xBB\xBF文件/网址,字数,百度原创度,百度核实,360原创度,360核实,状态", 0),
        0u)
        << table_;
    EXPECT_NE(table_.find(folder + "/sub/word.docx,"), std::string::npos) << table_;
    const std::string html = root_ + "/汇总.html";
    EXPECT_TRUE(batch->exportSummary(QString::fromStdString(html)));
    const std::string page = fileText(html);
    EXPECT_NE(page.find("href=\"汇总_报告/3-word.html\""), std::string::npos) << page;
    EXPECT_NE(fileText(root_ + "/汇总_报告/3-word.html").find("<html"), std::string::npos);
    EXPECT_NE(page.find("href=\"汇总_报告/4-web.html\""), std::string::npos) << page;
    // The web page's report says where it came from; the Word document's does not.
    EXPECT_NE(fileText(root_ + "/汇总_报告/4-web.html").find("网页所在网站 127.0.0.1 的结果不计入"),
              std::string::npos);
    EXPECT_EQ(fileText(root_ + "/汇总_报告/3-word.html").find("网页所在网站"), std::string::npos);
}

TEST_F(BatchWindowTest, StopThenGoOnAndAQueueLeftUnfinishedIsOfferedAtTheNextStart) {
    const std::string folder = articleFolder();
    {
        DesktopProgram program(options());
        program.showBatch();
        BatchWindow* batch = program.batchWindow();
        batch->addInputs({QString::fromStdString(folder)});
        delayMs_ = 150;
        buttonOf(*batch, "开始")->click();
        ASSERT_TRUE(pumpUntil([&] { return asked_ > 0; }));
        // The window's own check waits for the batch: both would share 停止.
        program.window().component<QPushButton>(component::kCheckButton)->click();
        EXPECT_FALSE(program.checkRunning());
        EXPECT_EQ(utf8FromGbk(platform_.messages().back().message),
                  "批量检测正在进行，请等它结束或停止后再检测。");
        buttonOf(*batch, "停止")->click();
        ASSERT_TRUE(pumpUntil([&] { return !batch->running(); }));
        EXPECT_FALSE(batch->items()[0].finished);
        EXPECT_TRUE(buttonOf(*batch, "继续")->isEnabled());
        EXPECT_FALSE(buttonOf(*batch, "开始")->isEnabled());
        // The program ends with the queue unfinished.
    }
    delayMs_ = 0;
    platform_.setDefaultAnswer(kAnswerOk);
    DesktopProgram program(options());
    program.offerUnfinishedBatch();
    ASSERT_FALSE(platform_.messages().empty());
    EXPECT_EQ(utf8FromGbk(platform_.messages().back().message), "继续批量检测（3 篇未完成）？");
    BatchWindow* batch = program.batchWindow();
    ASSERT_NE(batch, nullptr);
    ASSERT_EQ(batch->items().size(), 3u);
    ASSERT_TRUE(pumpUntil([&] { return allFinished(*batch); }, std::chrono::seconds(30)));
    EXPECT_EQ(batch->table()->item(1, BatchWindow::kStatusColumn)->text(), QStringLiteral("完成"));
    // Finished: the next start offers nothing.
    const std::size_t shown = platform_.messages().size();
    DesktopProgram next(options());
    next.offerUnfinishedBatch();
    EXPECT_EQ(platform_.messages().size(), shown);
}

}  // namespace
}  // namespace oc
