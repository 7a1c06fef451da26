// Save and Load through the window, on real files in a temporary folder.

#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"
#include "testfiles.h"

#include <QLabel>
#include <QScrollBar>

using namespace orvane;
using namespace orvane::testing;

class TestFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    Form1 form;
    QStringList errors;
    ScopedErrorHandler errorBox{
        [this](QWidget*, const QString&, const QString& text) { errors << text; }};
    QString answer; // what the dialog "chooses" next; empty is a cancel
    CommonDialog::ScopedAnswer answers{[this] { return answer; }};

    FlexGrid& grid() { return *control<FlexGrid>(form, "MSFlexGrid1"); }
    QScrollBar* speed() { return control<QScrollBar>(form, "HScroll1"); }
    quint32 colour(int row, int col) { return shownColour(snapshot(grid()), grid(), row, col); }
    void choose(const char* button, const QString& path) {
        answer = path;
        press(form, button);
    }
    // The picture, the speed and its label: what Load changes and Save does not.
    QStringList state() {
        return gridTexts(grid()) << QString::number(speed()->value())
                                 << control<QLabel>(form, "Label4")->text();
    }

private slots:
    void initTestCase() {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    void init() { errors.clear(); }

    // Saved and loaded back; any character but "R" is saved back as it was loaded.
    void saveThenLoadRestoresPictureAndSpeed() {
        for (const QPoint& cell : {QPoint(0, 1), QPoint(49, 8), QPoint(20, 4)})
            clickCell(grid(), cell.y(), cell.x());
        speed()->setValue(8);
        const QStringList drawn = state();
        const QString path = dir.filePath("picture.txt");
        choose("Command3", path);
        QCOMPARE(state(), drawn);
        QCOMPARE(form.windowTitle(), path);
        QList<QByteArray> columns(PatternCols, "BBBBBBBB");
        columns[0] = "RBBBBBBB", columns[20] = "BBBRBBBB", columns[49] = "BBBBBBBR";
        QCOMPARE(readFile(path), patternFile(columns, " 8 "));
        press(form, "Command1");
        speed()->setValue(2);
        choose("Command2", path);
        QCOMPARE(state(), drawn);
        QCOMPARE((QList{colour(1, 0), colour(4, 20), colour(2, 0)}),
                 (QList{LitColour, LitColour, DarkColour}));

        const QByteArray edited = patternFile({"rXRB5"}, " 3 ");
        choose("Command2", writeFile(dir, "edited.txt", edited));
        choose("Command3", path);
        QCOMPARE(readFile(path), edited);
        QCOMPARE(errors, QStringList());
    }

    // A refused Load, a cancelled Save or Load and a failed Save change neither the window, nor
    // its caption, nor the file saved last; each refusal names its file.
    void refusalsChangeNothing() {
        press(form, "Command1");
        const QString path = dir.filePath("earlier.txt");
        choose("Command3", path);
        clickCell(grid(), 2, 2);
        const QStringList before = state() << form.windowTitle() << readFile(path);
        const QString bad = writeFile(dir, "bad.txt", patternFile({"RRRRRRRR"}, " 10 "));
        const QString missing = dir.filePath("no-folder/x.txt");
        choose("Command2", bad);
        choose("Command2", QString());
        choose("Command3", QString());
        choose("Command3", missing);
        QCOMPARE(state() << form.windowTitle() << readFile(path), before);
        QCOMPARE(colour(1, 0), DarkColour);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors[0], bad + ": line 51: the speed must be a number from 1 to 9, not \"10\"");
        QVERIFY2(errors[1].startsWith(missing + ": cannot save"), qPrintable(errors[1]));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
