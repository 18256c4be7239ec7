#include "app/desktop/desktop_program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/desktop/main_window.h"
#include "app/desktop/parameter_window.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/result_grid.h"
#include "check/check_run.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {
using testing::G;
using testing::LoopbackServer;
using testing::pumpUntil;

// About 100 characters: three segments of 38, 38 and the rest.
const char* const kArticle =
    "春天的早晨，城市还没有完全醒来，街角的早点铺已经升起了白色的蒸汽。卖豆浆的老人把一碗碗热豆浆"
    "端到桌上，赶路的年轻人匆匆喝完就走。公交车一辆接一辆地驶过，车窗上映着刚刚亮起来的天色。"
    "这样的清晨每天都在重复。";

// Both engines' "/s" answered by `page`, optionally after a delay.
class SearchServer {
  public:
    explicit SearchServer(std::string page, std::chrono::milliseconds delay = {}) {
        server_.server().Get("/s", [page, delay](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(delay);
            res.set_content(page, "text/html; charset=utf-8");
        });
        server_.start();
    }
    Text url() const { return server_.baseUrl(); }
    std::size_t requests() const { return server_.requests().size(); }

  private:
    LoopbackServer server_;
};

class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::unique_ptr<DesktopProgram> start(const SearchServer& server) {
        DesktopOptions options;
        options.settingsPath = dir_.path().toStdString() + "/" + G("配置.ini");
        options.baiduUrl = server.url();
        options.url360 = server.url();
        auto program = std::make_unique<DesktopProgram>(options);
        program->window()
            .component<QPlainTextEdit>(component::kArticleBox)
            ->setPlainText(QString::fromUtf8(kArticle));
        program->show();
        return program;
    }

    static QPushButton* checkButton(DesktopProgram& program) {
        return program.window().component<QPushButton>(component::kCheckButton);
    }
    static QString label(DesktopProgram& program, std::string_view name) {
        return program.window().component<QLabel>(name)->text();
    }

    QTemporaryDir dir_;
};

// The program's own icon, built in: the window and its dialogs show it.
TEST_F(DesktopProgramTest, WindowShowsTheProgramIcon) {
    SearchServer server("<html></html>");
    auto program = start(server);
    const QIcon icon = program->window().windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {48, 128, 256}) {
        EXPECT_EQ(icon.pixmap(size, size).width(), size) << size;
    }
}

TEST_F(DesktopProgramTest, CheckFromTheButtonFillsBothGrids) {
    SearchServer server("<html><body><em>无关的片段</em></body></html>",
                        std::chrono::milliseconds(20));
    auto program = start(server);
    ResultGrid* baidu = program->window().grid(component::kBaiduGrid);
    ResultGrid* grid360 = program->window().grid(component::k360Grid);
    EXPECT_EQ(baidu->cellText(0, 3), G("搜索"));  // set up at start-up

    // The GUI thread keeps handling events while the passes run, and the
    // button stays disabled until both have ended.
    int ticks = 0;
    bool enabledEarly = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++ticks;
        // Usable again while a pass has not yet written its value.
        if (baidu->rowCount() > 1 && checkButton(*program)->isEnabled() &&
            (label(*program, component::kBaiduValueLabel).isEmpty() ||
             label(*program, component::k360ValueLabel).isEmpty())) {
            enabledEarly = true;
        }
    });
    watch.start(2);
    checkButton(*program)->click();
    ASSERT_TRUE(program->checkRunning());
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }));
    watch.stop();

    EXPECT_GT(ticks, 10);
    EXPECT_FALSE(enabledEarly);
    EXPECT_TRUE(checkButton(*program)->isEnabled());
    ASSERT_EQ(baidu->rowCount(), 4);
    ASSERT_EQ(grid360->rowCount(), 4);
    for (ResultGrid* grid : {baidu, grid360}) {
        for (int r = 1; r <= 3; ++r) {
            EXPECT_EQ(grid->cellText(r, 0), toText(r));
            EXPECT_FALSE(grid->cellText(r, 1).empty());
            EXPECT_EQ(grid->cellText(r, 2), "0");
            EXPECT_EQ(grid->cellText(r, 3).rfind(server.url() + "/s?", 0), 0u);
            EXPECT_EQ(grid->textColour(r, 3), kColourBlue);
        }
    }
    EXPECT_EQ(label(*program, component::kBaiduValueLabel), "100%");
    EXPECT_EQ(label(*program, component::k360ValueLabel), "100%");
    EXPECT_FALSE(label(*program, component::kCharCountLabel).isEmpty());
    EXPECT_EQ(label(*program, component::k360VerdictLabel), QStringLiteral("你乃神人，此文原创"));
}

