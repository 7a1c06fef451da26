#pragma once

// Text typed on the grid. The current cell is the cursor: a character writes its glyph of the
// built-in font from the current column on (every column whole, all 8 rows) and moves the current
// cell to the column after it, in the same row. Backspace takes back the character typed last,
// as long as the cursor and the columns are still as that character left them. Each character
// and each Backspace is one step of the history.

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

class FlexGrid;
class PatternHistory;

class GridTyping {
public:
    GridTyping(FlexGrid& grid, PatternHistory& history);

    void type(const QString& text);
    void backspace();

private:
    // What one typed character replaced, to take it back.
    struct Typed {
        int row = 1;
        int startCol = 0;   // the cursor before the character
        int endCol = 0;     // the cursor after it
        QStringList before; // the texts it overwrote, column by column, rows 1..8
        QStringList after;  // the texts it wrote
    };

    QStringList columnTexts(int startCol, int endCol) const;
    void writeColumnTexts(int startCol, const QStringList& texts);

    FlexGrid& grid_;
    PatternHistory& history_;
    QList<Typed> typed_;
};

} // namespace orvane
