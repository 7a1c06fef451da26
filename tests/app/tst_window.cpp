// The editor window through real clicks, keys, menus and drops under the offscreen platform.

#include "imagedialog.h"
#include "prompts.h"
#include "testfiles.h"
#include "windowfixture.h"

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

// The rows `text` shows from column 1, drawn from the glyphs' bitmaps as the font files hold them
// (a byte a row, top bit leftmost, 5x8's 5 columns and galmuri7's Hangul 8): each character from
// its first lit column to its last, then a dark one; one with nothing lit at its full width.
QStringList textRows(const QString& text) {
    static const QHash<QChar, QByteArray> glyphs = {
        {u'H', "009090F090909000"},      {u'O', "0060909090906000"},
        {u'P', "00E09090E0808000"},      {u'E', "00F080E08080F000"},
        {u'N', "0090D0F0B0B09000"},      {u'9', "0060909070106000"},
        {u'I', "0070202020207000"},      {u'x', "0000009060609000"},
        {u'A', "00609090F0909000"},      {u'i', "0020006020207000"},
        {u' ', "0000000000000000"},      {u'\u00E9', "20400060B0C06000"},
        {u'\u314E', "107C384444380000"}, {u'\uD558', "44F4046694640400"},
        {u'\uD55C', "44FC966404407C00"}};
    QStringList rows(8);
    for (const QChar c : text) {
        const QByteArray bits = QByteArray::fromHex(glyphs.value(c, "?"));
        const int width = c.unicode() > 0x3000 ? 8 : 5;
        int first = width, last = -1;
        for (const char byte : bits)
            for (int x = 0; x < width; ++x)
                if (byte & (0x80 >> x))
                    first = std::min(first, x), last = std::max(last, x);
        const int from = last < 0 ? 0 : first, to = last < 0 ? width : last + 2;
        for (int row = 0; row < 8; ++row)
            for (int x = from; x < to; ++x)
                rows[row] += x <= last && bits.at(row) & (0x80 >> x) ? u'#' : u'.';
    }
    for (QString& row : rows)
        row = row.leftJustified(50, u'.', true);
    return rows;
}

