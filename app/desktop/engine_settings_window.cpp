#include "app/desktop/engine_settings_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <iterator>
#include <optional>

#include "app/desktop/qt_text.h"
#include "app/desktop/settings_not_saved.h"
#include "app/desktop/whole_number_input.h"
#include "app/desktop/widget_style.h"
#include "services/boundary_text.h"
#include "services/http_fetch.h"
#include "settings/block_settings.h"
#include "settings/engine_settings.h"

namespace oc {

namespace {
constexpr int kClientWidth = 453;
constexpr int kClientHeight = 272;
constexpr int kBoxLeft = 104;

constexpr const char* kBaiduBox = "编辑框_百度地址";
constexpr const char* k360Box = "编辑框_360地址";
constexpr const char* kUserAgentBox = "编辑框_UserAgent";
constexpr const char* kOnBlockBox = "组合框_屏蔽时";
constexpr const char* kBlockWaitBox = "编辑框_屏蔽等待";

// The choices of 屏蔽时 in the order of the drop-down list: the key left out,
// then its two values.
const std::optional<OnBlock> kOnBlockChoices[] = {std::nullopt, OnBlock::Ask, OnBlock::Wait};

}  // namespace

EngineSettingsWindow::EngineSettingsWindow(Platform& platform, Text settingsPath, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags),
      platform_(platform),
      settingsPath_(std::move(settingsPath)) {
    setWindowTitle(QStringLiteral("搜索引擎设置"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(kClientWidth, kClientHeight);

    const EngineEndpoints defaults = defaultEngineEndpoints();
    addRow("百度地址", kBaiduBox, qstringFromGbk(defaults.baidu), 16);
    addRow("360地址", k360Box, qstringFromGbk(defaults.engine360), 56);
    addRow("UserAgent", kUserAgentBox, QString::fromLatin1(kDefaultUserAgent), 96);
    userAgentBox()->setToolTip(QStringLiteral("查询时发给搜索引擎的浏览器标识，一行文字"));

    // What a check does when an engine blocks it.
    QLabel* onBlock = makeCaptionLabel(this, QStringLiteral("屏蔽时"), QColor(0, 0, 0));
    onBlock->setGeometry(24, 140, kBoxLeft - 28, 24);
    auto* choices = new QComboBox(this);
    choices->setObjectName(QString::fromUtf8(kOnBlockBox));
    choices->setGeometry(kBoxLeft, 136, 176, 32);
    choices->setFont(pixelFont(12));
    choices->addItems({QStringLiteral("单篇询问，批量自动等待"), QStringLiteral("询问"),
                       QStringLiteral("自动等待")});
    choices->setToolTip(
        QStringLiteral("搜索引擎屏蔽本机时：询问是否继续，或自动暂停该引擎，等待后重试"));
    QLabel* wait = makeCaptionLabel(this, QStringLiteral("屏蔽等待"), QColor(0, 0, 0));
    wait->setGeometry(kBoxLeft + 188, 140, 52, 24);
    auto* minutes = new WholeNumberEdit(this);
    minutes->setObjectName(QString::fromUtf8(kBlockWaitBox));
    minutes->setGeometry(kBoxLeft + 244, 136, 36, 32);
    minutes->setFont(pixelFont(12));
    minutes->setStyleSheet(QStringLiteral("QLineEdit { color: black; background-color: white; }"));
    minutes->setPlaceholderText(QString::number(kDefaultBlockWaitMinutes));
    minutes->setToolTip(
        QStringLiteral("第一次暂停的分钟数（1～60），再被屏蔽则加倍，最多 60；空着即 10"));
    QLabel* unit = makeCaptionLabel(this, QStringLiteral("分 (1-60)"), QColor(0, 0, 0));
    unit->setFont(pixelFont(12));
    unit->setGeometry(kBoxLeft + 284, 144, 56, 16);

    QLabel* hint = makeCaptionLabel(
        this,
        QStringLiteral("空着即用默认值（灰字）。地址只写到主机和端口，如 https://www.baidu.com 或 "
                       "http://127.0.0.1:8000，不带路径。保存后，下一次检测时生效。"),
        QColor(0, 0, 0));
    hint->setObjectName(QStringLiteral("标签_搜索引擎说明"));
    hint->setFont(pixelFont(12));
    hint->setWordWrap(true);
    hint->setGeometry(24, 176, kClientWidth - 48, 40);

    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("按钮_保存搜索引擎"));
    save->setGeometry(kClientWidth - 192, 228, 80, 32);
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &EngineSettingsWindow::saveEngines);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("按钮_取消搜索引擎"));
    cancel->setGeometry(kClientWidth - 104, 228, 80, 32);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const EngineTexts texts = loadEngineTexts(settingsPath_);
    baiduBox()->setText(qstringFromGbk(texts.baidu));
    box360()->setText(qstringFromGbk(texts.engine360));
    userAgentBox()->setText(qstringFromGbk(texts.userAgent));
    const BlockSettings block = loadBlockSettings(settingsPath_);
    for (std::size_t i = 0; i < std::size(kOnBlockChoices); ++i) {
        if (kOnBlockChoices[i] == block.onBlock) {
            choices->setCurrentIndex(static_cast<int>(i));
        }
    }
    if (block.waitMinutes != kDefaultBlockWaitMinutes) {
        minutes->setText(QString::number(block.waitMinutes));
    }
}

