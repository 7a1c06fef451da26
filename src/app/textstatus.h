#pragma once

// The strip between the grid and the buttons: on the left how much of the sign's width the
// typed text uses and how much was cut off ("LabelText"), on the right where the other commands
// are ("LabelHint"): the grid's menu and F1.

#include <QCoreApplication>

class QLabel;
class QWidget;

namespace orvane {

class TextStatus {
    Q_DECLARE_TR_FUNCTIONS(orvane::TextStatus)

public:
    // Places both lines on window, beside "Speed -".
    explicit TextStatus(QWidget* window);

    // Typing in font has reached column used; cut columns of it did not fit (red when any).
    void show(const QString& font, int used, int cut);

private:
    QLabel* text_;
    QLabel* hint_;
};

} // namespace orvane