// The whole window with a browser that does not start: a click on a 搜索 cell
// runs the opener, which fails; the address goes to the clipboard, a message
// says so, and the cell is not marked visited. A working opener then marks it.
TEST_F(DesktopProgramTest, AnAddressWhoseBrowserFailsIsCopiedSaidAndLeftUnvisited) {
    SearchServer server("<html><body><em>无关的片段</em></body></html>");
    auto program = start(server);
    checkButton(*program)->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }));
    ResultGrid* baidu = program->window().grid(component::kBaiduGrid);
    ASSERT_GT(baidu->rowCount(), 1);
    const Text address = baidu->cellText(1, kUrlColumn);
    auto opener = [this](const char* name, const char* script) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("#!/bin/sh\n") + script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    auto clickAddress = [&] {
        QTest::mouseClick(baidu->viewport(), Qt::LeftButton, {},
                          baidu->visualRect(baidu->model()->index(0, kUrlColumn - 1)).center());
    };

    program->qtPlatform().setUrlOpener(opener("no-browser", "exit 3\n"));
    QString said;
    QTimer::singleShot(100, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    clickAddress();
    EXPECT_EQ(said, QStringLiteral("无法打开浏览器，网址已复制到剪贴板"));
    EXPECT_EQ(program->qtPlatform().clipboardText(), address);
    EXPECT_NE(baidu->textColour(1, kUrlColumn), kColourPurple);

    const QString seen = dir_.filePath(QStringLiteral("seen"));
    program->qtPlatform().setUrlOpener(
        opener("browser", ("echo \"$1\" > '" + seen.toStdString() + "'\n").c_str()));
    clickAddress();
    EXPECT_EQ(baidu->textColour(1, kUrlColumn), kColourPurple);
    QFile shown(seen);
    ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
    EXPECT_EQ(shown.readAll().trimmed().toStdString(), address);
}

QMessageBox* promptOf(DesktopProgram& program, const char* engine) {
    for (QMessageBox* box : program.qtPlatform().openBoxes()) {
        if (box->text().startsWith(QString::fromUtf8(engine))) {
            return box;
        }
    }
    return nullptr;
}

// Empty result pages: each pass asks whether to go on. The two prompts are
// open at once and each answer moves only its own pass.
TEST_F(DesktopProgramTest, TwoPromptsAnsweredInEitherOrder) {
    SearchServer server("");
    auto program = start(server);
    checkButton(*program)->click();
    ASSERT_TRUE(pumpUntil([&] {
        return promptOf(*program, "百度") != nullptr && promptOf(*program, "360") != nullptr;
    }));

    // The later pass's prompt first: 360 gives up.
    promptOf(*program, "360")->button(QMessageBox::Cancel)->click();
    ASSERT_TRUE(pumpUntil([&] { return promptOf(*program, "360") == nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(program->checkRunning());
    EXPECT_FALSE(checkButton(*program)->isEnabled());
    ASSERT_NE(promptOf(*program, "百度"), nullptr);

    // Baidu goes on to its next segment and asks again; then it gives up too.
    QMessageBox* first = promptOf(*program, "百度");
    first->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(pumpUntil([&] {
        QMessageBox* next = promptOf(*program, "百度");
        return next != nullptr && next != first;
    }));
    EXPECT_EQ(program->window().grid(component::kBaiduGrid)->rowCount(), 3);
    promptOf(*program, "百度")->button(QMessageBox::Cancel)->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }));
    EXPECT_TRUE(checkButton(*program)->isEnabled());
    EXPECT_EQ(label(*program, component::kBaiduValueLabel), "");
    EXPECT_EQ(label(*program, component::k360ValueLabel), "");
}

