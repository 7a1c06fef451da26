#include "flexgrid.h"

#include "dotpattern.h"
#include "gridaccessible.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace orvane {

namespace {

constexpr quint32 GridBackColor = DarkColour; // fill of a data cell that was never coloured
constexpr QRgb TextColor = qRgb(0, 0, 0);
constexpr QRgb GridLineColor = qRgb(0xC0, 0xC0, 0xC0);
constexpr QRgb HeaderLineColor = qRgb(0, 0, 0);

QColor fromBgr(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// The Korean system face when it is installed, otherwise the system font; 9 points either way.
QFont gridFont() {
    const QStringList families = QFontDatabase::families();
    for (const QString& face : {QStringLiteral("굴림"), QStringLiteral("Gulim")}) {
        if (families.contains(face))
            return QFont(face, 9);
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(9);
    return font;
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QWidget(parent) {
    GridAccessible::install();
    for (Cell& c : cells_)
        c.backColor = GridBackColor;
    setFont(gridFont());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
}

FlexGrid::Cell& FlexGrid::cell(int row, int col) {
    Q_ASSERT(row >= 0 && row < Rows && col >= 0 && col < Cols);
    return cells_[size_t(row * Cols + col)];
}

const FlexGrid::Cell& FlexGrid::cell(int row, int col) const {
    Q_ASSERT(row >= 0 && row < Rows && col >= 0 && col < Cols);
    return cells_[size_t(row * Cols + col)];
}

QString FlexGrid::TextMatrix(int row, int col) const {
    return cell(row, col).text;
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    const QString before = std::exchange(cell(row, col).text, text);
    if (row >= 1)
        announcer_.cellChanged(row, col, before);
    update(cellRect(row, col));
}

void FlexGrid::setRow(int row) {
    Q_ASSERT(row >= 1 && row < Rows);
    const QRect before = cellRect(row_, col_);
    row_ = rowSel_ = row;
    announcer_.currentMoved();
    update(before);
    update(cellRect(row_, col_));
}

void FlexGrid::setCol(int col) {
    Q_ASSERT(col >= 0 && col < Cols);
    const QRect before = cellRect(row_, col_);
    col_ = colSel_ = col;
    announcer_.currentMoved();
    update(before);
    update(cellRect(row_, col_));
}

void FlexGrid::setCellBackColor(quint32 colour) {
    cell(row_, col_).backColor = colour;
    update(cellRect(row_, col_));
}

void FlexGrid::setCaretColumn(int col) {
    Q_ASSERT(col >= 0 && col <= Cols);
    if (col == caret_)
        return;
    caret_ = col;
    update();
    emit caretColumnChanged(col);
}

void FlexGrid::setFormatString(const QString& format) {
    const QStringList items = format.split(QLatin1Char('|'));
    for (int col = 0; col < Cols; ++col)
        cell(0, col).text = col < items.size() ? items[col] : QString();
    update();
}

// Columns and rows share the widget's width and height as evenly as whole pixels allow.
int FlexGrid::columnEdge(int col) const {
    return col * width() / Cols;
}
int FlexGrid::rowEdge(int row) const {
    return row * height() / Rows;
}

QRect FlexGrid::cellRect(int row, int col) const {
    return QRect(QPoint(columnEdge(col), rowEdge(row)),
                 QPoint(columnEdge(col + 1) - 1, rowEdge(row + 1) - 1));
}

bool FlexGrid::cellAt(const QPoint& pos, int* row, int* col) const {
    if (!rect().contains(pos))
        return false;
    *col = std::min(Cols - 1, pos.x() * Cols / std::max(1, width()));
    *row = std::min(Rows - 1, pos.y() * Rows / std::max(1, height()));
    // Edges are rounded down, so the arithmetic guess may be one off near a boundary.
    while (*col > 0 && pos.x() < columnEdge(*col))
        --*col;
    while (*col < Cols - 1 && pos.x() >= columnEdge(*col + 1))
        ++*col;
    while (*row > 0 && pos.y() < rowEdge(*row))
        --*row;
    while (*row < Rows - 1 && pos.y() >= rowEdge(*row + 1))
        ++*row;
    return true;
}

void FlexGrid::select(int row, int col) {
    setRow(row);
    setCol(col);
}

// The user's choice of a cell: it becomes current and the caret goes to its column.
void FlexGrid::place(int row, int col) {
    select(row, col);
    setCaretColumn(col);
    emit CaretPlaced();
}

void FlexGrid::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    const QPalette& pal = palette();

    for (int col = 0; col < Cols; ++col) {
        const QRect r = cellRect(0, col);
        const bool caretHere = col == std::min(caret_, Cols - 1);
        p.fillRect(r, caretHere ? QColor(CaretColor) : pal.color(QPalette::Button));
        p.setPen(caretHere ? QColor(Qt::black) : pal.color(QPalette::ButtonText));
        p.drawText(r, Qt::AlignCenter, cell(0, col).text.trimmed());
    }
    for (int row = 1; row < Rows; ++row) {
        for (int col = 0; col < Cols; ++col) {
            const QRect r = cellRect(row, col);
            p.fillRect(r, fromBgr(cell(row, col).backColor));
            p.setPen(QColor(TextColor));
            p.drawText(r, Qt::AlignCenter, cell(row, col).text);
        }
    }

    // Lines: right and bottom edge of every cell; black in the header, light grey elsewhere.
    p.setPen(QColor(GridLineColor));
    for (int col = 1; col <= Cols; ++col)
        p.drawLine(columnEdge(col) - 1, rowEdge(1), columnEdge(col) - 1, height() - 1);
    for (int row = 2; row <= Rows; ++row)
        p.drawLine(0, rowEdge(row) - 1, width() - 1, rowEdge(row) - 1);
    p.setPen(QColor(HeaderLineColor));
    for (int col = 1; col <= Cols; ++col)
        p.drawLine(columnEdge(col) - 1, 0, columnEdge(col) - 1, rowEdge(1) - 1);
    p.drawLine(0, rowEdge(1) - 1, width() - 1, rowEdge(1) - 1);

    // The focus mark is a frame only, so the current cell's colour always shows: white inside a
    // black line, which stands out on the red of a lit dot and the grey of a dark one alike.
    if (hasFocus()) {
        const QRect r = cellRect(row_, col_);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(FocusOuterColor), 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        QPen inner(QColor(FocusInnerColor), 2);
        inner.setJoinStyle(Qt::MiterJoin);
        p.setPen(inner);
        p.drawRect(r.adjusted(2, 2, -2, -2));
    }

    // The caret, over the focus frame where they meet: a bar down the data rows, on the left edge
    // of its column (inside column 50's right edge when it is past it), with a notch into the
    // header.
    const int caretX = caret_ < Cols ? columnEdge(caret_) : width() - CaretWidth;
    p.fillRect(QRect(caretX, rowEdge(1) - 3, CaretWidth, height() - rowEdge(1) + 3),
               QColor(CaretColor));
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    finishPainting();
    int row = 0, col = 0;
    pressedOnCell_ = event->button() == Qt::LeftButton &&
                     cellAt(event->position().toPoint(), &row, &col) && row >= 1;
    if (pressedOnCell_) {
        place(row, col);
        if (event->modifiers() & Qt::ShiftModifier) {
            pressedOnCell_ = false;
            painting_ = true;
            paintCell_ = QPoint(col, row);
            paintPos_ = event->position().toPoint();
            emit PaintStarted();
        }
    }
    QWidget::mousePressEvent(event);
}

// A click is a press on a data cell and the release that follows; the header row cannot be
// selected, so a click on it does nothing. Moving between press and release changes nothing.
void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressedOnCell_) {
        pressedOnCell_ = false;
        emit Click();
    }
    if (event->button() == Qt::LeftButton)
        finishPainting();
    QWidget::mouseReleaseEvent(event);
}

// While painting, every data cell on the straight way from the last position to this one is
// crossed, so a quick stroke leaves no gaps.
void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!painting_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint to = event->position().toPoint();
    const QPoint from = paintPos_;
    paintPos_ = to;
    const int steps = std::max({1, std::abs(to.x() - from.x()), std::abs(to.y() - from.y())});
    for (int i = 1; i <= steps && painting_; ++i) {
        const QPoint pos = from + (to - from) * i / steps;
        int row = 0, col = 0;
        if (!cellAt(pos, &row, &col) || row < 1 || QPoint(col, row) == paintCell_)
            continue;
        paintCell_ = QPoint(col, row);
        emit PaintCrossed(row, col);
    }
}

