#pragma once

// Text typed on the grid. A character writes its glyph, in the chosen font, from the caret's
// column on (every column whole, all 8 rows) and moves the caret to the column after it, and the
// current cell to that column in its own row. What passes column 50 is cut off. Backspace takes
// back the character typed last, as long as the caret and the columns are still as that
// character left them. Each character and each Backspace is one step of the history.
//
// What an input method is composing (a Hangul syllable as it grows: ㅎ, 하, 한) is shown from the
// caret on, outside the history and without moving the caret, and taken off again when the
// composition changes, is committed (then typed as above, one step) or cancelled.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane {

class BitmapFont;
class FlexGrid;
class PatternHistory;

class GridTyping {
public:
    GridTyping(FlexGrid& grid, PatternHistory& history);

    void type(const QString& text);
    void backspace();
    // Shows the input method's composition at the caret in place of the one shown before; an
    // empty text takes it off.
    void showPreedit(const QString& text);

    // Ends what Backspace can take back (the caret was put elsewhere, the picture replaced).
    void endRun() { typed_.clear(); }

    // The font typed characters are drawn in: BitmapFont::builtin() to begin with. The font must
    // outlive its use here.
    const BitmapFont& font() const { return *font_; }
    void setFont(const BitmapFont& font) { font_ = &font; }

    // How many of the columns that the characters typed since the caret was last put elsewhere
    // needed were cut off past column 50, counting up to each one's last lit column (so a
    // space or the dark column after a glyph cut off is not counted).
    int cutColumns() const;

private:
    // What one typed character replaced, to take it back.
    struct Typed {
        int row = 1;
        int startCol = 0;   // the caret before the character
        int endCol = 0;     // the caret after it, 50 at most
        int cut = 0;        // its lit columns past column 50, and the columns up to them
        QStringList before; // the texts it overwrote, column by column, rows 1..8
        QStringList after;  // the texts it wrote
    };

    QStringList columnTexts(int startCol, int endCol) const;
    void writeColumnTexts(int startCol, const QStringList& texts);
    bool continuesRun() const;
    // Writes a run from startCol without moving the current cell; returns what it replaced.
    Typed writeRun(const QList<quint8>& columns, int row, int startCol);
    // Puts back what t replaced, if the columns are still as t left them.
    bool takeBack(const Typed& t);

    FlexGrid& grid_;
    PatternHistory& history_;
    const BitmapFont* font_;
    QList<Typed> typed_;
    std::optional<Typed> preedit_; // the composition on the grid
};

} // namespace orvane
