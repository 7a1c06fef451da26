// The whole-picture operations, each on a picture that has dots at the edges and odd texts.

#include "pictureops.h"

#include <QTest>

using namespace orvane;

namespace {

// 8 rows, '#' for "R", '.' for "B", '_' for an empty text and any other character for itself; a
// short row goes on dark.
DotPattern pic(const QStringList& rows) {
    DotPattern picture;
    for (int row = 1; row <= PatternRows; ++row) {
        const QString line = row <= rows.size() ? rows[row - 1] : QString();
        for (int col = 0; col < std::min<int>(line.size(), PatternCols); ++col) {
            const QChar c = line[col];
            picture.setText(row, col,
                            c == u'#'   ? LitText
                            : c == u'.' ? DarkText
                            : c == u'_' ? QString()
                                        : QString(c));
        }
    }
    return picture;
}

// The picture as pic() takes it, readable when a comparison fails.
QString shown(const DotPattern& picture) {
    QString text;
    for (int row = 1; row <= PatternRows; ++row) {
        for (int col = 0; col < PatternCols; ++col) {
            const QString& t = picture.text(row, col);
            text += isLit(t) ? u'#' : t == DarkText ? u'.' : t.isEmpty() ? u'_' : t[0];
        }
        text += u'\n';
    }
    return text;
}

const QString full = QString(PatternCols, u'#');

} // namespace

Q_DECLARE_METATYPE(PictureOp)

class TestPictureOps : public QObject {
    Q_OBJECT

private slots:
    void operations_data() {
        QTest::addColumn<PictureOp>("op");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        // Lit at both edges, an odd "r" and an empty text.
        const QStringList edges = {
            "#...r" + QString(44, u'.') + "#", "_#", {}, {}, {}, {}, {}, QString(49, u'.') + "#"};
        QTest::newRow("shift left: column 1 goes, column 50 comes in dark")
            << PictureOp::ShiftLeft << edges
            << QStringList{"...r" + QString(44, u'.') + "#", "#", {}, {}, {}, {}, {},
                           QString(48, u'.') + "#"};
        QTest::newRow("shift right: column 50 goes, column 1 comes in dark")
            << PictureOp::ShiftRight << edges
            << QStringList{".#...r", "._#", {}, {}, {}, {}, {}, {}};
        QTest::newRow("shift up: row 1 goes, row 8 comes in dark")
            << PictureOp::ShiftUp << edges
            << QStringList{"_#", {}, {}, {}, {}, {}, QString(49, u'.') + "#", {}};
        QTest::newRow("shift down: row 8 goes, row 1 comes in dark")
            << PictureOp::ShiftDown << edges
            << QStringList{{}, edges[0], edges[1], {}, {}, {}, {}, {}};
        QTest::newRow("invert: R dark, everything else lit")
            << PictureOp::Invert << QStringList{"#.rX_"}
            << QStringList{".####" + full.mid(5), full, full, full, full, full, full, full};
        QTest::newRow("mirror left-right")
            << PictureOp::MirrorLeftRight << QStringList{"#r_", {}, {}, {}, {}, {}, {}, "..#"}
            << QStringList{QString(47, u'.') + "_r#", {}, {}, {}, {}, {}, {},
                           QString(47, u'.') + "#"};
        QTest::newRow("mirror top-bottom")
            << PictureOp::MirrorTopBottom << QStringList{"#r", "", ".#"}
            << QStringList{{}, {}, {}, {}, {}, ".#", {}, "#r"};
        // Lit columns 3..6 (4 wide) go to 24..27: 23 dark columns on each side. The odd text
        // in column 1 moves with them.
        QTest::newRow("centre, even room")
            << PictureOp::CentreColumns << QStringList{"x.#..#", "...##"}
            << QStringList{QString(21, u'.') + "x.#..#", QString(24, u'.') + "##"};
        // 5 wide: 22 dark columns on the left, 23 on the right.
        QTest::newRow("centre, odd room")
            << PictureOp::CentreColumns << QStringList{QString(40, u'.') + "#...#"}
            << QStringList{QString(22, u'.') + "#...#"};
        QTest::newRow("centre, nothing lit")
            << PictureOp::CentreColumns << QStringList{"r....X"} << QStringList{"r....X"};
        QTest::newRow("centre, the whole width") << PictureOp::CentreColumns << edges << edges;
    }
    void operations() {
        QFETCH(PictureOp, op);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QCOMPARE(shown(applied(pic(before), op)), shown(pic(after)));
    }

    // Mirroring twice, and inverting twice a picture of only "R" and "B", give it back.
    void involutions() {
        const DotPattern picture = pic({"#..#.#", ".##", "", "...#", full});
        for (PictureOp op :
             {PictureOp::MirrorLeftRight, PictureOp::MirrorTopBottom, PictureOp::Invert})
            QCOMPARE(shown(applied(applied(picture, op), op)), shown(picture));
    }
};

QTEST_GUILESS_MAIN(TestPictureOps)
#include "tst_pictureops.moc"
