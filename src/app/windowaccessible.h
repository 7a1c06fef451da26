#pragma once

// How a screen reader sees the editor's window: as a frame named by its title, and told of every
// change of the title, which is the status line (a saved file's path, a download's progress).

class QWidget;

namespace orvane {

// For an orvane::Form1: a screen reader takes a top-level window for one by its role, not by
// where it stands, and Qt does not announce a window's new title by itself.
void makeWindowAccessible(QWidget* window);

} // namespace orvane
