// The file choosers list a folder without reading its files: a file that blocks its reader
// cannot freeze the window.

#include "filedialog.h"
#include "prompts.h"
#include "stalledfile.h"

#include <QTest>
#include <QtWidgets>

#include <future>
#include <mutex>
#include <thread>

using namespace orvane;
using namespace orvane::testing;
using namespace std::chrono_literals;

class TestFileDialog : public QObject {
    Q_OBJECT

private slots:
    void aFileThatBlocksItsReaderIsNotRead_data() {
        QTest::addColumn<bool>("loadAndSave"); // else the chooser of Import Image and fonts
        QTest::newRow("Load and Save") << true;
        QTest::newRow("Import Image, Other Font File") << false;
    }
    // Typing the folder's path lists it, with every file's type, as the window goes on. Should the
    // window block, a watchdog lets its read go on after a while, so that the test fails.
    void aFileThatBlocksItsReaderIsNotRead() {
        QFETCH(bool, loadAndSave);
        const StalledFile stalled;
        if (!stalled.ok())
            QSKIP("no tracefs to mount (mounting needs root)");
        std::promise<void> listing;
        const std::future<void> listed = listing.get_future();
        std::once_flag once;
        const auto finish = [&] { std::call_once(once, [&] { listing.set_value(); }); };
        bool windowBlocked = false;
        std::thread watchdog([&] {
            if (listed.wait_for(30s) == std::future_status::ready)
                return;
            windowBlocked = true;
            while (listed.wait_for(100ms) != std::future_status::ready)
                stalled.release();
        });

        QString type;
        QTimer::singleShot(0, this, [&] {
            QFileDialog* dialog = nullptr;
            const auto close = qScopeGuard([&] {
                finish();
                if (dialog)
                    dialog->reject();
            });
            QTRY_VERIFY((dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())));
            auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            filters->setCurrentIndex(filters->count() - 1); // every file
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                             stalled.folder() + QLatin1Char('/'));
            const auto* model = dialog->findChild<QFileSystemModel*>();
            QTRY_VERIFY_WITH_TIMEOUT(!(type = model->type(model->index(stalled.path()))).isEmpty(),
                                     60000);
        });
        if (loadAndSave) {
            CommonDialog chooser;
            chooser.ShowOpen();
            QCOMPARE(chooser.FileName(), QString());
        } else {
            QCOMPARE(askFileToOpen(nullptr, QStringLiteral("Import Image"),
                                   {QStringLiteral("Images (*.png)"), QStringLiteral("All (*)")}),
                     QString());
        }
        finish();
        watchdog.join();
        QVERIFY2(!windowBlocked, "the window read the file that blocks");
        QVERIFY2(!type.isEmpty(), "the folder was not listed");
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
