// Save and Load through the window, on real files in a temporary folder, and the file dialog.

#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"
#include "testfiles.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

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

    // The real dialog shows the filter names, takes a new name as a full path and gives the
    // empty name after a cancel.
    void realDialogOffersTheFiltersAndTakesNewNames() {
        const CommonDialog::ScopedAnswer realDialog({});
        QStringList filters;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = control<QComboBox>(*dialog, "fileTypeCombo");
            for (int i = 0; i < types->count(); ++i)
                filters << types->itemText(i);
            dialog->setDirectory(dir.path());
            control<QLineEdit>(*dialog, "fileNameEdit")->setText("brand-new");
            static_cast<QDialog*>(dialog)->accept();
        });
        CommonDialog chooser(&form);
        chooser.ShowOpen();
        QCOMPARE(filters, (QStringList{"ASCII TEXT(*.TXT)", "모든파일(*.*)"}));
        QCOMPARE(chooser.FileName(), QDir(dir.path()).filePath("brand-new"));
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        chooser.ShowOpen();
        QCOMPARE(chooser.FileName(), QString());
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
