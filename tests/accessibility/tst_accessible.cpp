// What a screen reader reads of the window, through Qt's accessibility interfaces in-process.
// The events are recorded only where Qt's accessibility is on (session.sh turns it on); the
// interfaces are read anywhere.

#include "imagedialog.h"
#include "windowfixture.h"

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

// The grid's events for its cells, as "Focus 111", "NameChanged 111", "checked 111" (a state
// change of the checked state) or "Table" for the whole table's, in order.
QStringList gridEvents;
QObject* recordedGrid = nullptr;
QStringList windowNames; // the window's name at each of its name changes

void record(QAccessibleEvent* event) {
    if (qobject_cast<Form1*>(event->object()) && event->type() == QAccessible::NameChanged)
        windowNames << event->accessibleInterface()->text(QAccessible::Name);
    static const QMap<QAccessible::Event, QString> kinds{
        {QAccessible::Focus, u"Focus"_s},
        {QAccessible::NameChanged, u"NameChanged"_s},
        {QAccessible::TableModelChanged, u"Table"_s},
        {QAccessible::DescriptionChanged, u"Table"_s}};
    const int child = event->child();
    const QString line = event->type() != QAccessible::StateChanged ? kinds.value(event->type())
                         : static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked
                             ? u"checked"_s
                             : u"state"_s;
    // Qt's own focus event is for the grid as a whole.
    if (event->object() == recordedGrid && !line.isEmpty() && (child >= 0 || line != "Focus"_L1))
        gridEvents << (child < 0 ? line : line + u' ' + QString::number(child));
}

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

class TestAccessible : public WindowFixture {
    Q_OBJECT

