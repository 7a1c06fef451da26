// Renders the editor window, with a small picture drawn on it, to a PNG file:
//   orvane-screenshot OUTPUT.png [TEXT]
// With TEXT, that text is typed on the grid instead, each character committed as an input
// method commits it. Runs under any Qt platform, including the offscreen one.

#include "flexgrid.h"
#include "form1.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPixmap>
#include <cstdio>

namespace {

// "ORVANE" in a 5 x 7 dot font, one string per sign row.
const char* const Banner[] = {
    " ###  ####  #   #  ###  #   # #####", "#   # #   # #   # #   # ##  # #    ",
    "#   # #   # #   # #   # # # # #    ", "#   # ####  #   # ##### #  ## #### ",
    "#   # # #   #   # #   # #   # #    ", "#   # #  #   # #  #   # #   # #    ",
    " ###  #   #   #   #   # #   # #####",
};
constexpr int FirstColumn = 7;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: orvane-screenshot OUTPUT.png [TEXT]\n");
        return 2;
    }
    orvane::Form1 form;
    auto* grid = form.findChild<orvane::FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    const QString text = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    for (const char32_t c : text.toUcs4()) {
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUcs4(&c, 1));
        QApplication::sendEvent(grid, &commit);
    }
    for (int row = 0; text.isEmpty() && row < int(std::size(Banner)); ++row)
        for (int i = 0; Banner[row][i] != '\0'; ++i)
            if (Banner[row][i] == '#') {
                // Select the cell as a click would, then let the window's handler toggle it.
                grid->setRow(row + 1);
                grid->setCol(FirstColumn + i);
                form.MSFlexGrid1_Click();
            }
    form.show();
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "orvane-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
