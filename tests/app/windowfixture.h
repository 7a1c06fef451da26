#pragma once

// A fresh editor window for each test function, shown and with the grid focused; the error box
// collects its messages and the beep is counted. A test function ends with no message shown.

#include "downloadframe.h"
#include "editing.h"
#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"

#include <QApplication>
#include <QTest>
#include <memory>

namespace orvane::testing {

class WindowFixture : public QObject {
protected:
    QStringList errors;
    ScopedErrorHandler errorBox{
        [this](QWidget*, const QString&, const QString& text) { errors << text; }};
    std::unique_ptr<BeepCounter> beeps;
    std::unique_ptr<Form1> form;

    FlexGrid* grid() { return control<FlexGrid>(*form, "MSFlexGrid1"); }
    QPoint current() { return {grid()->ColSel(), grid()->RowSel()}; } // (column, row)
    // Keys go to whichever control has the focus, as a user's would.
    void key(const QKeySequence& keys) { QTest::keySequence(QApplication::focusWidget(), keys); }
    void undo() { key(QKeySequence(Qt::CTRL | Qt::Key_Z)); }
    QByteArray frame() { return DownloadFrame::encode(PictureOf(*grid()).reader(), Speed()); }

    // For init() and cleanup().
    void openWindow() {
        errors.clear();
        beeps = std::make_unique<BeepCounter>();
        form = std::make_unique<Form1>();
        form->show();
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