    QAccessibleTableInterface* table() { return accessible(grid())->tableInterface(); }
    QAccessibleInterface* cell(int row, int col) { return table()->cellAt(row - 1, col); }
    QString name(QAccessibleInterface* iface) { return iface->text(QAccessible::Name); }
    // The events since the last call, once the grid has told them (on the next turn).
    QStringList events() {
        QTest::qWait(1);
        QCoreApplication::processEvents();
        return std::exchange(gridEvents, {});
    }
    // Whether events are recorded (Qt's accessibility is on); from here on, only the new ones.
    bool recording() {
        recordedGrid = grid();
        events();
        return QAccessible::isActive();
    }
    static constexpr char NotRecording[] =
        "Qt's accessibility is off here (on Linux tests/accessibility/session.sh turns it on)";

private slots:
    void initTestCase() {
        QAccessible::installUpdateHandler(record);
        // Under an AT-SPI bus, Qt's bridge turns accessibility on once it has found the bus.
        if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 3000))
            qInfo("Qt's accessibility is off: the events are not checked");
    }
    void init() { openWindow(); }
    void cleanup() {
        recordedGrid = nullptr;
        closeWindow();
    }

    // 8 x 50 cells under the headers "1" .. "50"; each says where it is and what it shows.
    void gridIsATableOfNamedCells() {
        QAccessibleInterface* grid = accessible(this->grid());
        QCOMPARE((QStringList{name(grid), grid->text(QAccessible::Description),
                              table()->columnDescription(0), table()->columnDescription(49)}),
                 (QStringList{u"Picture"_s, u"0 of 400 dots lit"_s, u"1"_s, u"50"_s}));
        QCOMPARE((QList{table()->rowCount(), table()->columnCount(), grid->childCount()}),
                 (QList{8, 50, 400}));
        QVERIFY(!table()->cellAt(-1, -1) && !table()->cellAt(8, 0) && !table()->cellAt(0, 50));

        QAccessibleInterface* c = cell(3, 11);
        QAccessibleTableCellInterface* at = c->tableCellInterface();
        QAccessibleInterface* header = at->columnHeaderCells().value(0);
        QCOMPARE((QList{grid->role(), c->role(), header->role()}),
                 (QList{QAccessible::Table, QAccessible::Cell, QAccessible::ColumnHeader}));
        QCOMPARE((QList{c->parent(), grid->child(111)}), (QList{grid, c}));
        QCOMPARE((QList{grid->indexOfChild(c), at->rowIndex(), at->columnIndex()}),
                 (QList{111, 2, 11}));
        QCOMPARE((QStringList{name(c), name(header)}),
                 (QStringList{u"Row 3, column 12, dark"_s, u"12"_s}));
        QVERIFY(c->state().checkable && !c->state().checked && !c->state().selected);
        QCOMPARE(c->rect(),
                 QRect(this->grid()->mapToGlobal(this->grid()->cellRect(3, 11).topLeft()),
                       this->grid()->cellRect(3, 11).size()));
        QCOMPARE(grid->childAt(c->rect().center().x(), c->rect().center().y()), c);

        clickCell(*this->grid(), 3, 11);
        QCOMPARE(name(c), u"Row 3, column 12, lit"_s);
        QVERIFY(c->state().checked && c->state().selected && c->state().focused);
        QCOMPARE(grid->focusChild(), c);
        QCOMPARE(table()->selectedCells(), QList<QAccessibleInterface*>{c});
        QCOMPARE(grid->text(QAccessible::Description), u"1 of 400 dots lit"_s);
        // A text a loaded file may hold shows dark; the name says what it is.
        this->grid()->setTextMatrix(3, 11, u"X"_s);
        QCOMPARE(name(c), u"Row 3, column 12, dark, text X"_s);
        this->grid()->setTextMatrix(3, 11, QString());
        QCOMPARE(name(c), u"Row 3, column 12, dark, no text"_s);

        // The cell's action flips its dot as a click does, and is one step to undo.
        QAccessibleActionInterface* action = cell(2, 5)->actionInterface();
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
        action->doAction(QAccessibleActionInterface::toggleAction());
        QTRY_COMPARE(this->grid()->TextMatrix(2, 5), LitText);
        QCOMPARE(current(), QPoint(5, 2));
        undo();
        QCOMPARE(this->grid()->TextMatrix(2, 5), DarkText);
        // The cells have no object of their own: the table deletes them when the grid goes.
        const QAccessible::Id id = QAccessible::uniqueId(cell(8, 49));
        QVERIFY(QAccessible::accessibleInterface(id));
        form.reset();
        QVERIFY(!QAccessible::accessibleInterface(id));
    }

    // The focus frame shows on a lit and a dark cell alike, and leaves the cell's colour and
    // letter to be seen.
    void focusFrameShowsOnBothColours() {
        for (const QString& text : {LitText, DarkText}) {
            SetCell(*grid(), 4, 20, text);
            const QImage image = grid()->grab().toImage();
            const QRect r = grid()->cellRect(4, 20);
            const int x = r.center().x();
            QCOMPARE(image.pixel(x, r.top()), FlexGrid::FocusOuterColor);
            QCOMPARE(image.pixel(x, r.top() + 2), FlexGrid::FocusInnerColor);
            QCOMPARE(image.pixel(r.left() + 4, r.bottom() - 4) & 0xFFFFFF,
                     text == LitText ? 0xFF0000u : 0x404040u);
        }
    }

    // A click moves the focus to the cell, then says its new name and state; arrows move the
    // focus only.
    void changesAreAnnounced() {
        if (!recording())
            QSKIP(NotRecording);
        clickCell(*grid(), 3, 11);
        QCOMPARE(events(), QStringList({u"Focus 111"_s, u"NameChanged 111"_s, u"checked 111"_s}));
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(events(), QStringList({u"NameChanged 111"_s, u"checked 111"_s}));
        QTest::keyClick(grid(), Qt::Key_Right);
        QCOMPARE(events(), QStringList{u"Focus 112"_s});
        QTest::keyClick(grid(), Qt::Key_End);
        for (int i = 0; i < 5; ++i) // one focus event for where the keys stopped
            QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(events(), QStringList{u"Focus 399"_s});
        QTest::keyClick(grid(), Qt::Key_Down); // on the last row: nothing moves
        QCOMPARE(events(), QStringList());
        // A few cells changed are told one by one; many at once, once for the table.
        clickCell(*grid(), 1, 0);
        events();
        key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down)); // the dot moves to row 2
        QCOMPARE(events(), QStringList({u"NameChanged 0"_s, u"checked 0"_s, u"NameChanged 50"_s,
                                        u"checked 50"_s}));
        key(QKeySequence(Qt::CTRL | Qt::Key_Insert)); // Set: the grid keeps the focus
        QCOMPARE(events(),
                 QStringList({u"Focus 399"_s, u"Table"_s, u"Table"_s, u"NameChanged 399"_s}));
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(accessible(grid())->text(QAccessible::Description), u"400 of 400 dots lit"_s);
        key(QKeySequence(Qt::CTRL | Qt::Key_Insert)); // nothing changes: nothing to tell
        QCOMPARE(events().filter(u"Table"_s), QStringList());
        undo();
        QCOMPARE(events().filter(u"Table"_s).size(), 2);
        // The title is the status line: each change is told, with the name it then has.
        windowNames.clear();
        QTemporaryDir dir;
        const QString file = dir.filePath(u"sign.txt"_s);
        CommonDialog::ScopedAnswer answer{[&] { return file; }};
        press(*form, "Command3");
        QCOMPARE(windowNames, QStringList{file});
    }

    // Every control has a name; the speed says its value and range.
    void controlsAreNamed() {
        const QStringList captions = {u"Clear"_s, u"Load"_s, u"Save"_s, u"Down Load"_s,
                                      u"Set"_s,   u"Up"_s,   u"Dn"_s};
        for (int i = 1; i <= 7; ++i) {
            QAccessibleInterface* b =
                accessible(control<QPushButton>(*form, qPrintable(u"Command%1"_s.arg(i))));
            QCOMPARE(b->role(), QAccessible::Button);
            QCOMPARE(name(b), captions[i - 1]);
            QVERIFY(!b->text(QAccessible::Description).isEmpty());
        }
        QAccessibleValueInterface* speed = accessible(bar())->valueInterface();
        QCOMPARE((QList{speed->currentValue().toInt(), speed->minimumValue().toInt(),
                        speed->maximumValue().toInt()}),
                 (QList{5, 1, 9}));
        const auto labels = [this] {
            QStringList names{name(accessible(bar()))};
            for (const char* label : {"Label4", "Label1", "LabelText"})
                names << name(accessible(control<QLabel>(*form, label)));
            return names;
        };
        QCOMPARE(labels(), (QStringList{u"Speed"_s, u"Speed 5"_s, u"Port 1"_s,
                                        u"Text in 5x8: 0 of 50 columns used"_s}));
        QTest::keyClick(bar(), Qt::Key_Right);
        press(*form, "Command6");
        QCOMPARE(labels().mid(1, 2), (QStringList{u"Speed 6"_s, u"Port 2"_s}));
        QAccessibleInterface* menu = accessible(control<QMenu>(*form, "gridMenu"));
        QCOMPARE(name(menu), u"Picture commands"_s);
        QAccessibleInterface* set = nullptr;
        for (int i = 0; i < menu->childCount() && !set; ++i)
            if (name(menu->child(i)) == u"Set"_s)
                set = menu->child(i);
        QVERIFY(set);
        QCOMPARE(set->text(QAccessible::Accelerator),
                 QKeySequence(Qt::CTRL | Qt::Key_Insert).toString(QKeySequence::NativeText));
        QCOMPARE(name(accessible(form.get())), Form1::designCaption());
        QCOMPARE(accessible(form.get())->role(), QAccessible::Window);

        key(QKeySequence(Qt::Key_F1));
        auto* keys = control<QLabel>(*form, "keysText");
        QVERIFY(name(accessible(keys)).startsWith(u"Click, Enter: light or darken the dot"_s));
        QVERIFY(!name(accessible(keys)).contains(u'<'));

        QImage image(50, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(0, 0, qRgb(255, 255, 255));
        ImportImageDialog dialog(u"dot.png"_s, image, {}, form.get());
        QCOMPARE(name(accessible(dialog.findChild<QSlider*>(u"threshold"_s))), u"Threshold"_s);
        QAccessibleInterface* preview = accessible(dialog.findChild<QLabel*>(u"preview"_s));
        QCOMPARE((QStringList{name(preview), preview->text(QAccessible::Description)}),
                 (QStringList{u"Preview"_s, u"1 of 400 dots lit"_s}));
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
