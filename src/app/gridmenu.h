#pragma once

// The grid's context menu ("gridMenu"; the right button, the Menu key, Shift+F10): every command
// of the window, each with its key. Each entry is also an action of the window ("mnuUndo",
// "mnuSet", ...), so its key works whichever control has the focus. A running download takes no
// keys at all (BusyGuard drops them), so none of these can act during one.

#include "pictureops.h"

#include <QCoreApplication>

class QMenu;

namespace orvane {

class FlexGrid;
class FontChoice;
class Form1;
class PatternHistory;

class GridMenu {
    Q_DECLARE_TR_FUNCTIONS(orvane::GridMenu)

public:
    // Adds the actions to form and returns the menu, which opens where grid asks for it.
    static QMenu* build(Form1& form, FlexGrid& grid, PatternHistory& history, FontChoice& fonts);

    // A picture operation's entry, also the name of its undo step.
    static QString pictureOpName(PictureOp op);
};

} // namespace orvane
