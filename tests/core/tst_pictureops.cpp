// The whole-picture operations, each on a picture that has dots at the edges and odd texts.

#include "pictureops.h"

#include <QTest>

using namespace orvane;

namespace {

// A picture as 8 rows split by '/': '#' for "R", '.' for "B", '_' for an empty text and any other
// character for itself; a short row goes on dark. shown() gives it back, readable on a failure.
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
        // Lit at both edges, an odd "r" and an empty text.
        const QString edges = "#...r" + dark(44) + "#/_#//////" + dark(49) + "#";
        const QString full = QString(PatternCols, u'#'), all = QStringList(8, full).join(u'/');
        row("shift left: column 1 goes, column 50 comes in dark", PictureOp::ShiftLeft, edges,
            "...r" + dark(44) + "#/#//////" + dark(48) + "#");
        row("shift right: column 50 goes, column 1 comes in dark", PictureOp::ShiftRight, edges,
            ".#...r/._#");
        row("shift up: row 1 goes, row 8 comes in dark", PictureOp::ShiftUp, edges,
            "_#//////" + dark(49) + "#");
        row("shift down: row 8 goes, row 1 comes in dark", PictureOp::ShiftDown, edges,
            "/#...r" + dark(44) + "#/_#");
        row("invert: R dark, everything else lit", PictureOp::Invert, "#.rX_", "." + all.mid(1));
        row("mirror left-right", PictureOp::MirrorLeftRight, "#r_///////..#",
            dark(47) + "_r#///////" + dark(47) + "#");
        row("mirror top-bottom", PictureOp::MirrorTopBottom, "#r//.#", "/////.#//#r");
        // Lit columns 3..6 (4 wide) go to 24..27: 23 dark columns on each side; the odd text in
        // column 1 moves with them. 5 wide: 22 dark columns on the left, 23 on the right.
        row("centre, even room", PictureOp::CentreColumns, "x.#..#/...##",
            dark(21) + "x.#..#/" + dark(24) + "##");
        row("centre, odd room", PictureOp::CentreColumns, dark(40) + "#...#", dark(22) + "#...#");
        row("centre, nothing lit", PictureOp::CentreColumns, "r....X", "r....X");
        row("centre, the whole width", PictureOp::CentreColumns, edges, edges);
    }
    void operations() {
        QFETCH(PictureOp, op);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(shown(applied(pic(before), op)), shown(pic(after)));
    }

    // Mirroring twice, and inverting twice a picture of only "R" and "B", give it back.
    void involutions() {
        const DotPattern picture = pic("#..#.#/.##//..#/" + QString(PatternCols, u'#'));
        for (PictureOp op :
             {PictureOp::MirrorLeftRight, PictureOp::MirrorTopBottom, PictureOp::Invert})
            QCOMPARE(shown(applied(applied(picture, op), op)), shown(picture));
    }
};

QTEST_GUILESS_MAIN(TestPictureOps)
#include "tst_pictureops.moc"
