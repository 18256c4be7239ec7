#include "app/desktop/local_engine_bar.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/widget_style.h"
#include "check/window_port.h"

namespace oc {

LocalEngineBar::LocalEngineBar(Platform& platform, QWidget* parent)
    : QWidget(parent), folder_(new LocalFolderChooser(platform, this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    folder_->setObjectName(qstringFromUtf8(kLocalFolderChooser));
    row->addWidget(folder_, 1);

    auto* caption = makeCaptionLabel(this, QStringLiteral("本地原创度"), QColor(0, 0, 0));
    caption->setObjectName(QStringLiteral("标签_本地原创度"));
    caption->setFont(pixelFont(12));
    row->addWidget(caption);
    QLabel* value = makeValueLabel(this);
    value->setObjectName(qstringFromUtf8(component::kLocalValueLabel));
    value->setFixedSize(58, kHeight);
    row->addWidget(value);
    QLabel* coverage = makeCaptionLabel(this, QString(), QColor(0, 0, 0), true);
    coverage->setObjectName(qstringFromUtf8(component::kLocalCoverageLabel));
    coverage->setFont(pixelFont(12));
    coverage->setFixedWidth(84);
    coverage->setToolTip(QStringLiteral("已核实：已与本地文档比对的段数／全部段数"));
    row->addWidget(coverage);
    QLabel* verdict = makeCaptionLabel(this, QString(), QColor(255, 0, 0), true);
    verdict->setObjectName(qstringFromUtf8(component::kLocalVerdictLabel));
    verdict->setFont(pixelFont(12));
    verdict->setFixedWidth(112);
    row->addWidget(verdict);
}

}  // namespace oc
