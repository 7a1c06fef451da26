#include "textstatus.h"

#include "controls.h"
#include "dotpattern.h"
#include "tooltip.h"

namespace orvane {

TextStatus::TextStatus(QWidget* window)
    : text_(label(window, "LabelText", QString(), twips(240, 2295, 6600, 225))),
      hint_(label(window, "LabelHint",
                  tr("Right-click the grid: images, fonts, more · Drop a file · F1: keys"),
                  twips(8520, 2295, 5055, 225))) {
    hint_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {text_, hint_}) {
        QFont small = l->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        l->setFont(small);
    }
    // Whatever the system's font, the hint stays whole in its place.
    QFont hintFont = hint_->font();
    while (QFontMetrics(hintFont).horizontalAdvance(hint_->text()) > hint_->width() &&
           hintFont.pointSizeF() > 6)
        hintFont.setPointSizeF(hintFont.pointSizeF() - 0.5);
    hint_->setFont(hintFont);
    text_->setToolTip(wrappedToolTip(
        tr("Typed text goes where the yellow caret is. This counts the columns up to the "
           "caret, of the sign's %1, and says how many columns of typed letters did not fit.")
            .arg(PatternCols)));
    hint_->setToolTip(wrappedToolTip(
        tr("The grid's context menu (the right button, or the Menu key) holds every command "
           "with its key: undo and redo, Import Image, the font for typing, shifting, "
           "inverting, mirroring and centring the picture, Clear, Set, Load and Save. F1 shows "
           "the keys and mouse actions. Drop a pattern file or an image on the window to load "
           "it.")));
}

void TextStatus::show(const QString& font, int used, int cut) {
    QString text = tr("Text in %1: %2 of %3 columns used")
                       .arg(text_->fontMetrics().elidedText(font, Qt::ElideMiddle, 120))
                       .arg(used)
                       .arg(PatternCols);
    if (cut > 0)
        text += QStringLiteral(" — ") +
                (cut == 1 ? tr("1 column cut off") : tr("%1 columns cut off").arg(cut));
    text_->setText(text);
    text_->setStyleSheet(cut > 0 ? QStringLiteral("color: #c00000; font-weight: bold") : QString());
}

} // namespace orvane
