// What a new user finds in the window, through real keys and clicks under the offscreen
// platform: where typed text lands (the caret), what did not fit, the grid's context menu and
// the window's keys, the picture operations, Shift+drag, the import dialog, the tooltips and the
// question on closing with unsaved changes.

#include "bitmapfont.h"
#include "editing.h"
#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"
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
    // Where the grid draws its caret: the column of the bar down the data rows (50 when it is
    // on column 50's right edge), which must also be the one column whose header is yellow.
    int caretShown() {
        const QImage image = snapshot(*grid());
        const quint32 yellow = qRed(FlexGrid::CaretColor) | qGreen(FlexGrid::CaretColor) << 8 |
                               qBlue(FlexGrid::CaretColor) << 16;
        QList<int> headers;
        for (int col = 0; col < PatternCols; ++col)
            if (shownColour(image, *grid(), 0, col) == yellow)
                headers << col;
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
        return bars.size() == 1 && headers == QList<int>{std::min(bars[0], PatternCols - 1)}
                   ? bars[0]
                   : -1;
    }
    // Opens the grid's menu (the right button on a cell, or the Menu key) and clicks the entry,
    // through its submenu if it is in one.
    void clickMenuEntry(QAction* action, bool menuKey = false) {
        // A right click through the window, which turns it into a context menu event.
        if (menuKey)
            QTest::keyClick(grid(), Qt::Key_Menu);
        else
            QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                              grid()->mapTo(form.get(), grid()->cellRect(4, 25).center()));
        QTRY_VERIFY(menu()->isVisible());
        QMenu* in = menu();
        if (!menu()->actions().contains(action)) {
            in = control<QMenu>(*form, "fontMenu");
            QTest::mouseClick(menu(), Qt::LeftButton, {},
                              menu()->actionGeometry(in->menuAction()).center());
            QTRY_VERIFY(in->isVisible());
        }
        QVERIFY(in->actionGeometry(action).isValid());
        QTest::mouseClick(in, Qt::LeftButton, {}, in->actionGeometry(action).center());
        QTRY_VERIFY(!menu()->isVisible());
    }
    // A pattern file of the picture at that speed.
    static QByteArray fileOf(const DotPattern& picture, int speed) {
        QList<QByteArray> columns;
        for (int col = 0; col < PatternCols; ++col) {
            QByteArray column;
            for (int row = 1; row <= PatternRows; ++row)
                column += picture.text(row, col).toLatin1();
            columns << column;
        }
        return patternFile(columns, ' ' + QByteArray::number(speed) + ' ');
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // The controls stay where they were laid out, in the 922 x 222 window; the two new lines
    // sit in the strip between the grid and the buttons, overlapping nothing.
    void layoutIsKept() {
        QCOMPARE(form->size(), QSize(922, 222));
        const QMap<QString, QRect> places = {
            {"MSFlexGrid1", {16, 8, 889, 145}}, {"Command1", {128, 168, 97, 41}},
            {"Command2", {240, 168, 97, 41}},   {"Command3", {352, 168, 97, 41}},
            {"Command4", {704, 168, 201, 41}},  {"Command5", {16, 168, 97, 41}},
            {"Command6", {624, 168, 65, 17}},   {"Command7", {624, 192, 65, 17}},
            {"Label1", {592, 192, 25, 17}},     {"Label2", {576, 168, 49, 17}},
            {"HScroll1", {464, 176, 81, 25}},   {"Label3", {472, 160, 49, 17}},
            {"Label4", {528, 160, 33, 17}},     {"LabelText", {16, 153, 440, 15}},
            {"LabelHint", {568, 153, 337, 15}}};
        for (auto it = places.cbegin(); it != places.cend(); ++it) {
            QCOMPARE(control<QWidget>(*form, qPrintable(it.key()))->geometry(), it.value());
            for (const char* added : {"LabelText", "LabelHint"})
                QVERIFY(it.key() == added ||
                        !it.value().intersects(control<QWidget>(*form, added)->geometry()));
        }
    }

    void typingLandsAtColumnOne_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("focus");
        QTest::newRow("start-up") << QString() << "MSFlexGrid1";
        QTest::newRow("Clear, its button focused") << "Command1"
                                                   << "Command1";
        QTest::newRow("Set, its button focused") << "Command5"
                                                 << "Command5";
        QTest::newRow("Load, its button focused") << "Command2"
                                                  << "Command2";
        QTest::newRow("speed bar focused") << QString() << "HScroll1";
        QTest::newRow("Down Load focused") << QString() << "Command4";
    }
    // The first word typed lands at column 1 after start-up, Clear, Set and Load, whatever has
    // the focus; those commands leave the current cell on row 8, column 50. A space typed after
    // the first character is a space, not a press of the button.
    void typingLandsAtColumnOne() {
        QFETCH(QString, before);
        QFETCH(QString, focus);
        CommonDialog::ScopedAnswer file(
            [this] { return writeFile(dir, u"saved.txt"_s, patternFile({"RRRRRRRR"}, " 3 ")); });
        clickCell(*grid(), 2, 30);
        if (!before.isEmpty())
            press(*form, qPrintable(before));
        control<QWidget>(*form, qPrintable(focus))->setFocus();
        QCOMPARE(grid()->caretColumn(), before.isEmpty() ? 30 : 0);
        if (before.isEmpty())
            QTest::keyClick(grid(), Qt::Key_Home),
                control<QWidget>(*form, qPrintable(focus))->setFocus();
        QCOMPARE(current(), before.isEmpty() ? QPoint(0, 2) : QPoint(49, 8));
        QCOMPARE(caretShown(), 0);
        const int beepsBefore = beeps->count();
        for (const QChar c : u"OPEN 9"_s) // each to whatever has the focus by then
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        const int width = layOutText(BitmapFont::builtin(), u"OPEN 9").columns.size();
        QCOMPARE(frame().mid(1, 2 * width), sentFrame(u"OPEN 9"_s).mid(1, 2 * width));
        QCOMPARE(grid()->caretColumn(), width);
        QCOMPARE(caretShown(), width);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(beeps->count(), beepsBefore);
        QCOMPARE(status(), u"Text in 5x8: %1 of 50 columns used"_s.arg(width));
    }

    // Space on a focused button still presses it; Enter on one does what it did (nothing).
    void spaceAndEnterStayWithButtons() {
        press(*form, "Command5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(PictureOf(*grid()).text(1, 0), LitText);
        control<QWidget>(*form, "Command1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        verifyPicture(DotPattern());
        QCOMPARE(QApplication::focusWidget()->objectName(), u"Command1"_s);
    }

    // Undo, redo and Backspace put the caret where the character began (or, for redo, ended),
    // so the next character follows on without a gap.
    void undoPutsTheCaretBack() {
        QTest::keyClicks(grid(), u"HX"_s);
        QCOMPARE(grid()->caretColumn(), 10);
        undo();
        QCOMPARE(grid()->caretColumn(), 5);
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
        QCOMPARE(grid()->caretColumn(), 10);
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
        QTest::newRow("one letter past") << QString(11, u'H') << 4 << 0;
        QTest::newRow("two letters past") << QString(12, u'H') << 8 << 4;
        QTest::newRow("a space past") << QString(10, u'H') + u' ' << 0 << 0;
        QTest::newRow("cut inside a letter") << QString(9, u'H') + u"II"_s << 2 << 0;
    }
    // At once, in the window: how many columns the text uses and how many were cut off;
    // Backspace gives back the last letter's count, moving the caret ends the count.
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
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<PictureOp>("op");
        const QList<std::tuple<const char*, const char*, PictureOp>> ops = {
            {"mnuShiftLeft", "Ctrl+Shift+Left", PictureOp::ShiftLeft},
            {"mnuShiftRight", "Ctrl+Shift+Right", PictureOp::ShiftRight},
            {"mnuShiftUp", "Ctrl+Shift+Up", PictureOp::ShiftUp},
            {"mnuShiftDown", "Ctrl+Shift+Down", PictureOp::ShiftDown},
            {"mnuInvert", "Ctrl+Shift+I", PictureOp::Invert},
            {"mnuMirrorLeftRight", "Ctrl+Shift+H", PictureOp::MirrorLeftRight},
            {"mnuMirrorTopBottom", "Ctrl+Shift+V", PictureOp::MirrorTopBottom},
            {"mnuCentre", "Ctrl+E", PictureOp::CentreColumns}};
        for (const auto& [entry, keys, op] : ops) {
            QTest::addRow("%s, menu", entry) << entry << QKeySequence() << op;
            QTest::addRow("%s, %s", entry, keys) << entry << QKeySequence(keys) << op;
        }
    }
    // Each operation, from the menu or its key, changes the picture as the core operation does,
    // as one undo step, and leaves the current cell and the focus where they were.
    void pictureOperations() {
        QFETCH(QString, entry);
        QFETCH(QKeySequence, keys);
        QFETCH(PictureOp, op);
        QAction* action = control<QAction>(*form, qPrintable(entry));
        QTest::keyClicks(grid(), u"Hi"_s);
        for (const auto& [row, col] : {std::pair{1, 40}, {8, 3}, {4, 30}})
            clickCell(*grid(), row, col);
        const DotPattern before = PictureOf(*grid());
        if (keys.isEmpty()) {
            QVERIFY(action->isShortcutVisibleInContextMenu());
            clickMenuEntry(action);
        } else {
            QCOMPARE(action->shortcut(), keys);
            key(keys);
        }
        verifyPicture(applied(before, op));
        QCOMPARE(current(), QPoint(30, 4));
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(form->history().stack().undoText(), action->text());
        undo();
        verifyPicture(before);
    }

    // The menu lists every command with its key, by the right button or the Menu key, over the
    // cell without changing it; the other entries do what their buttons and keys do.
    void menuHoldsEveryCommand() {
        QStringList entries;
        for (QAction* action : menu()->actions())
            entries << (action->isSeparator()
                            ? u"-"_s
                            : action->text() + u'\t' + action->shortcut().toString());
        QCOMPARE(entries, (QStringList{"Undo\tCtrl+Z",
                                       "Redo\tCtrl+Shift+Z",
                                       "-",
                                       "Import Image...\tCtrl+I",
                                       "Font\t",
                                       "-",
                                       "Shift Left\tCtrl+Shift+Left",
                                       "Shift Right\tCtrl+Shift+Right",
                                       "Shift Up\tCtrl+Shift+Up",
                                       "Shift Down\tCtrl+Shift+Down",
                                       "Invert\tCtrl+Shift+I",
                                       "Mirror Left-Right\tCtrl+Shift+H",
                                       "Mirror Top-Bottom\tCtrl+Shift+V",
                                       "Centre\tCtrl+E",
                                       "-",
                                       "Clear\tCtrl+Del",
                                       "Set\tCtrl+Ins",
                                       "-",
                                       "Load...\tCtrl+O",
                                       "Save...\tCtrl+S",
                                       "-",
                                       "Keys and Mouse...\tF1"}));
        QVERIFY(!control<QAction>(*form, "mnuUndo")->isEnabled());

        // Set and Clear from the menu, and by their keys; Undo and Redo from the menu.
        clickMenuEntry(control<QAction>(*form, "mnuSet"), true);
        QCOMPARE(PictureOf(*grid()).text(4, 25), LitText);
        QCOMPARE(control<QAction>(*form, "mnuUndo")->text(), u"Undo Set"_s);
        key(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        verifyPicture(DotPattern());
        key(QKeySequence(Qt::CTRL | Qt::Key_Insert));
        QCOMPARE(PictureOf(*grid()).text(1, 0), LitText);
        clickMenuEntry(control<QAction>(*form, "mnuClear"));
        verifyPicture(DotPattern());
        QCOMPARE(beeps->count(), 5);
        clickMenuEntry(control<QAction>(*form, "mnuUndo"));
        QCOMPARE(PictureOf(*grid()).text(8, 49), LitText);
        clickMenuEntry(control<QAction>(*form, "mnuRedo"));
        verifyPicture(DotPattern());
        QCOMPARE(current(), QPoint(49, 8)); // the right clicks moved nothing

        // Save and Load, from the menu and by Ctrl+S and Ctrl+O.
        const QString path = dir.filePath(u"menu.txt"_s);
        CommonDialog::ScopedAnswer answer([&] { return path; });
        clickCell(*grid(), 3, 3);
        key(QKeySequence(Qt::CTRL | Qt::Key_S));
        DotPattern saved;
        saved.setText(3, 3, LitText);
        QCOMPARE(readFile(path), fileOf(saved, 5));
        QCOMPARE(form->windowTitle(), path);
        clickMenuEntry(control<QAction>(*form, "mnuClear"));
        key(QKeySequence(Qt::CTRL | Qt::Key_O));
        verifyPicture(saved);
        clickCell(*grid(), 4, 4);
        clickMenuEntry(control<QAction>(*form, "mnuSave"));
        saved.setText(4, 4, LitText);
        QCOMPARE(readFile(path), fileOf(saved, 5));
        key(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        clickMenuEntry(control<QAction>(*form, "mnuLoad"));
        verifyPicture(saved);
        QCOMPARE(grid()->caretColumn(), 0);

        // F1 and the menu show the keys.
        for (bool fromMenu : {false, true}) {
            if (fromMenu)
                clickMenuEntry(control<QAction>(*form, "mnuKeys"));
            else
                key(QKeySequence(Qt::Key_F1));
            auto* help = control<QDialog>(*form, "keysHelp");
            QTRY_VERIFY(help->isVisible());
            const QString keys = control<QLabel>(*help, "keysText")->text();
            for (const char* shown : {"Ctrl+O", "Ctrl+S", "Ctrl+I", "Ctrl+Z", "F1", "Shift+drag",
                                      "Menu key", "Backspace", "Drop a file", "Ctrl+Shift+H"})
                QVERIFY2(keys.contains(QLatin1String(shown)), shown);
            help->close();
        }
    }

    // The fonts: the bundled ones checked as chosen, and a BDF file from "Other Font File...",
    // which typing then uses; a file that is no font is refused by name and changes nothing.
    void fontsFromTheMenu() {
        QAction* builtin = control<QAction>(*form, "font:5x8");
        QVERIFY(builtin->isChecked());
        const QString bad = writeFile(dir, u"bad.bdf"_s, "STARTFONT 2.1\n");
        const QString good = writeFile(
            dir, u"block.bdf"_s,
            "STARTFONT 2.1\nFONT block\nSIZE 8 75 75\nFONTBOUNDINGBOX 2 8 0 -1\nSTARTPROPERTIES "
            "2\nFONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS "
            "1\nSTARTCHAR A\nENCODING 65\nDWIDTH 3 0\nBBX 2 8 0 "
            "-1\nBITMAP\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nENDCHAR\n"
            "ENDFONT\n");
        PromptAnswers answers;
        answers.fileToOpen = bad;
        clickMenuEntry(control<QAction>(*form, "mnuFontFile"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.takeFirst().startsWith(bad + u": "_s), "the font file named");
        QVERIFY(builtin->isChecked());
        answers.fileToOpen = good;
        clickMenuEntry(control<QAction>(*form, "mnuFontFile"));
        QCOMPARE(answers.fileAsked, 2);
        QAction* fromFile = control<QAction>(*form, "font:file");
        QVERIFY(fromFile->isChecked() && !builtin->isChecked());
        QTest::keyClicks(grid(), u"A"_s);
        QCOMPARE(frame().mid(1, 6), "FFFF00");
        QCOMPARE(status(), u"Text in block.bdf: 3 of 50 columns used"_s);
        clickMenuEntry(builtin);
        QTest::keyClicks(grid(), u"A"_s);
        QCOMPARE(frame().mid(7, 10), sentFrame(u"A"_s).mid(1, 10));
        QVERIFY(builtin->isChecked());
    }

    // A Korean input method composes 한 as ㅎ, 하, 한: each stage is shown at the caret, which
    // stays, outside the history; the commit is one step. Backspace while composing is the input
    // method's; after the commit it takes back the whole syllable. A cancelled composition
    // leaves the picture as it was.
    void inputMethodComposes() {
        QTest::keyClicks(grid(), u"A"_s);
        const int caret = grid()->caretColumn(), before = steps();
        const QByteArray typed = frame();
        // The input method is told the grid takes its text, and where the composition shows.
        QVERIFY(grid()->testAttribute(Qt::WA_InputMethodEnabled));
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImCursorRectangle);
        QApplication::sendEvent(grid(), &query);
        QVERIFY(query.value(Qt::ImEnabled).toBool());
        QCOMPARE(query.value(Qt::ImCursorRectangle).toRect(),
                 grid()->cellRect(grid()->RowSel(), caret));
        for (const QString& stage : {u"\u314E"_s, u"\uD558"_s, u"\uD55C"_s}) {
            compose(stage);
            QCOMPARE(frame(), sentFrame(u"A"_s + stage));
            verifyPicture(PictureOf(*grid())); // shown as it is
            QCOMPARE(grid()->caretColumn(), caret);
            QCOMPARE(steps(), before);
        }
        compose({}, u"\uD55C"_s);
        QCOMPARE(frame(), sentFrame(u"A\uD55C"_s));
        QCOMPARE(steps(), before + 1);
        QCOMPARE(grid()->caretColumn(), caret + 8);
        compose(u"\u3131"_s);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), sentFrame(u"A\uD55C\u3131"_s));
        compose({}); // cancelled
        QCOMPARE(frame(), sentFrame(u"A\uD55C"_s));
        verifyPicture(PictureOf(*grid()));
        QCOMPARE(steps(), before + 1);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), typed);
        QCOMPARE(grid()->caretColumn(), caret);
        undo(); // the Backspace
        undo(); // the syllable
        QCOMPARE(frame(), typed);
    }

    // Text committed by an input method in the font chosen in the menu equals orvane-send's
    // in the same font, Latin taken from 5x8.
    void inputMethodTextEqualsSent() {
        clickMenuEntry(control<QAction>(*form, "font:galmuri7"));
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
        QTest::newRow("23, OK") << 23 << false << true;
        QTest::newRow("77, invert, OK") << 77 << true << true;
        QTest::newRow("0, invert, OK") << 0 << true << true;
        QTest::newRow("100, OK") << 100 << false << true;
        QTest::newRow("40, Cancel") << 40 << true << false;
    }
    // Ctrl+I asks for an image and shows what it becomes as the threshold and invert change:
    // the picture orvane-send --image makes with them. OK puts it on the grid as one step, the
    // speed kept and typing back at column 1; Cancel changes nothing.
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
        QCOMPARE(slider->value(), DefaultThreshold);
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < threshold / 10; ++i)
            QTest::keyClick(slider, Qt::Key_PageUp);
        for (int i = 0; i < threshold % 10; ++i)
            QTest::keyClick(slider, Qt::Key_Right);
        auto* invertBox = control<QCheckBox>(*dialog, "invert");
        if (invert) // a click on the box itself, at the left end of the wide control
            QTest::mouseClick(invertBox, Qt::LeftButton, {}, QPoint(8, invertBox->height() / 2));
        QCOMPARE(invertBox->isChecked(), invert);
        QCOMPARE(control<QLabel>(*dialog, "thresholdValue")->text(), QString::number(threshold));

        const DotPattern expected = loadImagePicture(path, {threshold, invert}).picture;
        QVERIFY(expected != pictureFromImage(image, {50, false}).picture || threshold == 50);
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
        QCOMPARE(answers.fileAsked, 1);
    }

    // An image that cannot be read is reported by name before any dialog; a cancelled file
    // choice does nothing.
    void importRefusesWhatIsNoImage() {
        PromptAnswers answers;
        key(QKeySequence(Qt::CTRL | Qt::Key_I));
        answers.fileToOpen = writeFile(dir, u"note.png"_s, "not a picture");
        clickMenuEntry(control<QAction>(*form, "mnuImport"));
        QCOMPARE(answers.fileAsked, 2);
        QVERIFY(!form->findChild<ImportImageDialog*>());
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.takeFirst().startsWith(answers.fileToOpen + u": not an image"_s));
        QCOMPARE(steps(), 0);
    }

    // Shift+drag paints every cell crossed, even on a quick stroke, as the first cell became, in
    // one step; a plain drag toggles the cell pressed, once.
    void shiftDragPaints() {
        const auto at = [this](int row, int col) { return grid()->cellRect(row, col).center(); };
        clickCell(*grid(), 5, 20);
        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at(2, 3));
        QTest::mouseMove(grid(), at(2, 10)); // one move over 7 cells
        QTest::mouseMove(grid(), at(6, 10));
        QTest::mouseMove(grid(), at(6, 25)); // over the lit (5, 20)? no: row 6
        QTest::mouseRelease(grid(), Qt::LeftButton, Qt::ShiftModifier, at(6, 25));
        DotPattern painted;
        painted.setText(5, 20, LitText);
        for (int col = 3; col <= 10; ++col)
            painted.setText(2, col, LitText);
        for (int row = 3; row <= 6; ++row)
            painted.setText(row, 10, LitText);
        for (int col = 11; col <= 25; ++col)
            painted.setText(6, col, LitText);
        verifyPicture(painted);
        QCOMPARE(steps(), 2);

        // Starting on a lit cell darkens.
        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at(2, 5));
        QTest::mouseMove(grid(), at(5, 20));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(5, 20));
        QCOMPARE(PictureOf(*grid()).text(2, 5), DarkText);
        QCOMPARE(PictureOf(*grid()).text(5, 20), DarkText);
        QCOMPARE(steps(), 3);
        undo();
        verifyPicture(painted);
        undo();
        DotPattern one;
        one.setText(5, 20, LitText);
        verifyPicture(one);

        // Undo waits while a stroke is open.
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
        QCOMPARE(steps(), 2); // the stroke's step was undone, so the click's replaced it
    }

    // Every control explains itself in lines of at most 60 characters; the grid's tip names the
    // keys, the drop and the menu.
    void everyControlHasATooltip() {
        for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow())
                continue;
            QVERIFY2(!w->toolTip().isEmpty(), qPrintable(w->objectName()));
            for (const QString& line : w->toolTip().split('\n'))
                QVERIFY2(line.size() <= 60, qPrintable(w->objectName() + ": " + line));
        }
        const QString tip = grid()->toolTip().replace('\n', ' ');
        for (const char* said :
             {"Right-click", "Menu key", "Drop", "Backspace", "Shift+drag", "Arrows", "F1"})
            QVERIFY2(tip.contains(QLatin1String(said)), said);
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
        QTest::newRow("picture, Discard") << "toggle" << C::Discard << true << true;
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
            QCOMPARE(readFile(path), fileOf(picture, 5));
        if (change.endsWith("nofolder"_L1)) {
            QCOMPARE(errors.size(), 1);
            QVERIFY(errors.takeFirst().startsWith(dir.filePath(u"none/x.txt"_s)));
        }
        if (!closes) { // asked again, and now let go
            answers.unsaved = UnsavedChoice::Discard;
            QVERIFY(form->close());
        }
    }

    // The real question offers Save, Discard and Cancel; Cancel keeps the window.
    void realClosePrompt() {
        clickCell(*grid(), 1, 1);
        QStringList offered;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                offered << QString::number(box->standardButton(b), 16);
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!form->close());
        offered.sort();
        QCOMPARE(offered, (QStringList{"400000", "800", "800000"})); // Cancel, Save, Discard
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