QLineEdit* EngineSettingsWindow::addRow(const char* caption, const char* name,
                                        const QString& defaultValue, int y) {
    QLabel* label = makeCaptionLabel(this, QString::fromUtf8(caption), QColor(0, 0, 0));
    label->setGeometry(24, y + 4, kBoxLeft - 28, 24);
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromUtf8(name));
    box->setGeometry(kBoxLeft, y, kClientWidth - kBoxLeft - 24, 32);
    box->setFont(pixelFont(12));
    box->setStyleSheet(QStringLiteral("QLineEdit { color: black; background-color: white; }"));
    box->setPlaceholderText(defaultValue);
    box->setClearButtonEnabled(true);
    return box;
}

QLineEdit* EngineSettingsWindow::baiduBox() const {
    return findChild<QLineEdit*>(QString::fromUtf8(kBaiduBox));
}

QLineEdit* EngineSettingsWindow::box360() const {
    return findChild<QLineEdit*>(QString::fromUtf8(k360Box));
}

QLineEdit* EngineSettingsWindow::userAgentBox() const {
    return findChild<QLineEdit*>(QString::fromUtf8(kUserAgentBox));
}

QComboBox* EngineSettingsWindow::onBlockBox() const {
    return findChild<QComboBox*>(QString::fromUtf8(kOnBlockBox));
}

WholeNumberEdit* EngineSettingsWindow::blockWaitBox() const {
    return findChild<WholeNumberEdit*>(QString::fromUtf8(kBlockWaitBox));
}

void EngineSettingsWindow::saveEngines() {
    blockWaitBox()->normalise();
    const EngineTexts texts{gbkFromQString(baiduBox()->text()), gbkFromQString(box360()->text()),
                            gbkFromQString(userAgentBox()->text())};
    BlockSettings block;
    block.onBlock = kOnBlockChoices[std::max(0, onBlockBox()->currentIndex())];
    const QString minutes = blockWaitBox()->text();
    block.waitMinutes = minutes.isEmpty() ? kDefaultBlockWaitMinutes : minutes.toInt();
    Text problem = engineTextsProblem(texts);
    if (problem.empty() && (block.waitMinutes < 1 || block.waitMinutes > kMaxBlockWaitMinutes)) {
        problem = gbkFromUtf8("屏蔽等待应在 1～60 分钟。");
    }
    if (!problem.empty()) {
        platform_.messageBox(problem + gbkFromUtf8("\n\n搜索引擎设置没有保存。"), kMbIconWarning,
                             gbkFromUtf8("搜索引擎设置"));
        return;
    }
    if (!saveBlockSettings(settingsPath_, block) || !saveEngineTexts(settingsPath_, texts)) {
        platform_.messageBox(settingsNotSavedMessage("搜索引擎设置没有保存。", settingsPath_),
                             kMbIconWarning, gbkFromUtf8("搜索引擎设置"));
        return;
    }
    accept();
}

}  // namespace oc