// The parameter window is modal to the main window, yet the passes go on
// filling the grids while it is open.
TEST_F(DesktopProgramTest, PassesGoOnWhileTheParameterWindowIsOpen) {
    SearchServer server("<em>x</em>", std::chrono::milliseconds(15));
    auto program = start(server);
    auto* article = program->window().component<QPlainTextEdit>(component::kArticleBox);
    article->setPlainText(article->toPlainText().repeated(4));  // eleven segments
    ResultGrid* grid = program->window().grid(component::kBaiduGrid);
    checkButton(*program)->click();
    ASSERT_TRUE(pumpUntil([&] { return grid->rowCount() > 1; }));

    int rowsAtOpen = -1;
    int rowsAtClose = -1;
    bool mainWindowBlocked = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* parameters = qobject_cast<ParameterWindow*>(QApplication::activeModalWidget());
        if (parameters == nullptr) {
            return;
        }
        if (rowsAtOpen < 0) {
            rowsAtOpen = grid->rowCount();
            mainWindowBlocked = parameters->windowModality() == Qt::ApplicationModal;
        } else if (grid->rowCount() > rowsAtOpen + 2 || !program->checkRunning()) {
            rowsAtClose = grid->rowCount();
            parameters->close();
        }
    });
    watch.start(5);
    QTest::mousePress(program->window().component("标签1"), Qt::LeftButton);  // returns on close
    watch.stop();
    EXPECT_TRUE(mainWindowBlocked);
    EXPECT_GT(rowsAtClose, rowsAtOpen);
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }));
    EXPECT_GT(grid->rowCount(), 8);
}

// The confirmation box asked when the window closes during a check, once it
// is open, answered with the button `answer`; false when none opened.
bool answerCloseConfirmation(DesktopProgram& program, QMessageBox::StandardButton answer) {
    bool asked = false;
    QTimer::singleShot(0, [&] {
        for (QMessageBox* box : program.qtPlatform().openBoxes()) {
            if (box->text() == QStringLiteral("检测尚未完成，确定退出吗？")) {
                asked = true;
                box->button(answer)->click();
            }
        }
    });
    return program.window().close() || asked;
}

// Closing the window during a check asks first: 取消 keeps the check going;
// 确定, while both passes wait on slow pages and prompts, ends the program at
// once and cleanly.
TEST_F(DesktopProgramTest, ClosingDuringARunAsksThenEndsPromptly) {
    for (bool withPrompt : {false, true}) {
        SearchServer server(withPrompt ? "" : "<em>x</em>",
                            std::chrono::milliseconds(withPrompt ? 0 : 3000));
        auto program = start(server);
        checkButton(*program)->click();
        if (withPrompt) {
            ASSERT_TRUE(pumpUntil([&] { return program->qtPlatform().openBoxes().size() == 2; }));
        } else {
            ASSERT_TRUE(pumpUntil([&] { return server.requests() >= 2; }));
            EXPECT_TRUE(answerCloseConfirmation(*program, QMessageBox::Cancel));
            EXPECT_TRUE(program->window().isVisible());
            EXPECT_TRUE(program->checkRunning());
        }
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(answerCloseConfirmation(*program, QMessageBox::Ok));
        EXPECT_FALSE(program->window().isVisible());
        EXPECT_FALSE(program->checkRunning());
        program.reset();
        EXPECT_LT(timer.elapsed(), 2500) << withPrompt;
    }
}

}  // namespace
}  // namespace oc
