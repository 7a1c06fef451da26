// Save and Load through the window, on real files in a temporary folder, and the file dialog.

#include "beep.h"
#include "dotpattern.h"
#include "errorreport.h"
#include "filedialog.h"
#include "flexgrid.h"
#include "form1.h"
#include "gridprobe.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace orvane;
using namespace orvane::testing;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray pictureFile(const QByteArray& firstLine, const QByteArray& speedLine) {
    QByteArray bytes = firstLine + "\r\n";
    for (int i = 1; i < 50; ++i)
        bytes += "BBBBBBBB\r\n";
    return bytes + speedLine + "\r\n\r\n";
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Form1> form;
    QStringList errors;
    QString answer; // what the dialog "chooses" next; empty is a cancel

    FlexGrid* grid() { return form->findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")); }
    QScrollBar* bar() { return form->findChild<QScrollBar*>(QStringLiteral("HScroll1")); }
    QString speedLabel() { return form->findChild<QLabel*>(QStringLiteral("Label4"))->text(); }
    void press(const char* name) {
        QTest::mouseClick(form->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    void save(const QString& path) {
        answer = path;
        press("Command3");
    }
    void load(const QString& path) {
        answer = path;
        press("Command2");
    }
    // Everything a refused command must leave alone.
    struct State {
        QStringList texts;
        int speed;
        QString caption;
        bool operator==(const State&) const = default;
    };
    State state() { return {gridTexts(*grid()), bar()->value(), form->windowTitle()}; }

private slots:
    void initTestCase() {
        CommonDialog::setAnswer([this] { return answer; });
        setErrorHandler([this](QWidget*, const QString&, const QString& text) { errors << text; });
    }
    void cleanupTestCase() {
        CommonDialog::setAnswer({});
        setErrorHandler({});
    }
    void init() {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        errors.clear();
    }
    void cleanup() { form.reset(); }

    void saveThenLoadRestoresPictureAndSpeed() {
        clickCell(*grid(), 1, 0);
        clickCell(*grid(), 8, 49);
        clickCell(*grid(), 4, 20);
        bar()->setValue(8);
        const QStringList drawn = gridTexts(*grid());
        const QString path = dir.filePath(QStringLiteral("picture.txt"));
        save(path);
        QVERIFY(errors.isEmpty());
        QCOMPARE(form->windowTitle(), path);
        QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), 507);
        QCOMPARE(bytes.left(10), QByteArray("RBBBBBBB\r\n"));
        QCOMPARE(bytes.mid(500), QByteArray(" 8 \r\n\r\n"));
        QCOMPARE(gridTexts(*grid()), drawn); // Save changes nothing but the caption

        press("Command1");
        bar()->setValue(2);
        load(path);
        QVERIFY(errors.isEmpty());
        QCOMPARE(gridTexts(*grid()), drawn);
        QCOMPARE(bar()->value(), 8);
        QCOMPARE(speedLabel(), QStringLiteral("8"));
        QCOMPARE(form->windowTitle(), path);
        const QImage image = snapshot(*grid());
        QCOMPARE(shownColour(image, *grid(), 1, 0), LitColour);
        QCOMPARE(shownColour(image, *grid(), 4, 20), LitColour);
        QCOMPARE(shownColour(image, *grid(), 2, 0), DarkColour);
    }

    void foreignCharactersLoadDarkAndSaveBack() {
        const QString path = dir.filePath(QStringLiteral("hand-edited.txt"));
        writeBytes(path, pictureFile("rXRB5", "  5"));
        load(path);
        QVERIFY(errors.isEmpty());
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("r"));
        QCOMPARE(grid()->TextMatrix(6, 0), QString());
        QCOMPARE(speedLabel(), QStringLiteral("5"));
        const QImage image = snapshot(*grid());
        QCOMPARE(shownColour(image, *grid(), 1, 0), DarkColour);
        QCOMPARE(shownColour(image, *grid(), 2, 0), DarkColour);
        QCOMPARE(shownColour(image, *grid(), 3, 0), LitColour);
        const QString again = dir.filePath(QStringLiteral("again.txt"));
        save(again);
        QVERIFY(fileBytes(again).startsWith("rXRB5\r\nBBBBBBBB\r\n"));
    }

    void refusedFilesChangeNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("speed 0") << pictureFile("RRRRRRRR", "0") << QStringLiteral("line 51");
        QTest::newRow("speed 10") << pictureFile("RRRRRRRR", " 10 ") << QStringLiteral("line 51");
        QTest::newRow("letters") << pictureFile("RRRRRRRR", "fast") << QStringLiteral("line 51");
        QTest::newRow("empty speed") << pictureFile("RRRRRRRR", "") << QStringLiteral("line 51");
        QByteArray fifty;
        for (int i = 0; i < 50; ++i)
            fifty += "RRRRRRRR\r\n";
        QTest::newRow("50 lines") << fifty << QStringLiteral("50 lines");
    }
    void refusedFilesChangeNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const QString earlier = dir.filePath(QStringLiteral("earlier.txt"));
        save(earlier);
        clickCell(*grid(), 2, 2);
        const State before = state();
        const QString path = dir.filePath(QStringLiteral("bad.txt"));
        writeBytes(path, bytes);
        load(path);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(path) && errors[0].contains(says), qPrintable(errors[0]));
        QVERIFY(state() == before);
        QCOMPARE(shownColour(snapshot(*grid()), *grid(), 1, 0), DarkColour);
    }

    void missingFileIsRefused() {
        const State before = state();
        load(dir.filePath(QStringLiteral("not-there.txt")));
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(QStringLiteral("not-there.txt")));
        QVERIFY(state() == before);
    }

    void cancelChangesNothing() {
        const QString path = dir.filePath(QStringLiteral("chosen.txt"));
        save(path);
        const QByteArray saved = fileBytes(path);
        clickCell(*grid(), 5, 5);
        const State before = state();
        save(QString());
        load(QString());
        QVERIFY(errors.isEmpty());
        QVERIFY(state() == before);
        QCOMPARE(fileBytes(path), saved);
    }

    void failedSaveKeepsCaptionAndFile() {
        const QString good = dir.filePath(QStringLiteral("good.txt"));
        save(good);
        const QString missing = dir.filePath(QStringLiteral("no-folder/x.txt"));
        save(missing);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].startsWith(missing));
        QCOMPARE(form->windowTitle(), good);
    }

    // The real dialog: its filter entries read exactly as given, and a typed name that does not
    // exist yet is accepted and reported as a full path.
    void realDialogOffersTheFiltersAndTakesNewNames() {
        CommonDialog::setAnswer({});
        QStringList shownFilters;
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types);
            for (int i = 0; i < types->count(); ++i)
                shownFilters << types->itemText(i);
            dialog->setDirectory(dir.path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("brand-new"));
            static_cast<QDialog*>(dialog)->accept();
        });
        CommonDialog chooser(form.get());
        chooser.ShowOpen();
        CommonDialog::setAnswer([this] { return answer; });
        QVERIFY(seen);
        QCOMPARE(shownFilters, CommonDialog::filterNames());
        QCOMPARE(shownFilters, (QStringList{QStringLiteral("ASCII TEXT(*.TXT)"),
                                            QStringLiteral("모든파일(*.*)")}));
        QCOMPARE(chooser.FileName(), QDir(dir.path()).filePath(QStringLiteral("brand-new")));

        // A cancel after that gives the empty name again.
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        CommonDialog::setAnswer({});
        chooser.ShowOpen();
        CommonDialog::setAnswer([this] { return answer; });
        QCOMPARE(chooser.FileName(), QString());
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
