// The desktop program with the sample article in its box, against given
// search engines, its settings file in a test's folder (检测方式 经典); shown.
#pragma once

#include <QFile>
#include <QPlainTextEdit>
#include <QString>
#include <memory>

#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "check/window_port.h"
#include "services/ini_file.h"
#include "tests/support/gbk.h"

namespace oc::testing {

inline std::unique_ptr<DesktopProgram> startOnSampleArticle(const QString& folder,
                                                            const QString& baiduUrl,
                                                            const QString& url360,
                                                            Platform* platform = nullptr) {
    DesktopOptions options;
    options.settingsPath = folder.toStdString() + "/" + G("配置.ini");
    // The fixed windows and the single-run rule these cases were written for.
    writeIniItem(options.settingsPath, G("原创检测配置"), G("检测方式"), G("经典"));
    options.baiduUrl = baiduUrl.toStdString();
    options.url360 = url360.toStdString();
    options.platform = platform;
    auto program = std::make_unique<DesktopProgram>(options);
    QFile article(QStringLiteral(OC_SOURCE_DIR "/data/sample-article.txt"));
    if (article.open(QIODevice::ReadOnly)) {
        program->window()
            .component<QPlainTextEdit>(component::kArticleBox)
            ->setPlainText(QString::fromUtf8(article.readAll()));
    }
    program->show();
    return program;
}

}  // namespace oc::testing
