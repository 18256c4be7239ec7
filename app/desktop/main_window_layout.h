// Fits the main window to an outer width and height: the article column takes
// all but 296 pixels, the guide panel the rest.
#pragma once

namespace oc {

class MainWindow;

void layoutMainWindow(MainWindow& window, int width, int height);

}  // namespace oc
