#include "app/desktop/parameter_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/desktop/engine_settings_window.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/settings_not_saved.h"
#include "app/desktop/whole_number_input.h"
#include "app/desktop/widget_style.h"
#include "check/ignore_list.h"
#include "services/boundary_text.h"
#include "settings/settings.h"

namespace oc {

namespace {
// Client area inside a usual frame of the outer design size.
constexpr int kClientWidth = 453;
// How far the hints stand right of the design, making room for wider boxes
// and the default marks.
constexpr int kShift = 56;
constexpr int kBoxWidth = 40;
constexpr int kClientHeight = 363;

constexpr std::string_view kSegmentBox = "编辑框_段落数";
constexpr std::string_view kMinRunBox = "编辑框_飘红检测数";
constexpr std::string_view kLastSegmentBox = "编辑框_最后段字数";
constexpr std::string_view kIntervalBox = "编辑框_查询间隔";
constexpr std::string_view kPageTimeoutBox = "编辑框_页面超时";
constexpr std::string_view kBoxes[] = {kSegmentBox, kMinRunBox, kLastSegmentBox, kIntervalBox,
                                       kPageTimeoutBox};
constexpr std::string_view kIgnoredSitesBox = "编辑框_忽略网站";
constexpr std::string_view kModeBox = "组合框_检测方式";
constexpr std::string_view kCoverageBox = "编辑框_飘红覆盖率";
constexpr std::string_view kCacheDaysBox = "编辑框_缓存天数";

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

QLabel* addLabel(QWidget* parent, const char* name, const char* caption, const QColor& colour,
                 QRect geometry, bool wraps) {
    QLabel* label = makeCaptionLabel(parent, QString::fromUtf8(caption), colour);
    label->setObjectName(QString::fromUtf8(name));
    label->setGeometry(geometry);
    label->setWordWrap(wraps);
    return label;
}

// Why the list of own sites cannot be saved (GBK), empty when it can.
Text ignoredSitesProblem(const Text& sites) {
    const std::vector<std::string> unusable = unusableIgnoreEntries(sites);
    if (unusable.empty()) {
        return Text();
    }
    std::string named;
    for (const std::string& entry : unusable) {
        named.append(named.empty() ? "“" : "、“").append(entry).append("”");
    }
    return gbkFromUtf8(std::string("忽略网站中的 ")
                           .append(named)
                           .append(" 不是网站的域名（应像 example.com 或 blog.example.com）。"));
}

}  // namespace

ParameterWindow::ParameterWindow(Platform& platform, Text settingsPath, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags),
      platform_(platform),
      settingsPath_(std::move(settingsPath)) {
    setWindowTitle(QStringLiteral("参数设置"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(kClientWidth, kClientHeight);
    move((platform_.screenWidth() - kOuterWidth) / 2,
         (platform_.screenHeight() - kOuterHeight) / 2);

    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("按钮_保存参数"));
    save->setGeometry(232 + kShift, 320, 80, 32);
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &ParameterWindow::saveParameters);
    // The engines' addresses and the user agent, in a window of their own.
    auto* engines = new QPushButton(QStringLiteral("搜索引擎…"), this);
    engines->setObjectName(QStringLiteral("按钮_搜索引擎设置"));
    engines->setGeometry(376, 320, 70, 32);
    engines->setFont(pixelFont(12));
    engines->setAutoDefault(false);
    engines->setToolTip(QStringLiteral("百度、360 的地址和 UserAgent，搜索引擎屏蔽本机时怎么做"));
    connect(engines, &QPushButton::clicked, this, &ParameterWindow::openEngineSettings);

    addLabel(this, "标签6", "最后一段小于此值，则不计入原创度算法。", kRed,
             {176 + kShift, 120, 176, 32}, true);
    addBox(kLastSegmentBox, {136, 120, kBoxWidth, 32}, false)
        ->setToolTip(QStringLiteral("0～分段文本字数；空着即 0"));
    addLabel(this, "标签5", "最后一段字数设置", kBlack, {24, 120, 104, 24}, false);
    addBox(kMinRunBox, {136, 72, kBoxWidth, 32}, true)
        ->setToolTip(QStringLiteral("12～分段文本字数"));
    addLabel(this, "标签3", "飘红计数字数设置", kBlack, {24, 80, 104, 24}, false);
    addLabel(this, "标签4", "至少多少个汉字连续出现，才算飘红，此值越小，原创精确度越高", kRed,
             {176 + kShift, 72, 184, 32}, true);
    addLabel(this, "标签2", "百度的查询限制在38个汉字以内", kRed, {176 + kShift, 40, 176, 24},
             false);
    addBox(kSegmentBox, {136, 32, kBoxWidth, 32}, true)->setToolTip(QStringLiteral("12～38"));
    addLabel(this, "标签1", "分段文本字数设置", kBlack, {24, 40, 104, 24}, false);
    // The pause between two requests to one engine, in the row of the save button.
    addLabel(this, "标签7", "查询间隔设置", kBlack, {24, 176, 104, 24}, false);
    WholeNumberEdit* interval = addBox(kIntervalBox, {136, 168, kBoxWidth, 32}, true);
    interval->setToolTip(
        QStringLiteral("两次查询同一搜索引擎之间等待的秒数（0～120）；搜索常被屏蔽时可调大"));
    addLabel(this, "标签8", "秒 (0-120)", kBlack, {180, 176, 62, 24}, false)
        ->setFont(pixelFont(12));
    // How long one result page may take, beside it.
    addLabel(this, "标签10", "页面超时", kBlack, {244, 176, 56, 24}, false);
    WholeNumberEdit* pageTimeout = addBox(kPageTimeoutBox, {304, 168, kBoxWidth, 32}, true);
    pageTimeout->setToolTip(QStringLiteral(
        "一个搜索结果页面最多等待的秒数（1～600），到时未收完即算未核实（超时）；空着即 120"));
    addLabel(this, "标签11", "秒 (1-600)", kBlack, {348, 176, 60, 24}, false)
        ->setFont(pixelFont(12));
    // The user's own sites, under the numbers; the save button below them.
    addLabel(this, "标签9", "忽略网站设置", kBlack, {24, 216, 104, 24}, false);
    auto* sites = new QPlainTextEdit(this);
    sites->setObjectName(qstringFromUtf8(kIgnoredSitesBox));
    sites->setGeometry(136, 208, 296, 56);
    sites->setTabChangesFocus(true);
    sites->setFont(pixelFont(12));
    sites->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: black; background-color: white; }"));
    sites->setToolTip(
        QStringLiteral("例如 example.com：这些网站（含其子域名）上的飘红不算抄袭。"
                       "每行一个，也可用空格、逗号分隔"));
    sites->setPlaceholderText(QStringLiteral("自己的网站，每行一个，如 example.com"));
    // How the article is cut and judged, and the coverage of 整句, above the save button.
    addLabel(this, "标签12", "检测方式设置", kBlack, {24, 280, 104, 24}, false);
    auto* mode = new QComboBox(this);
    mode->setObjectName(qstringFromUtf8(kModeBox));
    mode->setGeometry(136, 272, 72, 32);
    mode->setFont(pixelFont(12));
    mode->addItems({QStringLiteral("整句"), QStringLiteral("经典")});
    mode->setToolTip(
        QStringLiteral("整句：按整句查询，保留数字和英文，单个长飘红或同一结果的飘红覆盖足够多"
                       "即算命中；经典：固定长度分段，只保留汉字，只看单个长飘红"));
    addLabel(this, "标签13", "飘红覆盖率", kBlack, {224, 280, 72, 24}, false);
    addBox(kCoverageBox, {296, 272, kBoxWidth, 32}, true)
        ->setToolTip(QStringLiteral("整句方式下，同一条结果的飘红覆盖本段多少（50～100）算命中"));
    addLabel(this, "标签14", "% (50-100)", kBlack, {340, 280, 80, 24}, false)
        ->setFont(pixelFont(12));
    // How long an answer of an engine is reused, beside the save button.
    addLabel(this, "标签15", "缓存天数设置", kBlack, {24, 328, 104, 24}, false);
    addBox(kCacheDaysBox, {136, 320, kBoxWidth, 32}, true)
        ->setToolTip(QStringLiteral("同一查询在这么多天内已核实过，就用检测记录里的结果，不再查询"
                                    "（0～365）；0 表示每次都查询；空着即 7"));
    addLabel(this, "标签16", "天 (0-365)", kBlack, {180, 328, 80, 24}, false)
        ->setFont(pixelFont(12));
    // Beside a box that shows the default of a key the file lacks.
    for (std::string_view name : {kSegmentBox, kMinRunBox, kLastSegmentBox}) {
        WholeNumberEdit* edit = box(name);
        QLabel* mark = makeCaptionLabel(this, QStringLiteral("（默认）"), kBlack);
        mark->setObjectName(qstringFromUtf8(name) + QStringLiteral("_默认"));
        mark->setFont(pixelFont(12));
        mark->setGeometry(edit->x() + kBoxWidth + 2, edit->y() + 8, kShift - 6, 16);
        mark->hide();
        connect(edit, &QLineEdit::textEdited, mark, &QWidget::hide);
    }

