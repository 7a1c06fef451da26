#pragma once

// Tooltips wrapped to a readable width: plain text broken into lines of at most `width`
// characters at spaces (a longer word keeps its own line); line breaks in the text stay.

#include <QString>
#include <QStringList>

namespace orvane {

inline constexpr int ToolTipWidth = 60;

inline QString wrappedToolTip(const QString& text, int width = ToolTipWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
                lines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace orvane
