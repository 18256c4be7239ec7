// 检测网页 in the window: the page's main text becomes the article and is
// checked with the page's own site ignored, which the report says.
#include <gtest/gtest.h>

#include <QMouseEvent>

#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/desktop/article_box.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/history_dialog.h"
#include "app/desktop/main_window.h"
#include "app/desktop/report_export.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;

const std::string kParagraph =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来风雨声。";

TEST(WebPageCheck, ThePagesMainTextIsCheckedWithoutItsOwnSiteAndTheReportSaysSo) {
    testing::LoopbackServer site;
    site.server().Get("/post.html", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body><nav>首页导航</nav><article><p>" + kParagraph +
                            "</p></article><footer>版权页脚</footer></body></html>",
                        "text/html; charset=utf-8");
    });
    site.start();
    const std::string pageUrl = "http://localhost:" + std::to_string(site.port()) + "/post.html";
    // Every result holds the first segment, on the page's own site.
    testing::LoopbackServer engines;
    engines.server().Get("/s", [&pageUrl](const httplib::Request& req, httplib::Response& res) {
        const std::string run =
            "<p><em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来</em></p>";
        res.set_content(req.has_param("wd")
                            ? "<div class=\"result c-container\" mu=\"" + pageUrl +
                                  "\"><h3 class=\"t\"><a href=\"/l\">文章</a></h3>" + run + "</div>"
                            : "<li class=\"res-list\"><h3 class=\"res-title\"><a href=\"" +
                                  pageUrl + "\">文章</a></h3>" + run + "</li>",
                        "text/html; charset=utf-8");
    });
    engines.start();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    testing::ScriptedPlatform platform;
    DesktopOptions options;
    options.settingsPath = dir.path().toStdString() + "/" + G("配置.ini");
    options.baiduUrl = engines.baseUrl();
    options.url360 = engines.baseUrl();
    options.platform = &platform;
    DesktopProgram program(options);
    program.show();
    auto* box = program.window().component<ArticleBox>(component::kArticleBox);
    ResultGrid* baidu = program.window().grid(component::kBaiduGrid);

    // The box's context menu offers it.
    std::unique_ptr<QMenu> menu(box->buildContextMenu());
    QAction* action = menu->findChild<QAction*>(QStringLiteral("菜单_检测网页"));
    ASSERT_NE(action, nullptr);
    program.setUrlChooser([&pageUrl] { return QString::fromStdString(pageUrl); });
    action->trigger();
    ASSERT_TRUE(pumpUntil([&] { return baidu->rowCount() > 1 && !program.checkRunning(); }));
    EXPECT_EQ(box->toPlainText().toStdString(), kParagraph + "\n");
    EXPECT_EQ(baidu->cellText(1, kStatusColumn), G("原创"));

    const QString report = dir.filePath(QStringLiteral("report.html"));
    program.setReportFileChooser([&report](QWidget*, const QString&) {
        return ReportFileChoice{report, htmlReportFilter()};
    });
    program.window().component<QPushButton>("按钮_导出报告")->click();
    QFile saved(report);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const std::string html = saved.readAll().toStdString();
    EXPECT_NE(html.find("网页所在网站 localhost 的结果不计入"), std::string::npos);

    // The same text checked again after an edit is an article like any other.
    box->setPlainText(box->toPlainText() + QStringLiteral("又一段"));
    program.window().component<QPushButton>(component::kCheckButton)->click();
    ASSERT_TRUE(pumpUntil([&] { return !program.checkRunning(); }));
    EXPECT_EQ(baidu->cellText(1, kStatusColumn), G("命中"));

    // Reopened from 历史记录, the page's check still says where it came from;
    // the edited article's check does not.
    auto exported = [&] {
        program.window().component<QPushButton>("按钮_导出报告")->click();
        QFile file(report);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(program.window().component(MainWindow::kHistoryLink), &press);
    ASSERT_NE(program.historyDialog(), nullptr);
    HistoryDialog& history = *program.historyDialog();
    ASSERT_EQ(history.table()->model()->rowCount(), 2);
    history.table()->selectRow(1);
    history.openSelected();
    EXPECT_NE(exported().find("网页所在网站 localhost 的结果不计入"), std::string::npos);
    history.table()->selectRow(0);
    history.openSelected();
    EXPECT_EQ(exported().find("网页所在网站"), std::string::npos);

    // A page that cannot be had is said, the box left as it was.
    const QString before = box->toPlainText();
    program.setUrlChooser([&site] { return QString::fromStdString(site.baseUrl() + "/none"); });
    program.checkWebPage();
    ASSERT_TRUE(pumpUntil([&] { return !platform.messages().empty(); }));
    EXPECT_NE(testing::U(platform.messages().back().message).find("HTTP 404"), std::string::npos);
    EXPECT_EQ(box->toPlainText(), before);
    engines.stop();
    site.stop();
}

}  // namespace
}  // namespace oc
