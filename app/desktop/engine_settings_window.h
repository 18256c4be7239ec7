// "搜索引擎设置", opened from the parameter window: the base addresses of the
// Baidu and the 360 web search and the User-Agent sent to them (the settings
// file's section "搜索引擎"; an empty box stands for the built-in value, shown
// greyed), and what a check does when an engine blocks it (屏蔽时 and
// 屏蔽等待), loaded when it opens and saved back by its save button once
// they are usable.
#pragma once

#include <QDialog>

#include "services/platform.h"
#include "services/text_types.h"

class QComboBox;
class QLineEdit;

namespace oc {

class WholeNumberEdit;

class EngineSettingsWindow : public QDialog {
    Q_OBJECT
  public:
    EngineSettingsWindow(Platform& platform, Text settingsPath, QWidget* parent = nullptr);

    // The boxes to the file, then close. An address that is no base URL, a
    // user agent with a control character, 屏蔽等待 outside 1-60, or a save
    // that fails is said in a message; nothing is saved then, and the window
    // stays open with the edits.
    void saveEngines();

    QLineEdit* baiduBox() const;
    QLineEdit* box360() const;
    QLineEdit* userAgentBox() const;
    // 屏蔽时: the default (a single check asks, a batch waits), 询问, 自动等待.
    QComboBox* onBlockBox() const;
    // 屏蔽等待, minutes; empty means 10.
    WholeNumberEdit* blockWaitBox() const;

  private:
    QLineEdit* addRow(const char* caption, const char* name, const QString& defaultValue, int y);

    Platform& platform_;
    Text settingsPath_;
};

}  // namespace oc
