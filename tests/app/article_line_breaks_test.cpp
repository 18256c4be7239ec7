// One article with paragraphs, however its lines end and however it arrives
// (a file with LF, a file with CR LF, standard input, pasted into the window),
// is counted, cut and queried alike.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "services/article_decoding.h"
#include "tests/app/event_pump.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/cli_runner.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::SearchSimProcess;

// A title, two paragraphs and an empty line between them: the title, too
// short to be a piece of its own, joins the first paragraph.
const std::string kTitle = "慢一点，再慢一点";
const std::string kParagraph1 =
    "搬到这座城市的第七年，我终于学会了放慢脚步。刚来的时候，我总觉得时间不够用，"
    "每天在地铁里挤来挤去。";
const std::string kParagraph2 =
    "直到去年秋天生了一场病，在家里躺了整整三个星期，才发现窗外的银杏叶一片片变黄。";

std::string articleWith(const std::string& lineBreak) {
    return kTitle + lineBreak + kParagraph1 + lineBreak + lineBreak + kParagraph2 + lineBreak;
}

// What a run shows: the character count, each segment and its query.
struct RunView {
    QString chars;
    std::vector<QString> segments;
    std::vector<QString> queries;
};

class ArticleLineBreaksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_FALSE(sim_.url().isEmpty());
    }

    std::string path(const std::string& name) const {
        return dir_.path().toStdString() + "/" + name;
    }

    RunView cliRun(const std::string& args, const std::string& input = "") {
        const std::string sim = sim_.url().toStdString();
        testing::CliRun run =
            testing::runCli(OC_BIN_DIR, dir_.path().toStdString(),
                            std::string("--engine baidu --json --quiet --settings '")
                                .append(path("none.ini"))
                                .append("' --baidu-url ")
                                .append(sim)
                                .append(" ")
                                .append(args),
                            input);
        EXPECT_EQ(run.status, 0) << run.err;
        const QJsonObject report =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
        RunView view;
        view.chars = report.value(QStringLiteral("articleChars")).toString();
        const QJsonArray rows = report.value(QStringLiteral("passes"))
                                    .toArray()
                                    .at(0)
                                    .toObject()
                                    .value(QStringLiteral("rows"))
                                    .toArray();
        for (const QJsonValue& row : rows) {
            view.segments.push_back(row.toObject().value(QStringLiteral("text")).toString());
            view.queries.push_back(row.toObject().value(QStringLiteral("url")).toString());
        }
        return view;
    }

    RunView windowRun(const std::string& clipboard) {
        DesktopOptions options;
        options.settingsPath = path("none.ini");
        options.baiduUrl = sim_.url().toStdString();
        DesktopProgram program(options);
        program.show();
        MainWindow& window = program.window();
        window.component<QAbstractButton>(component::k360CheckBox)->click();
        QGuiApplication::clipboard()->setText(QString::fromStdString(clipboard));
        window.component<QPushButton>("按钮_复制进来")->click();
        window.component<QPushButton>(component::kCheckButton)->click();
        EXPECT_TRUE(pumpUntil([&] { return !program.checkRunning(); }, std::chrono::seconds(60)));
        RunView view;
        view.chars = window.component<QLabel>(component::kCharCountLabel)->text();
        ResultGrid* grid = window.grid(component::kBaiduGrid);
        for (int row = 1; row < grid->rowCount(); ++row) {
            view.segments.push_back(qstringFromGbk(grid->cellText(row, 1)));
            view.queries.push_back(qstringFromGbk(grid->cellText(row, kUrlColumn)));
        }
        return view;
    }

    QTemporaryDir dir_;
    SearchSimProcess sim_{QStringList()};
};

TEST_F(ArticleLineBreaksTest, FilesStandardInputAndThePastedArticleAgree) {
    std::ofstream(path("lf.txt"), std::ios::binary) << articleWith("\n");
    std::ofstream(path("crlf.txt"), std::ios::binary) << articleWith("\r\n");

    const RunView lfFile = cliRun(std::string("'").append(path("lf.txt")).append("'"));
    ASSERT_GT(lfFile.segments.size(), 2u);
    // The title joins the paragraph after it with one space, wherever its line ended.
    EXPECT_TRUE(lfFile.segments[0].startsWith(QString::fromStdString(kTitle + " 搬到")))
        << lfFile.segments[0].toStdString();
    const std::string mac = articleWith("\r");
    const RunView others[] = {
        cliRun(std::string("'").append(path("crlf.txt")).append("'")),
        cliRun("-", articleWith("\n")),
        cliRun("-", mac),
        windowRun(articleWith("\n")),
        windowRun(articleWith("\xE2\x80\xA9")),
    };
    for (const RunView& other : others) {
        EXPECT_EQ(other.chars, lfFile.chars);
        EXPECT_EQ(other.segments, lfFile.segments);
        EXPECT_EQ(other.queries, lfFile.queries);
    }
}

// Every kind of line break, alone and mixed, from each decoder.
TEST(ArticleLineBreaks, DecodersGiveCrLf) {
    const std::string crlf = G("甲\r\n乙\r\n\r\n丙\r\n");
    for (const std::string& utf8 : {std::string("甲\n乙\n\n丙\n"), std::string("甲\r乙\r\r丙\r"),
                                    std::string("甲\r\n乙\r\n\r\n丙\r\n"),
                                    std::string("甲\xE2\x80\xA9乙\n\r丙\xE2\x80\xA8")}) {
        DecodedArticle decoded = decodeArticle(utf8);
        EXPECT_EQ(decoded.text, crlf) << utf8;
        EXPECT_TRUE(decoded.warnings.empty()) << utf8;
        EXPECT_EQ(articleFromUtf8(utf8).text, crlf) << utf8;
        EXPECT_EQ(articleTextOf(QString::fromStdString(utf8)), crlf) << utf8;
    }
    // A GBK file with CR line breaks.
    EXPECT_EQ(decodeArticle(G("甲\r乙\r\r丙\n")).text, crlf);
}

}  // namespace
}  // namespace oc