    loadParameters();
}

WholeNumberEdit* ParameterWindow::addBox(std::string_view name, QRect geometry, bool smallFont) {
    auto* box = new WholeNumberEdit(this);
    box->setObjectName(qstringFromUtf8(name));
    box->setGeometry(geometry);
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    box->setStyleSheet(QStringLiteral("QLineEdit { color: black; background-color: white; }"));
    if (smallFont) {
        box->setFont(pixelFont(12));
    }
    return box;
}

WholeNumberEdit* ParameterWindow::box(std::string_view name) const {
    return findChild<WholeNumberEdit*>(qstringFromUtf8(name));
}

QPlainTextEdit* ParameterWindow::ignoredSitesBox() const {
    return findChild<QPlainTextEdit*>(qstringFromUtf8(kIgnoredSitesBox));
}

void ParameterWindow::loadParameters() {
    const ShownParameters shown = loadShownParameters(settingsPath_);
    const Text* texts[] = {&shown.texts.segmentChars, &shown.texts.minRunChars,
                           &shown.texts.lastSegmentChars, &shown.texts.intervalSeconds,
                           &shown.texts.pageTimeoutSeconds};
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) {
        box(kBoxes[i])->setText(qstringFromGbk(*texts[i]));
        if (auto* mark = findChild<QLabel*>(qstringFromUtf8(kBoxes[i]) + QStringLiteral("_默认"))) {
            mark->setVisible(shown.defaulted[i]);
        }
    }
    ignoredSitesBox()->setPlainText(qstringFromGbk(shown.texts.ignoredSites.value_or(Text())));
    const std::optional<CheckMode> mode = checkModeOf(shown.texts.mode);
    modeBox()->setCurrentIndex(mode.value_or(CheckMode::Sentence) == CheckMode::Classic ? 1 : 0);
    box(kCoverageBox)->setText(qstringFromGbk(shown.texts.coveragePercent));
    box(kCacheDaysBox)->setText(qstringFromGbk(shown.texts.cacheDays));
}

