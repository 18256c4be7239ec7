// Fits the main window to an outer width and height (the screen's at start):
// its Qt layouts share the room out; the width decides whether the guide
// panel stands beside the article column or becomes a page of the result tabs.
#pragma once

namespace oc {

class MainWindow;

void layoutMainWindow(MainWindow& window, int width, int height);

}  // namespace oc
