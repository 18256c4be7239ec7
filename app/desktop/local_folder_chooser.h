// The folder of the user's own documents, as the window shows and changes it:
// the path (elided, whole as its tooltip) and a button that asks for another.
// The choice is kept in the settings file, where the local engine reads it.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "services/platform.h"
#include "services/text_types.h"

class QAbstractButton;
class QLabel;
class QPushButton;

namespace oc {

// The component name of the main window's chooser.
inline constexpr std::string_view kLocalFolderChooser = "面板_本地文档目录";

class LocalFolderChooser : public QWidget {
    Q_OBJECT
  public:
    explicit LocalFolderChooser(Platform& platform, QWidget* parent = nullptr);

    // The settings file the folder is kept in: its folder is shown from now
    // on, and a choice is saved there. Unbound, a choice is only shown.
    void bindSettings(const Text& settingsPath);
    // Native bytes; empty when none is set.
    const std::string& folder() const { return folder_; }
    // Asks for a folder (a folder dialog unless setChooser) and keeps it.
    // False when none was chosen or it could not be saved (a message says why,
    // and the folder shown stays the one the check will use).
    bool choose();
    // Asks for the folder instead of the dialog (tests); empty: none chosen.
    void setChooser(std::function<QString()> chooser) { chooser_ = std::move(chooser); }
    // Ticking the box while no folder is set asks for one; with none chosen
    // the box is unticked again.
    void requireFolderFor(QAbstractButton& checkBox);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showFolder();

    Platform& platform_;
    Text settingsPath_;
    std::string folder_;
    std::function<QString()> chooser_;
    QLabel* path_;
    QPushButton* button_;
};

}  // namespace oc
