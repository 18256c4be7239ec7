// The parameter window "参数设置": the three check parameters, the query
// interval, the user's own sites (忽略网站), 检测方式 and 飘红覆盖率, loaded from the settings file
// when it opens (the default of a key the file lacks, marked "（默认）") and saved back by its save
// button once they are in range. Its button "搜索引擎…" opens the engines' addresses and user
// agent.
#pragma once

#include <QDialog>
#include <string_view>

class QComboBox;
class QPlainTextEdit;

#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

class EngineSettingsWindow;
class WholeNumberEdit;

class ParameterWindow : public QDialog {
    Q_OBJECT
  public:
    // Outer design size; the window opens centred on the screen.
    static constexpr int kOuterWidth = 461;
    static constexpr int kOuterHeight = 394;

    ParameterWindow(Platform& platform, Text settingsPath, QWidget* parent = nullptr);

    // The boxes from the file; a number it lacks shows its default.
    void loadParameters();
    // The boxes to the file as they are, then close. Values out of range, or
    // a save that fails, are said in a message; nothing is saved then, and the
    // window stays open with the edits.
    void saveParameters();

    WholeNumberEdit* box(std::string_view name) const;
    // 忽略网站: one site a line, or separated by spaces or commas.
    QPlainTextEdit* ignoredSitesBox() const;
    // 检测方式: 整句 or 经典.
    QComboBox* modeBox() const;

    // "搜索引擎设置" over this window (modal to it); it deletes itself when closed.
    EngineSettingsWindow* openEngineSettings();

  private:
    WholeNumberEdit* addBox(std::string_view name, QRect geometry, bool smallFont);

    Platform& platform_;
    Text settingsPath_;
};

}  // namespace oc