// Every row: `left`, then each row's columns, cut to 50.
QStringList prefixed(const QString& left, QStringList rows) {
    for (QString& row : rows)
        row = (left + row).left(50);
    return rows;
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
    // The menu's undo and redo entries, each with the step it takes back or brings back or "off".
    QString entries() {
        QStringList both;
        for (const QString& name : {u"mnuUndo"_s, u"mnuRedo"_s})
            both << action(name)->text() + (action(name)->isEnabled() ? u""_s : u" (off)"_s);
        return both.join(u", "_s);
    }
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
    // A grey image of 100 x 16 pixels: 60 columns at 40, 20 at 150, 20 at 230 (8 x 50 dots
    // of 30, 10 and 10 columns).
    QString bands() {
        QByteArray row =
            QByteArray(60, char(40)) + QByteArray(20, char(150)) + QByteArray(20, char(230));
        return writeFile(dir, u"bands.pgm"_s, "P5 100 16 255\n" + row.repeated(16));
    }
    // The dialog of Import Image opened by its key; null when none came up.
    ImportImageDialog* openImportDialog() {
        run(u"Ctrl+I"_s);
        const auto shown = [this] { return form->findChild<ImportImageDialog*>(); };
        return QTest::qWaitFor([&] { return shown() && shown()->isVisible(); }) ? shown() : nullptr;
    }
    QPoint at(QPoint cell) { return grid()->cellRect(cell.y(), cell.x()).center(); }
    // Presses on the first cell, moves over the others and lets go on the last.
    void stroke(const QList<QPoint>& cells, Qt::KeyboardModifiers keys) {
        QTest::mousePress(grid(), Qt::LeftButton, keys, at(cells.first()));
        for (const QPoint& cell : cells.mid(1))
            QTest::mouseMove(grid(), at(cell));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, at(cells.last()));
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
    // Each toggle and fill is an undo step, named by the menu's entries; start-up, Clear of a dark
    // picture and the speed not.
    void commands() {
        QFETCH(QStringList, how);
        enum { Set, Clear, Undo, Redo, Save, Load, Focus };
        QCOMPARE(entries(), u"Undo (off), Redo (off)"_s);
        clickCell(*grid(), 1, 0);
        run(u"Down, Return"_s);
        for (int i : {Set, Clear, Clear})
            run(how[i]);
        bar()->setValue(7);
        QCOMPARE(steps(), 4);
        control<QWidget>(*form, qPrintable(how[Focus]))->setFocus();
        const QList<DotPattern> pictures = {
            {}, picture({{0, 1}}), picture({{0, 1}, {0, 2}}), picture({}, LitText), {}};
        const QStringList named = {u"Undo Set, Redo Clear"_s, u"Undo Toggle, Redo Set"_s,
                                   u"Undo Toggle, Redo Toggle"_s, u"Undo (off), Redo Toggle"_s};
        for (int n = 0; n < 8; ++n) {
            run(how[n < 4 ? Undo : Redo]);
            verifyPicture(*grid(), pictures[n < 4 ? 3 - n : n - 3]);
            QCOMPARE(entries(), n < 4   ? named[n]
                                : n < 7 ? named[6 - n]
                                        : u"Undo Clear, Redo (off)"_s);
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
        run(how[Undo]);
        clickCell(*grid(), 2, 3);
        QCOMPARE(entries(), u"Undo Toggle, Redo (off)"_s); // the Set undone is gone
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
        QCOMPARE(rows(), textRows(how[2]));
        QVERIFY(current().y() == row && beeps->n == beepsBefore &&
                QApplication::focusWidget() == grid());
        status(how[3].toInt(), how[4]);
        run(u"Backspace"_s);
        status(grid()->caretColumn(), how[5]);
        run(u"Left, Backspace"_s);
        status(grid()->caretColumn(), u"0"_s); // the move ended what Backspace takes back
        QCOMPARE(rows(), textRows(how[2].chopped(1)));
    }

    // A BDF file from "Other Font File..." is what typing then uses, until 5x8 is chosen back.
    void fontsFromTheMenu() {
        PromptAnswers answers;
        answers.fileToOpen =
            writeFile(dir, u"block.bdf"_s, bdfFont({"65 3 2 -1 C0 C0 C0 C0 C0 C0 C0 C0"}));
        run(u"mnuFontFile"_s);
        QVERIFY(action("font:file")->isChecked() && !action("font:5x8")->isChecked());
        QVERIFY(label("LabelText").startsWith(u"Text in block.bdf: "_s)); // at once, not "block"
        type(u"A"_s);
        QCOMPARE(rows(), prefixed(u"##."_s, textRows({})));
        QCOMPARE(label("LabelText"), u"Text in block.bdf: 3 of 50 columns used"_s);
        run(u"font:5x8"_s);
        type(u"A"_s);
        QCOMPARE(rows(), prefixed(u"##."_s, textRows(u"A"_s)));
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
            QCOMPARE(rows(), textRows(u"A"_s + stage));
            QCOMPARE((QList{grid()->caretColumn(), steps()}), (QList{caret, before}));
        }
        QInputMethodEvent commit;
        commit.setCommitString(u"\uD55C"_s);
        QApplication::sendEvent(grid(), &commit);
        QCOMPARE((QList{grid()->caretColumn(), steps()}), (QList{caret + 8, before + 1}));
        QCOMPARE(rows(), textRows(u"A\uD55C"_s));
        run(u"Backspace"_s);
        QCOMPARE(rows(), textRows(u"A"_s));
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
            return rows() << label("Label4") << form->windowTitle() << readFile(saved)
                          << QString::number(steps())
                          << QString::number(action("font:5x8")->isChecked());
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

    // Every kind of change, then each undone and done again: the picture and the speed before
    // the change and the caret where it began after an undo (for a click or a stroke, the column
    // pressed), those after it after a redo.
    void undoAndRedoEveryChange() {
        using Rows = QStringList;
        const auto each = [](Rows rows, QString (*f)(QString)) {
            std::transform(rows.begin(), rows.end(), rows.begin(), f);
            return rows;
        };
        const auto rowwise = [&](QString (*f)(QString)) {
            return [=](const Rows& rows) { return each(rows, f); };
        };
        const auto lit = [](Rows rows, int row, int from, int to) {
            rows[row - 1].replace(from, to - from + 1, QString(to - from + 1, u'#'));
            return rows;
        };
        const auto typedAt = [](Rows rows, const QString& text, int col) {
            for (int row = 0; row < 8; ++row)
                rows[row].replace(col, 5 * text.size(), textRows(text)[row].left(5 * text.size()));
            return rows;
        };
        const auto caretAt = [this](int col) { // without a change: Home, then Right
            grid()->setFocus();
            key(Qt::Key_Home);
            for (int i = 0; i < col; ++i)
                key(Qt::Key_Right);
        };
        const Rows dark = textRows({});
        // At 77 % grey 40 and 150 are dark, 230 lit; inverted, dots 1 to 40 are lit.
        const Rows imported(8, QString(40, u'#') + QString(10, u'.'));
        chosen = writeFile(dir, u"load.txt"_s, patternFile({"RRRRRRRR", "RBBBBBBR"}, " 3 "));
        const QString dropped =
            writeFile(dir, u"drop.txt"_s, patternFile({"BBBBBBBB", "RRRRRRRR"}, " 8 "));
        PromptAnswers answers;
        answers.fileToOpen = bands();
        struct Change {
            QString how; // keys, a button, or one of the words below
            std::function<Rows(const Rows&)> picture;
            int speed, caretBefore, caretAfter;
        };
        const QList<Change> changes = {
            {u"click"_s, [&](const Rows& r) { return lit(r, 1, 7, 7); }, 5, 7, 7},
            {u"paint"_s, [&](const Rows& r) { return lit(r, 2, 3, 6); }, 5, 3, 3},
            {u"H"_s, [&](const Rows& r) { return typedAt(r, u"H"_s, 10); }, 5, 10, 15},
            {u"i"_s, [&](const Rows& r) { return typedAt(r, u"i"_s, 15); }, 5, 15, 19},
            {u"Backspace"_s, [&](const Rows& r) { return typedAt(r, u" "_s, 15); }, 5, 19, 15},
            {u"Ctrl+Shift+Left"_s, rowwise([](QString s) { return s.mid(1) + '.'; }), 5, 15, 15},
            {u"Ctrl+Shift+Right"_s, rowwise([](QString s) { return '.' + s.left(49); }), 5, 15, 15},
            {u"Ctrl+Shift+Up"_s, [&](const Rows& r) { return r.mid(1) << dark[0]; }, 5, 15, 15},
            {u"Ctrl+Shift+Down"_s, [&](const Rows& r) { return dark.mid(0, 1) + r.mid(0, 7); }, 5,
             15, 15},
            // Columns 4 to 14 hold the lit dots; of the 39 left over, 19 go left and 20 right.
            {u"Ctrl+E"_s, rowwise([](QString s) { return QString(16, '.') + s.left(34); }), 5, 15,
             15},
            {u"Ctrl+Shift+H"_s,
             rowwise([](QString s) { return std::reverse(s.begin(), s.end()), s; }), 5, 15, 15},
            {u"Ctrl+Shift+V"_s, [&](const Rows& r) { return Rows(r.rbegin(), r.rend()); }, 5, 15,
             15},
            {u"Ctrl+Shift+I"_s, rowwise([](QString s) {
                 return s.replace(u'#', u'-').replace(u'.', u'#').replace(u'-', u'.');
             }),
             5, 15, 15},
            {u"Command1"_s, [&](const Rows&) { return dark; }, 5, 3, 0}, // Clear
            {u"Command5"_s, [&](const Rows&) { return Rows(8, QString(50, '#')); }, 5, 4, 0}, // Set
            {u"Command2"_s, // Load
             [&](const Rows&) {
                 return lit(lit(Rows(8, '#' + QString(49, '.')), 1, 1, 1), 8, 1, 1);
             },
             3, 5, 0},
            {u"import"_s, [&](const Rows&) { return imported; }, 3, 6, 0},
            {u"drop"_s, [&](const Rows&) { return prefixed(u".#"_s, dark); }, 8, 7, 0},
        };
        QList<Rows> pictures{dark};
        const auto verify = [&](int state, int caret, const QString& when) {
            const int speed = state ? changes[state - 1].speed : 5;
            const QStringList shown = rows() << label("Label4")
                                             << u"caret %1"_s.arg(grid()->caretColumn()),
                              expected = QStringList(pictures[state])
                                         << QString::number(speed) << u"caret %1"_s.arg(caret);
            QVERIFY2(shown == expected, qPrintable(when + ", shown:\n" + shown.join('\n') +
                                                   "\nexpected:\n" + expected.join('\n')));
        };
        for (const Change& change : changes) {
            if (grid()->caretColumn() != change.caretBefore)
                caretAt(change.caretBefore);
            if (change.how == "click"_L1)
                clickCell(*grid(), 1, 7);
            else if (change.how == "paint"_L1)
                stroke({{3, 2}, {6, 2}}, Qt::ShiftModifier);
            else if (change.how.size() == 1)
                type(change.how);
            else if (change.how == "import"_L1) {
                // The preview is the picture as chosen (at the default 50 %, grey 150 and 230 are
                // lit); Cancel changes nothing, OK makes it one step.
                for (auto button : {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
                    ImportImageDialog* dialog = openImportDialog();
                    QVERIFY(dialog);
                    const auto previewShows = [&](const Rows& expected) {
                        const QImage shown =
                            control<QLabel>(*dialog, "preview")->pixmap().toImage();
                        for (int col = 0; col < 50; ++col)
                            for (int row = 1; row <= 8; ++row)
                                QCOMPARE(shown.pixel(ImportImageDialog::dotRect(row, col).center()),
                                         expected[row - 1][col] == u'#' ? qRgb(255, 0, 0)
                                                                        : qRgb(64, 64, 64));
                    };
                    previewShows(prefixed(QString(30, '.'), Rows(8, QString(20, '#'))));
                    control<QSlider>(*dialog, "threshold")->setValue(77);
                    auto* invert =
                        control<QCheckBox>(*dialog, "invert"); // clicked on the box itself
                    QTest::mouseClick(invert, Qt::LeftButton, {}, QPoint(8, invert->height() / 2));
                    previewShows(imported);
                    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(button),
                                      Qt::LeftButton);
                    QTRY_COMPARE(QApplication::focusWidget(), grid());
                    if (button == QDialogButtonBox::Cancel)
                        verify(int(pictures.size()) - 1, change.caretBefore, "import cancelled");
                }
            } else if (change.how == "drop"_L1)
                QVERIFY(drop(dropped));
            else
                run(change.how);
            QTRY_VERIFY(!form->importing());
            pictures << change.picture(pictures.last());
            verify(int(pictures.size()) - 1, change.caretAfter, "after " + change.how);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(steps(), int(changes.size()));
        for (int n = changes.size(); n > 0; --n) {
            undo();
            verify(n - 1, changes[n - 1].caretBefore, "undoing " + changes[n - 1].how);
            if (QTest::currentTestFailed())
                return;
        }
        for (int n = 1; n <= changes.size(); ++n) {
            run(u"Ctrl+Y"_s);
            verify(n, changes[n - 1].caretAfter, "redoing " + changes[n - 1].how);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Shift+drag paints each cell crossed as the first became, in one step; a plain drag toggles.
    void shiftDragPaints() {
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

    // Closing asks exactly when picture or speed differ from the last saved or loaded (tst_korean
    // answers the real question).
    void closePrompt() {
        PromptAnswers answers;
        const auto close = [&](UnsavedChoice answer) {
            answers.unsaved = answer;
            QCloseEvent event;
            QApplication::sendEvent(form.get(), &event);
            return (std::exchange(answers.unsavedAsked, 0) ? "asked, "_L1 : ""_L1) +
                   (event.isAccepted() ? "closes"_L1 : "stays"_L1);
        };
        clickCell(*grid(), 3, 7);
        QCOMPARE(close(UnsavedChoice::Cancel), "asked, stays");
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

    // A dropped image is imported (a dropped pattern file, a Load, is in the walk of undo and
    // redo); while it decodes the window takes no input.
    void dropsFiles() {
        press(*form, "Command5");
        const QString imagePath =
            writeFile(dir, u"logo.txt"_s, // an XBM: the content decides
                      "#define i_width 1\n#define i_height 1\nstatic char i_bits[] = {0x01};");
        QVERIFY(drop(imagePath) && form->importing());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        press(*form, "Command5");
        QVERIFY(!drop(imagePath));
        QTRY_VERIFY(!form->importing() && !QApplication::overrideCursor());
        QCOMPARE(rows(), textRows({})); // its one pixel is black
        QCOMPARE(steps(), 2);           // Set and the drop, not what came while it decoded
        QVERIFY(drop(imagePath) && form->importing());
        form.reset();
        QVERIFY(!QApplication::overrideCursor());
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
