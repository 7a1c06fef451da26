// The editor window through real clicks, keys, menus and drops under the offscreen platform.

#include "imagedialog.h"
#include "imageimport.h"
#include "pictureops.h"
#include "prompts.h"
#include "testfiles.h"
#include "windowfixture.h"

#include <numeric>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

QByteArray sentFrame(const QString& text) {
    QProcess send;
    send.start(QStringLiteral(ORVANE_SEND), {u"--text"_s, text, u"--frame"_s});
    return send.waitForFinished(30000) ? send.readAllStandardOutput() : QByteArray();
}

// A data row of the one QStringList column "how": the words of `words`, '_' for a space.
void row(const char* name, const QString& words) {
    QTest::newRow(name) << QString(words).split(' ').replaceInStrings(u"_"_s, u" "_s);
}

} // namespace

class TestWindow : public WindowFixture {
    Q_OBJECT

    QTemporaryDir dir;
    QString chosen; // Save's and Load's answer from the file dialog; empty is a cancel
    CommonDialog::ScopedAnswer fileDialog{[this] { return chosen; }};
    bool menuKey = false; // whether the grid's menu was opened by the Menu key last

    QAction* action(const QString& name) { return control<QAction>(*form, qPrintable(name)); }
    int steps() { return form->history().stack().index(); }
    // A button ("Command..."), an entry of the grid's menu ("mnu...", "font:...") or keys.
    void run(const QString& how) {
        if (how.startsWith("Command"_L1))
            return press(*form, qPrintable(how));
        if (!how.startsWith("mnu"_L1) && !how.startsWith("font:"_L1))
            return key(QKeySequence(how));
        QMenu *menu = control<QMenu>(*form, "gridMenu"), *in = control<QMenu>(*form, "fontMenu");
        if ((menuKey = !menuKey))
            QTest::keyClick(grid(), Qt::Key_Menu);
        else // through the window, where a right click turns into a context menu event
            QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                              grid()->mapTo(form.get(), grid()->cellRect(4, 25).center()));
        QTRY_VERIFY(menu->isVisible());
        if (menu->actions().contains(action(how)))
            in = menu;
        else
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(in->menuAction()).center());
        QTRY_VERIFY(in->isVisible());
        QTest::mouseClick(in, Qt::LeftButton, {}, in->actionGeometry(action(how)).center());
        QTRY_VERIFY(!menu->isVisible());
    }
    // Drags the file onto the window and drops it there if the window takes it.
    bool drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        return QCoreApplication::sendEvent(form.get(), &enter) && enter.isAccepted() &&
               QCoreApplication::sendEvent(form.get(), &dropped);
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void commands_data() {
        QTest::addColumn<QStringList>("how"); // Set Clear Undo Redo Save Load, then focused
        row("buttons, Clear focused", "Command5 Command1 Ctrl+Z Ctrl+Y Command3 Command2 Command1");
        row("menu, speed bar focused", "mnuSet mnuClear mnuUndo mnuRedo mnuSave mnuLoad HScroll1");
        row("keys", "Ctrl+Ins Ctrl+Del Ctrl+Z Ctrl+Shift+Z Ctrl+S Ctrl+O MSFlexGrid1");
    }
    // Each toggle and fill is an undo step; start-up, Clear of a dark picture and the speed not.
    void commands() {
        QFETCH(QStringList, how);
        enum { Set, Clear, Undo, Redo, Save, Load, Focus };
        QVERIFY(!action("mnuUndo")->isEnabled());
        clickCell(*grid(), 1, 0);
        run(u"Down, Return"_s);
        for (int i : {Set, Clear, Clear})
            run(how[i]);
        bar()->setValue(7);
        QCOMPARE(steps(), 4);
        control<QWidget>(*form, qPrintable(how[Focus]))->setFocus();
        const QList<DotPattern> pictures = {
            {}, picture({{0, 1}}), picture({{0, 1}, {0, 2}}), picture({}, LitText), {}};
        for (int n = 0; n < 8; ++n) {
            run(how[n < 4 ? Undo : Redo]);
            verifyPicture(*grid(), pictures[n < 4 ? 3 - n : n - 3]);
        }
        QCOMPARE((QList{beeps->n, current().x(), current().y(), bar()->value()}),
                 (QList{4, 49, 8, 7})); // beeps: start-up's Clear and three
        chosen = dir.filePath(u"commands.txt"_s);
        run(how[Save]);
        run(how[Set]);
        run(how[Load]);
        verifyPicture(*grid(), DotPattern());
        QTest::keyClick(control<QWidget>(*form, "Command5"), Qt::Key_Space); // a press, not text
        verifyPicture(*grid(), picture({}, LitText));
    }

    // The menu's undo and redo entries name the step they take back or bring back, and are off
    // when there is none.
    void historyEntries() {
        const auto entries = [this] {
            QStringList both;
            for (const QString& name : {u"mnuUndo"_s, u"mnuRedo"_s})
                both << action(name)->text() + (action(name)->isEnabled() ? u""_s : u" (off)"_s);
            return both.join(u", "_s);
        };
        QCOMPARE(entries(), u"Undo (off), Redo (off)"_s);
        run(u"Command5"_s);
        QCOMPARE(entries(), u"Undo Set, Redo (off)"_s);
        run(u"Ctrl+Z"_s);
        QCOMPARE(entries(), u"Undo (off), Redo Set"_s);
        clickCell(*grid(), 2, 3);
        QCOMPARE(entries(), u"Undo Toggle, Redo (off)"_s);
    }

    void typing_data() {
        QTest::addColumn<QStringList>("how"); // pressed, focused, typed; used, cut, after Backspace
        row("Home, exactly full", "Home MSFlexGrid1 HHHHHHHHHH 50 0 0");
        row("Clear, its button focused", "Command1 Command1 OPEN_9 30 0 0");
        row("Load, its button focused, cut in a letter", "Command2 Command2 HHHHHHHHHII 50 2 0");
        row("speed bar, Latin-1, two letters past", "Home HScroll1 éxHHHHHHHHHH 50 8 4");
    }
    // Text lands at column 1 whatever has the focus, as orvane-send --text makes it ("H" 4+1 wide).
    void typing() {
        QFETCH(QStringList, how);
        const auto status = [this](int used, const QString& cut) {
            const QString end = cut == "0"_L1 ? QString() : " — " + cut + " columns cut off";
            QCOMPARE(label("LabelText"), u"Text in 5x8: %1 of 50 columns used"_s.arg(used) + end);
        };
        chosen = writeFile(dir, u"saved.txt"_s, patternFile({"RRRRRRRR"}, " 3 "));
        run(u"Up, Left, Esc, Ctrl+B"_s);
        run(how[0]);
        control<QWidget>(*form, qPrintable(how[1]))->setFocus();
        const int row = current().y(), beepsBefore = beeps->n;
        for (const QChar c : how[2]) // Latin-1 keys are coded as their upper-case character
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                                Qt::Key(c.toUpper().unicode()), QString(c), {});
        QCOMPARE(frame(), sentFrame(how[2]));
        QVERIFY(current().y() == row && beeps->n == beepsBefore &&
                QApplication::focusWidget() == grid());
        status(how[3].toInt(), how[4]);
        run(u"Backspace"_s);
        status(grid()->caretColumn(), how[5]);
        run(u"Left, Backspace"_s);
        status(grid()->caretColumn(), u"0"_s); // the move ended what Backspace takes back
        QCOMPARE(frame(), sentFrame(how[2].chopped(1)));
    }

    // Through the menu and by key, each an undo step; the current cell and the focus stay.
    void pictureOperations() {
        type(u"Hi"_s);
        clickCell(*grid(), 4, 30);
        const DotPattern before = PictureOf(*grid());
        run(u"mnuMirrorTopBottom"_s);
        run(u"Ctrl+E"_s);
        verifyPicture(*grid(), applied(applied(before, PictureOp::MirrorTopBottom),
                                       PictureOp::CentreColumns));
        QVERIFY(current() == QPoint(30, 4) && QApplication::focusWidget() == grid());
        undo();
        verifyPicture(*grid(), applied(before, PictureOp::MirrorTopBottom));
    }

    // A BDF file from "Other Font File..." is what typing then uses, until 5x8 is chosen back.
    void fontsFromTheMenu() {
        PromptAnswers answers;
        answers.fileToOpen = writeFile(
            dir, u"block.bdf"_s,
            "STARTFONT 2.1\nFONT block\nSIZE 8 75 75\nFONTBOUNDINGBOX 2 8 0 -1\nSTARTPROPERTIES 2\n"
            "FONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
            "DWIDTH 3 0\nBBX 2 8 0 -1\nBITMAP\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nC0\nENDCHAR\nENDFONT\n");
        run(u"mnuFontFile"_s);
        QVERIFY(action("font:file")->isChecked() && !action("font:5x8")->isChecked());
        QVERIFY(label("LabelText").startsWith(u"Text in block.bdf: "_s)); // at once, not "block"
        type(u"A"_s);
        QCOMPARE(frame().mid(1, 6), "FFFF00");
        QCOMPARE(label("LabelText"), u"Text in block.bdf: 3 of 50 columns used"_s);
        run(u"font:5x8"_s);
        type(u"A"_s);
        QCOMPARE(frame().mid(7, 10), sentFrame(u"A"_s).mid(1, 10));
    }

    // Composing 한 shows ㅎ, 하, 한 at the caret, outside the history; the commit is one step.
    void inputMethod() {
        type(u"A"_s);
        const int caret = grid()->caretColumn(), before = steps();
        QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImCursorRectangle);
        QApplication::sendEvent(grid(), &query);
        QVERIFY(query.value(Qt::ImEnabled).toBool() &&
                query.value(Qt::ImCursorRectangle).toRect() == grid()->cellRect(8, caret));
        for (const QString& stage : {u"\u314E"_s, u"\uD558"_s, u"\uD55C"_s}) {
            QInputMethodEvent preedit(stage, {});
            QApplication::sendEvent(grid(), &preedit);
            QCOMPARE(frame(), sentFrame(u"A"_s + stage));
            QCOMPARE((QList{grid()->caretColumn(), steps()}), (QList{caret, before}));
        }
        QInputMethodEvent commit;
        commit.setCommitString(u"\uD55C"_s);
        QApplication::sendEvent(grid(), &commit);
        QCOMPARE((QList{grid()->caretColumn(), steps()}), (QList{caret + 8, before + 1}));
        QCOMPARE(frame(), sentFrame(u"A\uD55C"_s));
        run(u"Backspace"_s);
        QCOMPARE(frame(), sentFrame(u"A"_s));
    }

    // The preview is the core import's picture as chosen; OK makes it one step, Cancel nothing.
    void importDialog() {
        QByteArray ramp(120 * 16, 0);
        std::iota(ramp.begin(), ramp.end(), char(0));
        PromptAnswers answers;
        answers.fileToOpen = writeFile(dir, u"ramp.pgm"_s, "P5 120 16 255\n" + ramp);
        bar()->setValue(7);
        clickCell(*grid(), 2, 2);
        const DotPattern before = PictureOf(*grid());
        const DotPattern expected = loadImagePicture(answers.fileToOpen, {77, true}).picture;
        for (auto button : {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
            run(u"Ctrl+I"_s);
            ImportImageDialog* dialog = nullptr;
            QTRY_VERIFY((dialog = form->findChild<ImportImageDialog*>()) && dialog->isVisible());
            control<QSlider>(*dialog, "threshold")->setValue(77);
            auto* invert = control<QCheckBox>(*dialog, "invert"); // clicked on the box itself
            QTest::mouseClick(invert, Qt::LeftButton, {}, QPoint(8, invert->height() / 2));
            const QImage preview = control<QLabel>(*dialog, "preview")->pixmap().toImage();
            for (int col = 0; col < PatternCols; ++col)
                for (int row = 1; row <= PatternRows; ++row)
                    QCOMPARE(preview.pixel(ImportImageDialog::dotRect(row, col).center()),
                             isLit(expected.text(row, col)) ? qRgb(255, 0, 0) : qRgb(64, 64, 64));
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(button),
                              Qt::LeftButton);
            QTRY_COMPARE(QApplication::focusWidget(), grid());
            verifyPicture(*grid(), button == QDialogButtonBox::Ok ? expected : before);
        }
        QCOMPARE((QList{steps(), grid()->caretColumn(), bar()->value()}), (QList{2, 0, 7}));
    }

    void refusalsNameTheFile_data() {
        QTest::addColumn<QStringList>("how"); // command, file ('-': cancelled), reason
        row("Load, speed 10", "Command2 speed10.txt line_51:_the_speed_must_be");
        row("Load cancelled", "Command2 -");
        row("font", "mnuFontFile bad.bdf");
        row("image", "mnuImport note.png not_an_image");
        row("image cancelled", "Ctrl+I -");
        row("dropped pipe", "drop pipe.png");
    }
    // Nothing changes: picture, speed, caption, font, undo steps, the file saved last.
    void refusalsNameTheFile() {
        QFETCH(QStringList, how);
        const QString saved = chosen = dir.filePath(u"earlier.txt"_s);
        run(u"Command3"_s);
        clickCell(*grid(), 2, 2);
        const auto state = [&] {
            return QStringList{frame(), label("Label4"), form->windowTitle(), readFile(saved)}
                   << QString::number(steps()) << QString::number(action("font:5x8")->isChecked());
        };
        const QStringList before = state();
        writeFile(dir, u"speed10.txt"_s, patternFile({"RRRRRRRR"}, " 10 "));
        writeFile(dir, u"bad.bdf"_s, "STARTFONT 2.1\n");
        writeFile(dir, u"note.png"_s, "not a picture");
        PromptAnswers answers;
        chosen = answers.fileToOpen = how[1] == "-"_L1 ? QString() : dir.filePath(how[1]);
        if (how[0] == "drop"_L1)
            QVERIFY(drop(chosen = makeNamedPipe(dir, how[1]))); // on Windows not in dir
        else
            run(how[0]);
        QCOMPARE(state(), before);
        if (!chosen.isEmpty())
            takeError(chosen + ": " + how.value(2));
    }

    // Shift+drag paints each cell crossed as the first became, in one step; a plain drag toggles.
    void shiftDragPaints() {
        const auto at = [this](QPoint c) { return grid()->cellRect(c.y(), c.x()).center(); };
        const auto stroke = [&](QList<QPoint> cells, Qt::KeyboardModifiers keys) {
            QTest::mousePress(grid(), Qt::LeftButton, keys, at(cells.first()));
            for (const QPoint& cell : cells.mid(1))
                QTest::mouseMove(grid(), at(cell));
            QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(cells.last()));
        };
        clickCell(*grid(), 5, 20);
        stroke({{3, 2}, {10, 2}, {10, 6}}, Qt::ShiftModifier); // one move over 7 cells
        DotPattern painted = picture({{20, 5}, {10, 3}, {10, 4}, {10, 5}, {10, 6}});
        for (int col = 3; col <= 10; ++col)
            painted.setText(2, col, LitText);
        verifyPicture(*grid(), painted);
        undo();
        QTest::mousePress(grid(), Qt::LeftButton, Qt::ShiftModifier, at({40, 1}));
        undo(); // not in the middle of a stroke
        QTest::mouseMove(grid(), at({42, 1}));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at({42, 1}));
        QCOMPARE(steps(), 2);
        undo();
        stroke({{1, 1}, {8, 1}}, {});
        verifyPicture(*grid(), picture({{20, 5}, {1, 1}}));
    }

    // Closing asks exactly when picture or speed differ from the last saved or loaded.
    void closePrompt() {
        clickCell(*grid(), 3, 7);
        QTimer::singleShot(0, this, [] { // the real question, whose Cancel keeps the window
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!form->close() && form->isVisible());
        PromptAnswers answers;
        const auto close = [&](UnsavedChoice answer) {
            answers.unsaved = answer;
            QCloseEvent event;
            QApplication::sendEvent(form.get(), &event);
            return (std::exchange(answers.unsavedAsked, 0) ? "asked, "_L1 : ""_L1) +
                   (event.isAccepted() ? "closes"_L1 : "stays"_L1);
        };
        clickCell(*grid(), 3, 7); // back as it was
        QCOMPARE(close(UnsavedChoice::Cancel), "closes");
        clickCell(*grid(), 3, 7);
        chosen = dir.filePath(u"saved.txt"_s);
        run(u"Command3"_s);
        QCOMPARE(close(UnsavedChoice::Cancel), "closes");
        chosen = writeFile(dir, u"other.txt"_s, patternFile({"rX", "", "RBBBBBBB"}));
        run(u"Command2"_s);
        QCOMPARE(close(UnsavedChoice::Cancel), "closes");
        QTest::keyClick(bar(), Qt::Key_Left);
        QCOMPARE(close(UnsavedChoice::Discard), "asked, closes");
        chosen.clear();
        QCOMPARE(close(UnsavedChoice::Save), "asked, stays");
        chosen = dir.filePath(u"none/x.txt"_s);
        QCOMPARE(close(UnsavedChoice::Save), "asked, stays");
        takeError(chosen + ": ");
        chosen = dir.filePath(u"close.txt"_s);
        QCOMPARE(close(UnsavedChoice::Save), "asked, closes");
        QCOMPARE((QStringList{readFile(chosen), form->windowTitle()}),
                 (QStringList{patternFile({"rX", "", "RBBBBBBB"}, " 4 "), chosen}));
    }

    // A dropped file is a Load or an import; while an image decodes the window takes no input.
    void dropsFiles() {
        QVERIFY(drop(writeFile(dir, u"drop.txt"_s, patternFile({"BBBBBBBB", "RRRRRRRR"}, " 9 "))));
        QCOMPARE(frame().mid(1, 4), "00FF");
        const QString imagePath =
            writeFile(dir, u"logo.txt"_s, // an XBM: the content decides
                      "#define i_width 1\n#define i_height 1\nstatic char i_bits[] = {0x01};");
        QVERIFY(drop(imagePath) && form->importing());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command5");
        QVERIFY(!drop(imagePath));
        QTRY_VERIFY(!form->importing() && !QApplication::overrideCursor());
        QCOMPARE(frame(), "S" + QByteArray(100, '0') + "5");
        undo(2);
        QCOMPARE(label("Label4"), u"5"_s);
        run(u"Ctrl+Y"_s);
        QCOMPARE(label("Label4"), u"9"_s);
        QVERIFY(drop(imagePath) && form->importing());
        form.reset();
        QVERIFY(!QApplication::overrideCursor());
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