EngineSettingsWindow* ParameterWindow::openEngineSettings() {
    auto* window = new EngineSettingsWindow(platform_, settingsPath_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
    return window;
}

QComboBox* ParameterWindow::modeBox() const {
    return findChild<QComboBox*>(qstringFromUtf8(kModeBox));
}

void ParameterWindow::saveParameters() {
    // A box that still has the focus (the button was pressed by keyboard) is
    // normalised as losing the focus would have done.
    if (auto* focused = qobject_cast<WholeNumberEdit*>(focusWidget()); focused != nullptr) {
        focused->normalise();
    }
    ParameterTexts texts;
    texts.segmentChars = gbkFromQString(box(kSegmentBox)->text());
    texts.minRunChars = gbkFromQString(box(kMinRunBox)->text());
    texts.lastSegmentChars = gbkFromQString(box(kLastSegmentBox)->text());
    texts.intervalSeconds = gbkFromQString(box(kIntervalBox)->text());
    texts.pageTimeoutSeconds = gbkFromQString(box(kPageTimeoutBox)->text());
    texts.ignoredSites = gbkFromQString(ignoredSitesBox()->toPlainText());
    texts.mode = gbkFromQString(modeBox()->currentText());
    texts.coveragePercent = gbkFromQString(box(kCoverageBox)->text());
    texts.cacheDays = gbkFromQString(box(kCacheDaysBox)->text());
    Text problem = parameterRangeProblem(texts);
    if (problem.empty()) {
        problem = ignoredSitesProblem(*texts.ignoredSites);
    }
    if (!problem.empty()) {
        platform_.messageBox(problem + gbkFromUtf8("\n\n参数没有保存。"), kMbIconWarning,
                             gbkFromUtf8("参数设置"));
        return;
    }
    if (!saveParameterTexts(settingsPath_, texts)) {
        // The edits stay in the boxes, so the user can try again or note them.
        platform_.messageBox(settingsNotSavedMessage("参数没有保存。", settingsPath_),
                             kMbIconWarning, gbkFromUtf8("参数设置"));
        return;
    }
    platform_.closeWindow(ProgramWindow::Parameters);
}

}  // namespace oc
