#pragma once

// F1's window ("keysHelp"): every key and mouse action, the grid menu's entries with their keys
// among them. It stays open beside the editor; a screen reader reads it line by line.

#include <QCoreApplication>

class QMenu;
class QWidget;

namespace orvane {

class KeysHelp {
    Q_DECLARE_TR_FUNCTIONS(orvane::KeysHelp)

public:
    // Shows the window over window, made from menu the first time.
    static void show(QWidget* window, const QMenu& menu);
};

} // namespace orvane
