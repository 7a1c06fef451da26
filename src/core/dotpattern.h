#pragma once

// The dot picture of the sign: 8 rows by 50 columns. In the editor it lives only in the
// grid's cell texts; this header holds what every part agrees on without needing a window.

#include "speed.h" // the speed a picture is shown at

#include <QString>
#include <array>
#include <functional>

namespace orvane {

inline constexpr int PatternRows = 8;  // data rows 1..8 (row 0 is the grid's header)
inline constexpr int PatternCols = 50; // columns 0..49

// Fill colours as 32-bit values laid out 0x00BBGGRR.
inline constexpr quint32 LitColour = 255;      // red
inline constexpr quint32 DarkColour = 4210752; // 0x404040, dark grey

inline const QString LitText = QStringLiteral("R");
inline const QString DarkText = QStringLiteral("B");

// Only the exact, whole text "R" is a lit dot; anything else ("B", "", "r", "RR") is dark.
inline bool isLit(const QString& text) {
    return text == LitText;
}

// Reads the text of data cell (row 1..8, column 0..49).
using CellTextReader = std::function<QString(int row, int col)>;

// A picture held outside the grid: what a pattern file carries, or what a tool without a
// window sends. Addressed like the grid, row 1..8 first.
class DotPattern {
public:
    DotPattern() { texts_.fill(DarkText); }

    const QString& text(int row, int col) const { return texts_[index(row, col)]; }
    void setText(int row, int col, const QString& text) { texts_[index(row, col)] = text; }

    CellTextReader reader() const {
        return [this](int row, int col) { return text(row, col); };
    }

    bool operator==(const DotPattern&) const = default;

private:
    static int index(int row, int col) { return col * PatternRows + (row - 1); }
    std::array<QString, PatternRows * PatternCols> texts_;
};

} // namespace orvane
