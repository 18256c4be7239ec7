// desktop-screenshot: opens the desktop program's window, checks an article
// against the given search servers from the check button, and saves a picture
// of the window once both passes have ended. For the README's screenshots:
// with --tip it then points at the first copied passage of the marked article
// and shows its tooltip, prints where the article area lies on the screen
// and keeps the window up for --hold milliseconds, so that a picture of the
// whole screen (tooltip included) can be taken.
#include <CLI/CLI.hpp>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <cstdio>

#include "app/desktop/article_box.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/window_port.h"

namespace {

// Scrolls the first 命中 passage of the article box into view, shows its
// tooltip under it and prints the screen rectangle of the article area with
// room for the tooltip below: "area X Y W H".
void showFirstTip(oc::MainWindow& window) {
    auto* box = window.component<oc::ArticleBox>(oc::component::kArticleBox);
    const QColor hit = oc::colorFromColorRef(oc::kColourHitRow);
    for (const oc::BoxMark& mark : box->marks()) {
        if (mark.background != hit) {
            continue;
        }
        QTextCursor at(box->document());
        at.setPosition(mark.begin + 1);
        box->setTextCursor(at);
        box->ensureCursorVisible();
        const QPoint point = box->cursorRect(at).center();
        QToolTip::showText(box->viewport()->mapToGlobal(point + QPoint(0, 12)), mark.tip,
                           box->viewport());
        break;
    }
    QWidget* area = window.component("分组框_文章");
    const QPoint topLeft = area->mapToGlobal(QPoint(0, 0));
    std::printf("area %d %d %d %d\n", topLeft.x(), topLeft.y(), area->width(), area->height() + 90);
}

}  // namespace

int main(int argc, char** argv) {
    std::string articlePath;
    std::string baiduUrl;
    std::string url360;
    std::string settings;
    std::string out = "screenshot.png";
    int width = 1280;
    int height = 800;
    bool tip = false;
    int hold = 0;
    int sortColumn = -1;
    CLI::App cli{"desktop-screenshot: a picture of the main window after a check run"};
    cli.add_option("--article", articlePath, "UTF-8 article file")->required();
    cli.add_option("--baidu", baiduUrl, "Baidu base URL (scheme://host:port)")->required();
    cli.add_option("--360", url360, "360 base URL (scheme://host:port)")->required();
    cli.add_option("--settings", settings, "settings file (defaults when missing)")->required();
    cli.add_option("--out", out, "PNG file to write")->capture_default_str();
    cli.add_option("--width", width)->capture_default_str();
    cli.add_option("--height", height)->capture_default_str();
    cli.add_flag("--tip", tip, "show the tooltip of the first copied passage");
    cli.add_option("--hold", hold, "milliseconds to stay open after the picture")
        ->capture_default_str();
    cli.add_option("--sort-descending", sortColumn,
                   "grid column the 百度 grid is sorted by, highest first (2: 飘红)");
    CLI11_PARSE(cli, argc, argv);

    QApplication app(argc, argv);
    QFile article(QString::fromStdString(articlePath));
    if (!article.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "desktop-screenshot: cannot read %s\n", articlePath.c_str());
        return 1;
    }
    oc::DesktopOptions options;
    options.settingsPath = settings;
    options.baiduUrl = baiduUrl;
    options.url360 = url360;
    oc::DesktopProgram program(options);
    oc::MainWindow& window = program.window();
    window.component<QPlainTextEdit>(oc::component::kArticleBox)
        ->setPlainText(QString::fromUtf8(article.readAll()));
    window.showNormal();
    window.setGeometry(0, 0, width, height);

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!program.checkRunning()) {
            loop.quit();
        }
    });
    QTimer::singleShot(500, [&] {
        window.component<QPushButton>(oc::component::kCheckButton)->click();
        poll.start(20);
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    poll.stop();  // else it would end every later wait at once
    if (sortColumn >= 0) {
        oc::ResultGrid* grid = window.grid(oc::component::kBaiduGrid);
        grid->sortBy(sortColumn, Qt::DescendingOrder);
        grid->scrollToTop();
    }
    // Let the last rows paint.
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    if (!window.grab().save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "desktop-screenshot: cannot write %s\n", out.c_str());
        return 1;
    }
    if (tip) {
        showFirstTip(window);
        QTimer::singleShot(800, &loop, &QEventLoop::quit);  // let the tooltip paint
        loop.exec();
    }
    std::printf("wrote %s\n", out.c_str());
    std::fflush(stdout);
    if (hold > 0) {
        QTimer::singleShot(hold, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return 0;
}
