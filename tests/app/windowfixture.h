#pragma once

// A fresh editor window, shown and with the grid focused; messages and captions are collected,
// beeps counted.

#include "downloadframe.h"
#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"

#include <QtWidgets>

namespace orvane::testing {

class WindowFixture : public QObject {
protected:
    QStringList errors, captions;
    ScopedErrorHandler errorBox{
        [this](QWidget*, const QString&, const QString& text) { errors << text; }};
    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<Form1> form;

    FlexGrid* grid() { return control<FlexGrid>(*form, "MSFlexGrid1"); }
    QScrollBar* bar() { return control<QScrollBar>(*form, "HScroll1"); }
    QString label(const char* name) { return control<QLabel>(*form, name)->text(); }
    QPoint current() { return {grid()->ColSel(), grid()->RowSel()}; } // (column, row)
    QStringList rows() { return shownRows(*grid()); }
    // Keys go to whichever control has the focus, as a user's would.
    void key(const QKeySequence& keys) { QTest::keySequence(QApplication::focusWidget(), keys); }
    void undo(int times = 1) {
        while (times--)
            key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    }
    void type(const QString& text) { QTest::keyClicks(grid(), text); }
    // The one message shown begins with `start` (naming the file or port).
    void takeError(const QString& start) {
        QVERIFY2(errors.size() == 1 && errors[0].startsWith(start), qPrintable(errors.join('\n')));
        errors.clear();
    }
    void openWindow() {
        errors.clear();
        beeps.reset(); // seams nest: the old counter goes before the new one comes
        beeps = std::make_unique<BeepCounter>();
        form = std::make_unique<Form1>();
        captions.clear();
        connect(form.get(), &QWidget::windowTitleChanged, this,
                [this](const QString& title) { captions << title; });
        form->show();
        form->activateWindow(); // an X server without a window manager activates nothing itself
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        grid()->setFocus();
    }
    void closeWindow() {
        form.reset();
        beeps.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    }
};

} // namespace orvane::testing
