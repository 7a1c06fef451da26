#include "keyshelp.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace orvane {

namespace {

QDialog* makeKeysHelp(QWidget* window, const QMenu& menu) {
    QStringList rows, spoken; // the table, and its lines as a screen reader reads them
    const auto row = [&rows, &spoken](const QString& keys, const QString& what) {
        rows << QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
        spoken << keys + QStringLiteral(": ") + what;
    };
    row(KeysHelp::tr("Click, Enter"), KeysHelp::tr("light or darken the dot (the current cell)"));
    row(KeysHelp::tr("Shift+drag"), KeysHelp::tr("paint: every dot crossed as the first one"));
    row(KeysHelp::tr("Letters, digits, Space"),
        KeysHelp::tr("write text at the yellow caret, also while a button has the focus"));
    row(KeysHelp::tr("Backspace"), KeysHelp::tr("take back the last character typed"));
    row(KeysHelp::tr("Arrows, Home, End"), KeysHelp::tr("move the current cell and the caret"));
    row(KeysHelp::tr("Right button, Menu key, Shift+F10"),
        KeysHelp::tr("the menu of every command"));
    row(KeysHelp::tr("Drop a file"), KeysHelp::tr("load a pattern file or import an image"));
    for (QAction* action : menu.actions())
        if (!action->shortcut().isEmpty())
            row(action->shortcut().toString(QKeySequence::NativeText),
                action->objectName() == QLatin1String("mnuUndo") ? KeysHelp::tr("Undo")
                : action->objectName() == QLatin1String("mnuRedo")
                    ? KeysHelp::tr("Redo (also Ctrl+Y)")
                    : action->text().remove(QStringLiteral("...")));
    auto* dialog = new QDialog(window);
    dialog->setObjectName(QStringLiteral("keysHelp"));
    dialog->setWindowTitle(KeysHelp::tr("Orvane: Keys and Mouse"));
    auto* text = new QLabel(
        QStringLiteral("<table cellspacing=2 cellpadding=2>%1</table>").arg(rows.join(QString())),
        dialog);
    text->setObjectName(QStringLiteral("keysText"));
    text->setTextFormat(Qt::RichText);
    text->setAccessibleName(spoken.join(QLatin1Char('\n')));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return dialog;
}

} // namespace

void KeysHelp::show(QWidget* window, const QMenu& menu) {
    auto* dialog =
        window->findChild<QDialog*>(QStringLiteral("keysHelp"), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = makeKeysHelp(window, menu);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace orvane
