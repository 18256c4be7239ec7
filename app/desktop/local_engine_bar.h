// The row above the local engine's grid: the folder of the documents with the
// button that changes it, then the local originality value, its coverage and
// its verdict, as the web engines have them under the buttons. The check box
// that adds the engine to a check sits beside the web engines' ones.
#pragma once

#include <QWidget>

#include "services/platform.h"

namespace oc {

class LocalFolderChooser;

class LocalEngineBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 24;

    explicit LocalEngineBar(Platform& platform, QWidget* parent = nullptr);

    LocalFolderChooser& folder() const { return *folder_; }

  private:
    LocalFolderChooser* folder_;
};

}  // namespace oc