void FlexGrid::finishPainting() {
    if (std::exchange(painting_, false))
        emit PaintFinished();
}

// The right button opens the menu at the pointer; the keyboard's request (the Menu key through
// the window system) at the current cell.
void FlexGrid::contextMenuEvent(QContextMenuEvent* event) {
    const bool fromMouse = event->reason() == QContextMenuEvent::Mouse;
    emit MenuRequested(fromMouse ? event->globalPos()
                                 : mapToGlobal(cellRect(row_, col_).bottomLeft()));
    event->accept();
}

bool FlexGrid::typesText(const QKeyEvent& event) {
    const QString text = event.text();
    const bool printable = !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
    return printable && !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

void FlexGrid::takeTypingFrom(QWidget* widget) {
    widget->installEventFilter(this);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool buttonKey =
            qobject_cast<QAbstractButton*>(watched) && key->key() == Qt::Key_Space;
        if (typesText(*key) && !buttonKey) {
            setFocus(Qt::OtherFocusReason);
            emit KeyTyped(key->text());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Arrows, Home and End move the current cell and the caret; Enter toggles the cell; the Menu key
// and Shift+F10 ask for the menu; printable keys are typed at the caret.
void FlexGrid::keyPressEvent(QKeyEvent* event) {
    int row = row_, col = col_;
    switch (event->key()) {
    case Qt::Key_Left:
        col = std::max(0, col - 1);
        break;
    case Qt::Key_Right:
        col = std::min(Cols - 1, col + 1);
        break;
    case Qt::Key_Up:
        row = std::max(1, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(Rows - 1, row + 1);
        break;
    case Qt::Key_Home:
        col = 0;
        break;
    case Qt::Key_End:
        col = Cols - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        place(row_, col_);
        emit Click();
        return;
    case Qt::Key_Backspace:
        // While a syllable is being composed, Backspace is the input method's.
        if (preedit_.isEmpty())
            emit BackspacePressed();
        return;
    case Qt::Key_Menu:
        emit MenuRequested(mapToGlobal(cellRect(row_, col_).bottomLeft()));
        return;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            emit MenuRequested(mapToGlobal(cellRect(row_, col_).bottomLeft()));
            return;
        }
        QWidget::keyPressEvent(event);
        return;
    default:
        if (typesText(*event))
            emit KeyTyped(event->text());
        else
            QWidget::keyPressEvent(event);
        return;
    }
    place(row, col);
}

// A commit is typed; the composition that remains (or none) is shown in place of the last one.
void FlexGrid::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty())
        emit KeyTyped(event->commitString());
    if (event->commitString().isEmpty() || !preedit_.isEmpty() ||
        !event->preeditString().isEmpty()) {
        preedit_ = event->preeditString();
        emit PreeditChanged(preedit_);
    }
    event->accept();
}

QVariant FlexGrid::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle: // where a composition is shown: the caret's column
        return cellRect(row_, std::min(caret_, Cols - 1));
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    announcer_.focusGained();
    update(cellRect(row_, col_));
    QWidget::focusInEvent(event);
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
    finishPainting();
    update(cellRect(row_, col_));
    QWidget::focusOutEvent(event);
}

} // namespace orvane
