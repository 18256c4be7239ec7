#include "app/desktop/qt_platform.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "app/desktop/message_box_style.h"
#include "check/engine_tables.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;

// A prompt asked for by a worker thread, and its answer once given.
struct AskingWorker {
    std::atomic<int> answer{-1};
    std::thread thread;

    GuiBridge& bridge;

    AskingWorker(GuiBridge& bridge, QtPlatform& platform, const char* message, int style)
        : bridge(bridge) {
        thread = std::thread(
            [this, &platform, message, style] { answer = platform.messageBox(G(message), style); });
    }
    // A test that failed before answering releases the thread.
    ~AskingWorker() {
        if (answer.load() == -1) {
            bridge.beginShutdown();
        }
        thread.join();
    }
};

QMessageBox* boxSaying(QtPlatform& platform, const QString& text) {
    for (QMessageBox* box : platform.openBoxes()) {
        if (box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

TEST(QtPlatform, ClipboardTextIsGbk) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    EXPECT_TRUE(platform.setClipboardText(G("原创度检测")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("原创度检测"));
    // A character GBK lacks comes back as "?".
    QGuiApplication::clipboard()->setText(QStringLiteral("文章😀"));
    EXPECT_EQ(platform.clipboardText(), G("文章?"));
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(platform.clipboardText(), "");
}

TEST(QtPlatform, ScreenSize) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    EXPECT_EQ(platform.screenWidth(), QGuiApplication::primaryScreen()->size().width());
    EXPECT_GT(platform.screenHeight(), 0);
}

// Two prompts from two threads are open at once; each answer releases only
// the thread that asked, in whichever order they come.
TEST(QtPlatform, TwoPromptsAnsweredInEitherOrder) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    for (bool firstFirst : {true, false}) {
        AskingWorker first(bridge, platform, "第一个", kMbOkCancel);
        AskingWorker second(bridge, platform, "第二个", kMbOkCancel);
        ASSERT_TRUE(pumpUntil([&] { return platform.openBoxes().size() == 2; }));
        QMessageBox* a = boxSaying(platform, QStringLiteral("第一个"));
        QMessageBox* b = boxSaying(platform, QStringLiteral("第二个"));
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(a->parent(), nullptr);
        EXPECT_EQ(a->windowModality(), Qt::NonModal);
        EXPECT_EQ(a->windowTitle(), QStringLiteral("Zarvik文章原创度检测工具"));
        // As in a Chinese environment, and never one exactly over the other.
        EXPECT_EQ(a->button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        EXPECT_EQ(a->button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
        EXPECT_NE(a->pos(), b->pos());

        AskingWorker& early = firstFirst ? first : second;
        AskingWorker& late = firstFirst ? second : first;
        (firstFirst ? a : b)->button(QMessageBox::Cancel)->click();
        ASSERT_TRUE(pumpUntil([&] { return early.answer.load() != -1; }));
        EXPECT_EQ(early.answer.load(), kAnswerCancel);
        QCoreApplication::processEvents();
        EXPECT_EQ(late.answer.load(), -1);  // still waiting on its own box
        (firstFirst ? b : a)->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(pumpUntil([&] { return late.answer.load() != -1; }));
        EXPECT_EQ(late.answer.load(), kAnswerOk);
    }
}

// The engines' prompts never cover each other: Baidu's left of the screen's
// centre, 360's right of it.
TEST(QtPlatform, EnginePromptsTakeTheirOwnHalfOfTheScreen) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    std::atomic<int> answers{0};
    std::thread baidu([&] {
        platform.messageBox(G("百度"), kMbOkCancel, engineTable(Engine::Baidu).promptTitle);
        ++answers;
    });
    std::thread so360([&] {
        platform.messageBox(G("360"), kMbOkCancel, engineTable(Engine::So360).promptTitle);
        ++answers;
    });
    const bool both = pumpUntil([&] { return platform.openBoxes().size() == 2; });
    QMessageBox* left = boxSaying(platform, QStringLiteral("百度"));
    QMessageBox* right = boxSaying(platform, QStringLiteral("360"));
    if (both && left != nullptr && right != nullptr) {
        QCoreApplication::processEvents();
        const int centre = left->screen()->availableGeometry().center().x();
        EXPECT_EQ(left->windowTitle(), QStringLiteral("百度提示"));
        EXPECT_EQ(right->windowTitle(), QStringLiteral("360搜索提示"));
        EXPECT_LE(left->frameGeometry().right(), centre);
        EXPECT_GE(right->frameGeometry().left(), centre);
        EXPECT_FALSE(left->frameGeometry().intersects(right->frameGeometry()));
        left->button(QMessageBox::Cancel)->click();
        right->button(QMessageBox::Cancel)->click();
        pumpUntil([&] { return answers.load() == 2; });
    } else {
        ADD_FAILURE() << "the two prompts did not open";
    }
    if (answers.load() != 2) {
        bridge.beginShutdown();
    }
    baidu.join();
    so360.join();
}

// A web address opens through the opener program; one that fails (xdg-open
// without a browser exits non-zero) or cannot start counts as not opened.
TEST(QtPlatform, TheOpenerDecidesWhetherTheAddressOpened) {
    QTemporaryDir dir;
    auto opener = [&dir](const char* name, const QByteArray& script) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    const QString seen = dir.filePath(QStringLiteral("seen"));
    platform.setUrlOpener(opener("works", "echo \"$1\" > '" + seen.toUtf8() + "'\n"));
    EXPECT_TRUE(platform.openWithShell("http://127.0.0.1:9/s?wd=%E5%8E%9F"));
    QFile shown(seen);
    ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
    EXPECT_EQ(shown.readAll().trimmed(), QByteArray("http://127.0.0.1:9/s?wd=%E5%8E%9F"));
    platform.setUrlOpener(opener("no-browser", "exit 3\n"));
    EXPECT_FALSE(platform.openWithShell("http://127.0.0.1:9/s?wd=1"));
    platform.setUrlOpener(dir.filePath(QStringLiteral("missing")));
    EXPECT_FALSE(platform.openWithShell("http://127.0.0.1:9/s?wd=1"));
}

TEST(QtPlatform, ShutdownAnswersPendingPromptsWithCancel) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    {
        AskingWorker worker(bridge, platform, "等待", kMbOkCancel);
        ASSERT_TRUE(pumpUntil([&] { return platform.openBoxes().size() == 1; }));
        bridge.beginShutdown();
        platform.closeOpenBoxes();
        ASSERT_TRUE(pumpUntil([&] { return worker.answer.load() != -1; }));
        EXPECT_EQ(worker.answer.load(), kAnswerCancel);
    }
    EXPECT_TRUE(platform.openBoxes().empty());
    EXPECT_EQ(platform.messageBox(G("之后"), kMbOk), kAnswerCancel);
}

TEST(MessageBoxStyle, ButtonsIconsAndAnswers) {
    QMessageBox box;
    applyMessageBoxStyle(box, kMbOkCancel | kMbIconInformation);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.icon(), QMessageBox::Information);
    EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Ok));
    EXPECT_EQ(box.escapeButton(), box.button(QMessageBox::Cancel));

    applyMessageBoxStyle(box, 0x4 | 0x100);  // Yes/No, second button default
    EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("是"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("否"));

    EXPECT_EQ(answerOf(QMessageBox::Ok), kAnswerOk);
    EXPECT_EQ(answerOf(QMessageBox::Cancel), kAnswerCancel);
    EXPECT_EQ(answerOf(QMessageBox::Retry), kAnswerRetry);
    EXPECT_EQ(answerOf(QMessageBox::No), kAnswerNo);

    // The block prompt's third button.
    applyMessageBoxStyle(box, kMbOkCancelNoMoreAsk);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::YesToAll);
    EXPECT_EQ(box.button(QMessageBox::YesToAll)->text(), QStringLiteral("不再询问"));
    EXPECT_EQ(box.escapeButton(), box.button(QMessageBox::Cancel));
    EXPECT_EQ(answerOf(QMessageBox::YesToAll), kAnswerNoMoreAsk);
}

// Closing a box with its close box answers as Windows does: Cancel when
// there is a Cancel button, OK for a lone OK.
TEST(QtPlatform, CloseBoxAnswers) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    for (auto [style, expected] : {std::pair{kMbOkCancel, kAnswerCancel}, {kMbOk, kAnswerOk}}) {
        AskingWorker worker(bridge, platform, "关闭", style);
        ASSERT_TRUE(pumpUntil([&] { return platform.openBoxes().size() == 1; }));
        platform.openBoxes().front()->close();
        ASSERT_TRUE(pumpUntil([&] { return worker.answer.load() != -1; }));
        EXPECT_EQ(worker.answer.load(), static_cast<int>(expected));
        pumpUntil([&] { return platform.openBoxes().empty(); });
    }
}

}  // namespace
}  // namespace oc
