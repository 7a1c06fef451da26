// Text typed on the grid and files dropped on the window, through real keys and drop events:
// typing writes what orvane-send --text writes, Backspace and undo take it back, a dropped
// pattern file loads as Load does and a dropped image imports as --image does.

#include "downloadframe.h"
#include "editing.h"
#include "errorreport.h"
#include "flexgrid.h"
#include "form1.h"
#include "gridprobe.h"

#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::testing;

class TestTyping : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QStringList errors;
    std::unique_ptr<Form1> form;

    FlexGrid* grid() { return control<FlexGrid>(*form, "MSFlexGrid1"); }
    QByteArray frame() { return DownloadFrame::encode(PictureOf(*grid()).reader(), 5); }
    static QByteArray sentFrame(const QString& text) {
        QProcess send;
        send.start(QStringLiteral(ORVANE_SEND),
                   {QStringLiteral("--text"), text, QStringLiteral("--frame")});
        return send.waitForFinished(30000) ? send.readAllStandardOutput() : QByteArray();
    }
    void undo() { QTest::keySequence(grid(), QKeySequence::Undo); }
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &dropped);
    }

private slots:
    void initTestCase() {
        setErrorHandler([this](QWidget*, const QString&, const QString& text) { errors << text; });
    }
    void cleanupTestCase() { setErrorHandler({}); }
    // Clear at start-up leaves the current cell on the last one (8, 49); Home goes to (8, 0).
    void init() {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Home);
        errors.clear();
    }
    void cleanup() { form.reset(); }

    // The same text typed from column 0 and sent with --text gives the same frame; the cursor
    // stays in its row and ends after the text.
    void typesWhatTextSends_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("HI") << QStringLiteral("HI");
        QTest::newRow("words") << QStringLiteral("Open 9-17");
        QTest::newRow("past the edge") << QStringLiteral("ABCDEFGHIJKLM");
    }
    void typesWhatTextSends() {
        QFETCH(QString, text);
        QTest::keyClick(grid(), Qt::Key_Up);
        QTest::keyClick(grid(), Qt::Key_Home);
        QTest::keyClicks(grid(), text);
        QCOMPARE(frame(), sentFrame(text));
        QCOMPARE(grid()->RowSel(), 7);
        if (text == QLatin1String("HI"))
            QCOMPARE(grid()->ColSel(), 9); // "H" inks 4 columns, "I" 3, each with a dark one
        QVERIFY(errors.isEmpty());
    }

    // An input method's commit types like keys; Enter toggles the current dot.
    void inputMethodAndEnter() {
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("Жx"));
        QCoreApplication::sendEvent(grid(), &commit);
        QCOMPARE(frame(), sentFrame(QStringLiteral("Жx")));
        QTest::keyClick(grid(), Qt::Key_Home);
        const QString before = grid()->TextMatrix(8, 0);
        QTest::keyClick(grid(), Qt::Key_Return);
        QVERIFY(grid()->TextMatrix(8, 0) != before);
    }

    // Backspace takes back the characters typed last, one by one, and Ctrl+Z the Backspace; a
    // move of the cursor ends what Backspace can take back.
    void backspaceAndUndo() {
        QTest::keyClicks(grid(), QStringLiteral("H"));
        const QByteArray afterH = frame();
        QTest::keyClicks(grid(), QStringLiteral("I"));
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), afterH);
        QCOMPARE(grid()->ColSel(), 5);
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), sentFrame(QString()));
        QCOMPARE(grid()->ColSel(), 0);
        undo(); // the Backspace
        QCOMPARE(frame(), afterH);
        undo(); // the Backspace of "I"
        undo(); // typing "I"
        QCOMPARE(frame(), afterH);

        QTest::keyClicks(grid(), QStringLiteral("I"));
        QTest::keyClick(grid(), Qt::Key_Left);
        const QByteArray moved = frame();
        QTest::keyClick(grid(), Qt::Key_Backspace);
        QCOMPARE(frame(), moved);
    }

    // A dropped pattern file is Load; a dropped image is an import that keeps the speed; each is
    // one undo step. A pipe or a broken file changes nothing and names itself.
    void dropsFiles() {
        QByteArray pattern;
        for (int col = 0; col < PatternCols; ++col)
            pattern += col == 3 ? "RRRRRRRR\r\n" : "rBBBBBBB\r\n";
        const QString patternPath = dir.filePath(QStringLiteral("drop.txt"));
        QFile patternFile(patternPath);
        QVERIFY(patternFile.open(QIODevice::WriteOnly));
        patternFile.write(pattern + " 9 \r\n\r\n");
        patternFile.close();
        drop(patternPath);
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("r"));
        QCOMPARE(frame().mid(7, 2), QByteArray("FF"));
        QScrollBar* speed = control<QScrollBar>(*form, "HScroll1");
        QCOMPARE(speed->value(), 9);

        QImage image(50, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(49, 7, qRgb(255, 255, 255));
        const QString imagePath = dir.filePath(QStringLiteral("logo.txt")); // content decides
        QVERIFY(image.save(imagePath, "PNG"));
        drop(imagePath);
        QCOMPARE(frame(), "S" + QByteArray(98, '0') + "015");
        QCOMPARE(speed->value(), 9);
        undo();
        QCOMPARE(grid()->TextMatrix(1, 0), QStringLiteral("r"));
        undo();
        QCOMPARE(frame(), sentFrame(QString()));
        QCOMPARE(speed->value(), 5);
        QVERIFY(errors.isEmpty());

        const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString broken = dir.filePath(QStringLiteral("broken.png"));
        QVERIFY(QFile::copy(imagePath, broken));
        QVERIFY(QFile::resize(broken, 60));
        for (const QString& path : {pipe, broken}) {
            errors.clear();
            drop(path);
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors.first().startsWith(path + QStringLiteral(": ")),
                     qPrintable(errors.first()));
            QCOMPARE(frame(), sentFrame(QString()));
        }
    }
};

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
