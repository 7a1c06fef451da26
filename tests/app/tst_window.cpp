// What a user finds in the window, through real keys and clicks under the offscreen platform:
// where typed text lands (the caret), what did not fit, the grid's menu and the window's keys, the
// picture operations, Shift+drag, the import dialog and the question on closing.

#include "bitmapfont.h"
#include "imagedialog.h"
#include "imageimport.h"
#include "pictureops.h"
#include "prompts.h"
#include "testfiles.h"
#include "textlayout.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PictureOp)
Q_DECLARE_METATYPE(UnsavedChoice)

class TestWindow : public WindowFixture {
    Q_OBJECT

    QTemporaryDir dir;

    QMenu* menu() { return control<QMenu>(*form, "gridMenu"); }
    QAction* action(const char* name) { return control<QAction>(*form, name); }
    QString status() { return control<QLabel>(*form, "LabelText")->text(); }
    int steps() { return form->history().stack().index(); }
    static QByteArray sentFrame(const QString& text, const QString& font = u"5x8"_s) {
        QProcess send;
        send.start(QStringLiteral(ORVANE_SEND),
                   {u"--text"_s, text, u"--font"_s, font, u"--frame"_s});
        return send.waitForFinished(30000) ? send.readAllStandardOutput() : QByteArray();
    }
    // What an input method sends the grid: a composition (preedit) and what it commits.
    void compose(const QString& preedit, const QString& commit = {}) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QApplication::sendEvent(grid(), &event);
    }
    // The picture's texts, and its colours lit exactly where "R".
    void verifyPicture(const DotPattern& picture) {
        QCOMPARE(PictureOf(*grid()), picture);
        const QImage image = snapshot(*grid());
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                QCOMPARE(shownColour(image, *grid(), row, col),
                         isLit(picture.text(row, col)) ? LitColour : DarkColour);
    }
    // The one column whose left edge the grid draws the caret's bar down (50: column 50's right
    // edge); -1 when there is not exactly one.
    int caretShown() {
        const QImage image = snapshot(*grid());
        QList<int> bars;
        for (int col = 0; col <= PatternCols; ++col) {
            const int x =
                col < PatternCols ? grid()->cellRect(1, col).left() + 1 : grid()->width() - 2;
            bool bar = true;
            for (int row = 1; row <= PatternRows; ++row)
                bar = bar &&
                      image.pixel(x, grid()->cellRect(row, 0).center().y()) == FlexGrid::CaretColor;
            if (bar)
                bars << col;
        }
        return bars.size() == 1 ? bars[0] : -1;
    }
    // Opens the grid's menu (a right click on a cell, or the Menu key) and clicks the entry,
    // through the font submenu when it is there.
    void clickMenuEntry(QAction* entry, bool menuKey = false) {
        if (menuKey) // a right click through the window turns into a context menu event
            QTest::keyClick(grid(), Qt::Key_Menu);
        else
            QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                              grid()->mapTo(form.get(), grid()->cellRect(4, 25).center()));
        QTRY_VERIFY(menu()->isVisible());
        QMenu* in = menu();
        if (!menu()->actions().contains(entry)) {
            in = control<QMenu>(*form, "fontMenu");
            QTest::mouseClick(menu(), Qt::LeftButton, {},
                              menu()->actionGeometry(in->menuAction()).center());
            QTRY_VERIFY(in->isVisible());
        }
        QTest::mouseClick(in, Qt::LeftButton, {}, in->actionGeometry(entry).center());
        QTRY_VERIFY(!menu()->isVisible());
    }
    // A pattern file of the picture at speed 5.
    static QByteArray fileOf(const DotPattern& picture) {
        QList<QByteArray> columns;
        for (int col = 0; col < PatternCols; ++col) {
            QByteArray column;
            for (int row = 1; row <= PatternRows; ++row)
                column += picture.text(row, col).toLatin1();
            columns << column;
        }
        return patternFile(columns);
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void typingLandsAtColumnOne_data() {
        QTest::addColumn<QString>("before"); // a button pressed first
        QTest::addColumn<QString>("focus");
        QTest::newRow("start-up") << QString() << "MSFlexGrid1";
        QTest::newRow("Clear, its button focused") << "Command1"
                                                   << "Command1";
        QTest::newRow("Load, its button focused") << "Command2"
                                                  << "Command2";
        QTest::newRow("speed bar focused") << QString() << "HScroll1";
    }
    // The first word typed lands at column 1 after start-up, Clear and Load, whatever has the
    // focus; those commands leave the current cell on row 8, column 50. A space after the first
    // character is a space, not a press of the button.
    void typingLandsAtColumnOne() {
        QFETCH(QString, before);
        QFETCH(QString, focus);
        CommonDialog::ScopedAnswer file(
            [this] { return writeFile(dir, u"saved.txt"_s, patternFile({"RRRRRRRR"}, " 3 ")); });
        clickCell(*grid(), 2, 30);
        if (!before.isEmpty())
            press(*form, qPrintable(before));
        else
            QTest::keyClick(grid(), Qt::Key_Home);
        control<QWidget>(*form, qPrintable(focus))->setFocus();
        QCOMPARE(current(), before.isEmpty() ? QPoint(0, 2) : QPoint(49, 8));
        QCOMPARE(caretShown(), 0);
        const int beepsBefore = beeps->count();
        for (const QChar c : u"OPEN 9"_s) // each to whatever has the focus by then
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        const int width = layOutText(BitmapFont::builtin(), u"OPEN 9").columns.size();
        QCOMPARE(frame().mid(1, 2 * width), sentFrame(u"OPEN 9"_s).mid(1, 2 * width));
        QCOMPARE(caretShown(), width);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(beeps->count(), beepsBefore);
        QCOMPARE(status(), u"Text in 5x8: %1 of 50 columns used"_s.arg(width));
    }

    // Space on a focused button still presses it; Enter on one does nothing.
    void spaceAndEnterStayWithButtons() {
        press(*form, "Command5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(PictureOf(*grid()).text(1, 0), LitText);
        control<QWidget>(*form, "Command1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        verifyPicture(DotPattern());
    }

    // Undo, redo and Backspace put the caret where the character began (or, for redo, ended),
    // so the next character follows on without a gap.
    void undoPutsTheCaretBack() {
        QTest::keyClicks(grid(), u"HX"_s);
        undo();
        QCOMPARE(caretShown(), 5);
        QTest::keyClicks(grid(), u"I"_s);
        QCOMPARE(frame(), sentFrame(u"HI"_s));
        undo();
        undo();
        QCOMPARE(grid()->caretColumn(), 0);
        key(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(grid()->caretColumn(), 5);
        QTest::keyClicks(grid(), u"EY"_s);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QTest::keyClicks(grid(), u"LP"_s);
        QCOMPARE(frame(), sentFrame(u"HELP"_s));
        QCOMPARE(current(), QPoint(grid()->caretColumn(), 8));
    }

    void cutColumnsAreCounted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("cutAfterBackspace");
        // "H" takes 4 lit columns and a dark one: ten fill the sign exactly. "I" takes 3 and 1.
        QTest::newRow("exactly full") << QString(10, u'H') << 0 << 0;
        QTest::newRow("two letters past") << QString(12, u'H') << 8 << 4;
        QTest::newRow("cut inside a letter") << QString(9, u'H') + u"II"_s << 2 << 0;
    }
    // How many columns the text uses and how many were cut off; Backspace gives back the last
    // letter's count, moving the caret ends the count.
    void cutColumnsAreCounted() {
        QFETCH(QString, text);
        QFETCH(int, cut);
        QFETCH(int, cutAfterBackspace);
        QTest::keyClicks(grid(), text);
        const QString line = u"Text in 5x8: 50 of 50 columns used"_s;
        const auto cutText = [](int n) {
            return n == 0 ? QString() : u" — %1 column%2 cut off"_s.arg(n).arg(n > 1 ? "s" : "");
        };
        QCOMPARE(status(), line + cutText(cut));
        QCOMPARE(caretShown(), 50);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QVERIFY2(status().endsWith(u" columns used"_s + cutText(cutAfterBackspace)),
                 qPrintable(status()));
        QTest::keyClicks(grid(), text.right(1));
        QCOMPARE(status(), line + cutText(cut));
        QTest::keyClick(grid(), Qt::Key_Left);
        QCOMPARE(status(), u"Text in 5x8: 48 of 50 columns used"_s);
    }

    void pictureOperations_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QKeySequence>("keys"); // none: from the menu
        QTest::addColumn<PictureOp>("op");
        QTest::newRow("shift left, menu")
            << "mnuShiftLeft" << QKeySequence() << PictureOp::ShiftLeft;
        QTest::newRow("shift right, keys")
            << "mnuShiftRight" << QKeySequence("Ctrl+Shift+Right") << PictureOp::ShiftRight;
        QTest::newRow("shift up, keys")
            << "mnuShiftUp" << QKeySequence("Ctrl+Shift+Up") << PictureOp::ShiftUp;
        QTest::newRow("shift down, menu")
            << "mnuShiftDown" << QKeySequence() << PictureOp::ShiftDown;
        QTest::newRow("invert, keys")
            << "mnuInvert" << QKeySequence("Ctrl+Shift+I") << PictureOp::Invert;
        QTest::newRow("mirror left-right, keys")
            << "mnuMirrorLeftRight" << QKeySequence("Ctrl+Shift+H") << PictureOp::MirrorLeftRight;
        QTest::newRow("mirror top-bottom, menu")
            << "mnuMirrorTopBottom" << QKeySequence() << PictureOp::MirrorTopBottom;
        QTest::newRow("centre, keys")
            << "mnuCentre" << QKeySequence("Ctrl+E") << PictureOp::CentreColumns;
    }
    // Each operation changes the picture as the core operation does, as one undo step, and
    // leaves the current cell and the focus where they were.
    void pictureOperations() {
        QFETCH(QString, entry);
        QFETCH(QKeySequence, keys);
        QFETCH(PictureOp, op);
        QTest::keyClicks(grid(), u"Hi"_s);
        for (const auto& [row, col] : {std::pair{1, 40}, {8, 3}, {4, 30}})
            clickCell(*grid(), row, col);
        const DotPattern before = PictureOf(*grid());
        if (keys.isEmpty())
            clickMenuEntry(action(qPrintable(entry)));
        else
            key(keys);
        verifyPicture(applied(before, op));
        QCOMPARE(current(), QPoint(30, 4));
        QCOMPARE(QApplication::focusWidget(), grid());
        undo();
        verifyPicture(before);
    }

    // The menu, by the right button or the Menu key, acts on the cell without changing it; its
    // entries and their keys do what the buttons do; Save and Load write and read exact files.
    void menuAndKeysDoWhatTheButtonsDo() {
        QVERIFY(!action("mnuUndo")->isEnabled());
        clickMenuEntry(action("mnuSet"), true);
        QCOMPARE(PictureOf(*grid()).text(4, 25), LitText);
        key(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        verifyPicture(DotPattern());
        key(QKeySequence(Qt::CTRL | Qt::Key_Insert));
        clickMenuEntry(action("mnuClear"));
        QCOMPARE(beeps->count(), 5);
        clickMenuEntry(action("mnuUndo"));
        QCOMPARE(PictureOf(*grid()).text(8, 49), LitText);
        clickMenuEntry(action("mnuRedo"));
        verifyPicture(DotPattern());
        QCOMPARE(current(), QPoint(49, 8)); // the right clicks moved nothing

        const QString path = dir.filePath(u"menu.txt"_s);
        CommonDialog::ScopedAnswer answer([&] { return path; });
        clickCell(*grid(), 3, 3);
        key(QKeySequence(Qt::CTRL | Qt::Key_S));
        DotPattern saved;
        saved.setText(3, 3, LitText);
        QCOMPARE(readFile(path), fileOf(saved));
        QCOMPARE(form->windowTitle(), path);
        clickMenuEntry(action("mnuClear"));
        key(QKeySequence(Qt::CTRL | Qt::Key_O));
        verifyPicture(saved);
        clickCell(*grid(), 4, 4);
        clickMenuEntry(action("mnuSave"));
        saved.setText(4, 4, LitText);
        QCOMPARE(readFile(path), fileOf(saved));
        key(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        clickMenuEntry(action("mnuLoad"));
        verifyPicture(saved);
        QCOMPARE(grid()->caretColumn(), 0);
    }

    // A BDF file from "Other Font File..." is what typing then uses; a file that is no font is
    // refused by name and changes nothing; the bundled fonts can be chosen back.
    void fontsFromTheMenu() {
        QAction* builtin = action("font:5x8");
        const QString bad = writeFile(dir, u"bad.bdf"_s, "STARTFONT 2.1\n");
        const QString good = writeFile(
            dir, u"block.bdf"_s,
            "STARTFONT 2.1\nFONT block\nSIZE 8 75 75\nFONTBOUNDINGBOX 2 8 0 -1\nSTARTPROPERTIES 2\n"
            "FONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
            "DWIDTH 3 0\nBBX 2 8 0 -1\nBITMAP\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nENDCHAR\nENDFONT\n");
        PromptAnswers answers;
        answers.fileToOpen = bad;
        clickMenuEntry(action("mnuFontFile"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.takeFirst().startsWith(bad + u": "_s), "the font file named");
        QVERIFY(builtin->isChecked());
        answers.fileToOpen = good;
        clickMenuEntry(action("mnuFontFile"));
        QVERIFY(action("font:file")->isChecked() && !builtin->isChecked());
        QTest::keyClicks(grid(), u"A"_s);
        QCOMPARE(frame().mid(1, 6), "FFFF00");
        QCOMPARE(status(), u"Text in block.bdf: 3 of 50 columns used"_s);
        clickMenuEntry(builtin);
        QTest::keyClicks(grid(), u"A"_s);
        QCOMPARE(frame().mid(7, 10), sentFrame(u"A"_s).mid(1, 10));
    }

    // A Korean input method composes 한 as ㅎ, 하, 한: each stage is shown at the caret, which
    // stays, outside the history; the commit is one step. After the commit Backspace takes back
    // the whole syllable; a cancelled composition leaves the picture as it was.
    void inputMethodComposes() {
        QTest::keyClicks(grid(), u"A"_s);
        const int caret = grid()->caretColumn(), before = steps();
        const QByteArray typed = frame();
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImCursorRectangle);
        QApplication::sendEvent(grid(), &query);
        QVERIFY(query.value(Qt::ImEnabled).toBool());
        QCOMPARE(query.value(Qt::ImCursorRectangle).toRect(),
                 grid()->cellRect(grid()->RowSel(), caret));
        for (const QString& stage : {u"\u314E"_s, u"\uD558"_s, u"\uD55C"_s}) {
            compose(stage);
            QCOMPARE(frame(), sentFrame(u"A"_s + stage));
            QCOMPARE(grid()->caretColumn(), caret);
            QCOMPARE(steps(), before);
        }
        compose({}, u"\uD55C"_s);
        QCOMPARE(steps(), before + 1);
        QCOMPARE(grid()->caretColumn(), caret + 8);
        compose(u"\u3131"_s);
        compose({}); // cancelled
        QCOMPARE(frame(), sentFrame(u"A\uD55C"_s));
        verifyPicture(PictureOf(*grid()));
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), typed);
        QCOMPARE(grid()->caretColumn(), caret);
    }

    // Text committed by an input method in the font chosen in the menu equals orvane-send's in
    // the same font, Latin taken from 5x8.
    void inputMethodTextEqualsSent() {
        clickMenuEntry(action("font:galmuri7"));
        const QString text = u"OK \uC624\uD508"_s;
        for (const QChar c : text) {
            compose(QString(c));
            compose({}, QString(c));
        }
        QCOMPARE(frame(), sentFrame(text, u"galmuri7"_s));
        QCOMPARE(steps(), text.size() - 1); // the space changes no dot of a dark picture
    }

    void importDialog_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<bool>("ok");
        QTest::newRow("default, OK") << 50 << false << true;
        QTest::newRow("77, invert, OK") << 77 << true << true;
        QTest::newRow("0, invert, OK") << 0 << true << true;
        QTest::newRow("40, Cancel") << 40 << true << false;
    }
    // Ctrl+I asks for an image and previews what it becomes as the threshold and invert change:
    // the picture the core import makes with them. OK puts it on the grid as one step, the speed
    // kept and typing back at column 1; Cancel changes nothing.
    void importDialog() {
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QFETCH(bool, ok);
        QImage image(120, 16, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(
                    x, y, qRgba((x * 7 + y * 20) % 256, x * 2, 255 - x * 2, x % 37 == 5 ? 0 : 255));
        const QString path = dir.filePath(u"ramp.png"_s);
        QVERIFY(image.save(path));
        control<QScrollBar>(*form, "HScroll1")->setValue(7);
        clickCell(*grid(), 2, 2);
        const DotPattern before = PictureOf(*grid());
        const int stepsBefore = steps();

        PromptAnswers answers;
        answers.fileToOpen = path;
        key(QKeySequence(Qt::CTRL | Qt::Key_I));
        auto* dialog = form->findChild<ImportImageDialog*>();
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(!control<QLabel>(*dialog, "warnings")->text().isEmpty()); // 60 columns wide
        auto* slider = control<QSlider>(*dialog, "threshold");
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < threshold / 10; ++i)
            QTest::keyClick(slider, Qt::Key_PageUp);
        for (int i = 0; i < threshold % 10; ++i)
            QTest::keyClick(slider, Qt::Key_Right);
        auto* invertBox = control<QCheckBox>(*dialog, "invert");
        if (invert) // a click on the box itself, at the left end of the wide control
            QTest::mouseClick(invertBox, Qt::LeftButton, {}, QPoint(8, invertBox->height() / 2));

        const DotPattern expected = loadImagePicture(path, {threshold, invert}).picture;
        QCOMPARE(dialog->picture(), expected);
        const QImage preview = control<QLabel>(*dialog, "preview")->pixmap().toImage();
        for (int col = 0; col < PatternCols; ++col)
            for (int row = 1; row <= PatternRows; ++row)
                QCOMPARE(preview.pixel(ImportImageDialog::dotRect(row, col).center()),
                         isLit(expected.text(row, col)) ? qRgb(255, 0, 0) : qRgb(64, 64, 64));

        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
        QTRY_VERIFY(!form->findChild<ImportImageDialog*>());
        QTRY_COMPARE(QApplication::focusWidget(), grid());
        verifyPicture(ok ? expected : before);
        QCOMPARE(steps(), stepsBefore + ok);
        QCOMPARE(control<QScrollBar>(*form, "HScroll1")->value(), 7);
        QCOMPARE(grid()->caretColumn(), ok ? 0 : 2);
        if (ok) {
            undo();
            verifyPicture(before);
        }
    }

    // An image that cannot be read is reported by name before any dialog; a cancelled file
    // choice does nothing.
    void importRefusesWhatIsNoImage() {
        PromptAnswers answers;
        key(QKeySequence(Qt::CTRL | Qt::Key_I));
        answers.fileToOpen = writeFile(dir, u"note.png"_s, "not a picture");
        clickMenuEntry(action("mnuImport"));
        QCOMPARE(answers.fileAsked, 2);
        QVERIFY(!form->findChild<ImportImageDialog*>());
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.takeFirst().startsWith(answers.fileToOpen + u": not an image"_s));
        QCOMPARE(steps(), 0);
    }

    // Shift+drag paints every cell crossed, even on a quick stroke, as the first cell became, in
    // one step; undo waits while a stroke is open; a plain drag toggles the cell pressed, once.
    void shiftDragPaints() {
        const auto at = [this](int row, int col) { return grid()->cellRect(row, col).center(); };
        clickCell(*grid(), 5, 20);
        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at(2, 3));
        QTest::mouseMove(grid(), at(2, 10)); // one move over 7 cells
        QTest::mouseMove(grid(), at(6, 10));
        QTest::mouseRelease(grid(), Qt::LeftButton, Qt::ShiftModifier, at(6, 10));
        DotPattern painted;
        painted.setText(5, 20, LitText);
        for (int col = 3; col <= 10; ++col)
            painted.setText(2, col, LitText);
        for (int row = 3; row <= 6; ++row)
            painted.setText(row, 10, LitText);
        verifyPicture(painted);
        QCOMPARE(steps(), 2);

        // Starting on a lit cell darkens.
        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at(2, 5));
        QTest::mouseMove(grid(), at(5, 20));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(5, 20));
        QCOMPARE(PictureOf(*grid()).text(2, 5), DarkText);
        QCOMPARE(PictureOf(*grid()).text(5, 20), DarkText);
        undo();
        verifyPicture(painted);
        undo();
        DotPattern one;
        one.setText(5, 20, LitText);

        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at(1, 40));
        undo();
        QTest::mouseMove(grid(), at(1, 42));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(1, 42));
        QCOMPARE(steps(), 2);
        undo();
        verifyPicture(one);

        QTest::mousePress(grid(), Qt::LeftButton, {}, at(1, 1));
        QTest::mouseMove(grid(), at(1, 8));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(1, 8));
        one.setText(1, 1, LitText);
        verifyPicture(one);
    }

    void closePrompt_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<UnsavedChoice>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closes");
        using C = UnsavedChoice;
        QTest::newRow("nothing changed") << "" << C::Cancel << false << true;
        QTest::newRow("changed and undone") << "toggle undo" << C::Cancel << false << true;
        QTest::newRow("saved") << "toggle save" << C::Cancel << false << true;
        QTest::newRow("loaded") << "toggle load" << C::Cancel << false << true;
        QTest::newRow("picture, Cancel") << "toggle" << C::Cancel << true << false;
        QTest::newRow("speed, Discard") << "speed" << C::Discard << true << true;
        QTest::newRow("saved, then changed, Save") << "save toggle" << C::Save << true << true;
        QTest::newRow("Save, file choice cancelled") << "toggle" << C::Save << true << false;
        QTest::newRow("Save, cannot write") << "toggle nofolder" << C::Save << true << false;
    }
    // Closing asks exactly when the picture or the speed differs from what was last saved or
    // loaded; Save writes through the Save command and closes only once the file is written,
    // Discard closes, Cancel stays.
    void closePrompt() {
        QFETCH(QString, change);
        QFETCH(UnsavedChoice, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closes);
        const QString path = dir.filePath(u"close.txt"_s);
        QFile::remove(path);
        QString chosen;
        CommonDialog::ScopedAnswer file([&] { return chosen; });
        for (const QString& step : change.split(' ', Qt::SkipEmptyParts)) {
            chosen = path;
            if (step == "toggle"_L1)
                clickCell(*grid(), 3, 7);
            else if (step == "undo"_L1)
                undo();
            else if (step == "speed"_L1)
                QTest::keyClick(control<QScrollBar>(*form, "HScroll1"), Qt::Key_Left);
            else if (step == "save"_L1)
                press(*form, "Command3");
            else if (step == "load"_L1) {
                chosen = writeFile(dir, u"other.txt"_s, patternFile({"RB"}));
                press(*form, "Command2");
            }
            chosen = step == "nofolder"_L1 ? dir.filePath(u"none/x.txt"_s) : QString();
        }
        if (answer == UnsavedChoice::Save && change.startsWith("save"_L1))
            chosen = path;
        const DotPattern picture = PictureOf(*grid());
        PromptAnswers answers;
        answers.unsaved = answer;
        QCOMPARE(form->close(), closes);
        QCOMPARE(answers.unsavedAsked, int(asked));
        QCOMPARE(form->isVisible(), !closes);
        if (answer == UnsavedChoice::Save && closes)
            QCOMPARE(readFile(path), fileOf(picture));
        if (change.endsWith("nofolder"_L1)) {
            QCOMPARE(errors.size(), 1);
            QVERIFY(errors.takeFirst().startsWith(dir.filePath(u"none/x.txt"_s)));
        }
        if (!closes) { // asked again, and now let go
            answers.unsaved = UnsavedChoice::Discard;
            QVERIFY(form->close());
        }
    }

    // The real question's Cancel keeps the window.
    void realClosePrompt() {
        clickCell(*grid(), 1, 1);
        QTimer::singleShot(0, this, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
