#include "gridmenu.h"

#include "flexgrid.h"
#include "fontchoice.h"
#include "form1.h"
#include "patternhistory.h"

#include <QAction>
#include <QMenu>

namespace orvane {

namespace {

struct PictureCommand {
    PictureOp op;
    const char* name;
    QKeySequence key;
};

const PictureCommand pictureCommands[] = {
    {PictureOp::ShiftLeft, "mnuShiftLeft", Qt::CTRL | Qt::SHIFT | Qt::Key_Left},
    {PictureOp::ShiftRight, "mnuShiftRight", Qt::CTRL | Qt::SHIFT | Qt::Key_Right},
    {PictureOp::ShiftUp, "mnuShiftUp", Qt::CTRL | Qt::SHIFT | Qt::Key_Up},
    {PictureOp::ShiftDown, "mnuShiftDown", Qt::CTRL | Qt::SHIFT | Qt::Key_Down},
    {PictureOp::Invert, "mnuInvert", Qt::CTRL | Qt::SHIFT | Qt::Key_I},
    {PictureOp::MirrorLeftRight, "mnuMirrorLeftRight", Qt::CTRL | Qt::SHIFT | Qt::Key_H},
    {PictureOp::MirrorTopBottom, "mnuMirrorTopBottom", Qt::CTRL | Qt::SHIFT | Qt::Key_V},
    {PictureOp::CentreColumns, "mnuCentre", Qt::CTRL | Qt::Key_E},
};

QAction* addToWindow(QWidget& window, QAction* action, const char* name,
                     const QList<QKeySequence>& keys) {
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    window.addAction(action);
    return action;
}

// Qt's undo or redo action: enabled when there is a step to take back or bring back, and named
// for it. The texts are the window's own, since Qt's translations put the step first. It waits
// while a step is still open (in the middle of a Shift+drag stroke).
QAction* historyAction(QWidget& window, PatternHistory& history, bool redo) {
    QUndoStack& stack = history.stack();
    QAction* action = redo ? stack.createRedoAction(&window) : stack.createUndoAction(&window);
    const QString plain = redo ? GridMenu::tr("Redo") : GridMenu::tr("Undo");
    const QString named = redo ? GridMenu::tr("Redo %1") : GridMenu::tr("Undo %1");
    const auto name = [action, plain, named](const QString& step) {
        action->setText(step.isEmpty() ? plain : named.arg(step));
    };
    QObject::connect(&stack, redo ? &QUndoStack::redoTextChanged : &QUndoStack::undoTextChanged,
                     action, name);
    name(redo ? stack.redoText() : stack.undoText());
    QObject::disconnect(action, &QAction::triggered, &stack,
                        redo ? &QUndoStack::redo : &QUndoStack::undo);
    QObject::connect(action, &QAction::triggered, &stack, [&history, redo] {
        if (!history.recording())
            redo ? history.stack().redo() : history.stack().undo();
    });
    return redo ? addToWindow(window, action, "mnuRedo",
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                               QKeySequence(Qt::CTRL | Qt::Key_Y)})
                : addToWindow(window, action, "mnuUndo",
                              QKeySequence::keyBindings(QKeySequence::Undo));
}

} // namespace

QString GridMenu::pictureOpName(PictureOp op) {
    switch (op) {
    case PictureOp::ShiftLeft:
        return tr("Shift Left");
    case PictureOp::ShiftRight:
        return tr("Shift Right");
    case PictureOp::ShiftUp:
        return tr("Shift Up");
    case PictureOp::ShiftDown:
        return tr("Shift Down");
    case PictureOp::Invert:
        return tr("Invert");
    case PictureOp::MirrorLeftRight:
        return tr("Mirror Left-Right");
    case PictureOp::MirrorTopBottom:
        return tr("Mirror Top-Bottom");
    case PictureOp::CentreColumns:
        return tr("Centre");
    }
    return QString();
}

QMenu* GridMenu::build(Form1& form, FlexGrid& grid, PatternHistory& history, FontChoice& fonts) {
    auto* menu = new QMenu(&form);
    menu->setObjectName(QStringLiteral("gridMenu"));
    menu->setAccessibleName(tr("Picture commands"));
    const auto add = [&form, menu](const char* name, const QString& text, const QKeySequence& key,
                                   auto run) {
        QAction* action = addToWindow(form, new QAction(text, &form), name, {key});
        QObject::connect(action, &QAction::triggered, &form, run);
        menu->addAction(action);
    };
    menu->addAction(historyAction(form, history, false));
    menu->addAction(historyAction(form, history, true));
    menu->addSeparator();
    add("mnuImport", tr("Import Image..."), Qt::CTRL | Qt::Key_I, &Form1::mnuImport_Click);
    fonts.addMenu(*menu);
    menu->addSeparator();
    for (const PictureCommand& command : pictureCommands)
        add(command.name, pictureOpName(command.op), command.key,
            [&form, op = command.op] { form.mnuPicture_Click(op); });
    menu->addSeparator();
    add("mnuClear", tr("Clear"), Qt::CTRL | Qt::Key_Delete, &Form1::Command1_Click);
    add("mnuSet", tr("Set"), Qt::CTRL | Qt::Key_Insert, &Form1::Command5_Click);
    menu->addSeparator();
    add("mnuLoad", tr("Load..."), Qt::CTRL | Qt::Key_O, &Form1::Command2_Click);
    add("mnuSave", tr("Save..."), Qt::CTRL | Qt::Key_S, &Form1::Command3_Click);
    menu->addSeparator();
    add("mnuKeys", tr("Keys and Mouse..."), Qt::Key_F1, &Form1::mnuKeys_Click);

    // The Menu key can reach the grid twice (a menu request from the window system, then the key
    // itself): an open menu stays as it is.
    QObject::connect(&grid, &FlexGrid::MenuRequested, menu, [menu](const QPoint& globalPos) {
        if (!menu->isVisible())
            menu->popup(globalPos);
    });
    return menu;
}

} // namespace orvane
