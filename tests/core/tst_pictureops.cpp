// The whole-picture operations, each on a picture that has dots at the edges and odd texts.

#include "pictureops.h"

#include <QTest>

using namespace orvane;

namespace {

// Rows split by '/': '#' for "R", '.' for "B", '_' for "", others as they are; the rest dark.
DotPattern pic(const QString& text) {
    DotPattern picture;
    const QStringList rows = text.split(u'/');
    for (int row = 1; row <= std::min<int>(rows.size(), PatternRows); ++row)
        for (int col = 0; col < std::min<int>(rows[row - 1].size(), PatternCols); ++col) {
            const QChar c = rows[row - 1][col];
            picture.setText(row, col,
                            c == u'#'   ? LitText
                            : c == u'.' ? DarkText
                            : c == u'_' ? QString()
                                        : QString(c));
        }
    return picture;
}
QString shown(const DotPattern& picture) {
    QString text;
    for (int row = 1; row <= PatternRows; ++row)
        for (int col = 0; col <= PatternCols; ++col) {
            const QString& t = col < PatternCols ? picture.text(row, col) : u"/"_qs;
            text += isLit(t) ? u'#' : t == DarkText ? u'.' : t.isEmpty() ? u'_' : t[0];
        }
    return text;
}
QString dark(int n) {
    return QString(n, u'.');
}

} // namespace

Q_DECLARE_METATYPE(PictureOp)

class TestPictureOps : public QObject {
    Q_OBJECT

private slots:
    void operations_data() {
        QTest::addColumn<PictureOp>("op");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* name, PictureOp op, const QString& from,
                            const QString& to) { QTest::newRow(name) << op << from << to; };
        using enum PictureOp;
        // Lit at both edges, an odd "r" and an empty text; what goes out comes in dark.
        const QString edges = "#...r" + dark(44) + "#/_#//////" + dark(49) + "#";
        const QString all = QStringList(8, QString(PatternCols, u'#')).join(u'/');
        row("shift left", ShiftLeft, edges, "...r" + dark(44) + "#/#//////" + dark(48) + "#");
        row("shift right", ShiftRight, edges, ".#...r/._#");
        row("shift up", ShiftUp, edges, "_#//////" + dark(49) + "#");
        row("shift down", ShiftDown, edges, "/#...r" + dark(44) + "#/_#");
        row("invert: R dark, everything else lit", Invert, "#.rX_", "." + all.mid(1));
        row("mirror left-right", MirrorLeftRight, "#r_///////..#",
            dark(47) + "_r#///////" + dark(47) + "#");
        row("mirror top-bottom", MirrorTopBottom, "#r//.#", "/////.#//#r");
        // Lit columns 3..6 go to 24..27, and the odd text in column 1 with them.
        row("centre", CentreColumns, "x.#..#/...##", dark(21) + "x.#..#/" + dark(24) + "##");
        row("centre, nothing lit", CentreColumns, "r....X", "r....X");
    }
    void operations() {
        QFETCH(PictureOp, op);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(shown(applied(pic(before), op)), shown(pic(after)));
    }
};

QTEST_GUILESS_MAIN(TestPictureOps)
#include "tst_pictureops.moc"
