// Ports on Windows: port n is COMn, a port with nothing behind it is named in the message, and
// the window's "Down Load" goes out through a COM port (under Wine, tests/windows/links.py maps
// one to a pseudo-terminal, names it in ORVANE_TEST_COM_PORT and checks what arrives there).

#include "errorreport.h"
#include "form1.h"
#include "gridprobe.h"
#include "porttable.h"
#include "serialport.h"

#include <QLabel>
#include <QTest>

using namespace orvane;
using namespace orvane::testing;

class TestComPorts : public QObject {
    Q_OBJECT

private slots:
    // The system's own message ends in a full stop; it is not doubled.
    void absentPortIsNamed() {
        QCOMPARE(PortTable::tableDevice(1) + PortTable::tableDevice(16),
                 QStringLiteral("COM1COM16"));
        SerialPort port;
        port.setCommPort(16);
        const QString error = port.setPortOpen(true).error();
        QVERIFY2(error.startsWith("port 16 (COM16): nothing is plugged in there (") &&
                     !error.contains(".."),
                 qPrintable(error));
    }

    // Column 0 lit in rows 1, 3 and 8 and column 49 in row 2, at speed 5; captions, no message.
    void downloadsThroughTheWindow() {
        const int port = qEnvironmentVariableIntValue("ORVANE_TEST_COM_PORT");
        if (port < 1)
            QSKIP("needs a COM port with a line behind it: tests/windows/links.py runs this");
        QStringList captions, errors;
        const ScopedErrorHandler errorBox(
            [&](QWidget*, const QString&, const QString& text) { errors << text; });
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        connect(&form, &QWidget::windowTitleChanged, this,
                [&](const QString& title) { captions << title; });
        auto& grid = *control<FlexGrid>(form, "MSFlexGrid1");
        for (auto [row, col] : {std::pair{1, 0}, {3, 0}, {8, 0}, {2, 49}})
            clickCell(grid, row, col);
        for (int n = 1; n < port; ++n)
            press(form, "Command6");
        QCOMPARE(control<QLabel>(form, "Label1")->text(), QString::number(port));
        press(form, "Command4");
        QTRY_VERIFY_WITH_TIMEOUT(!form.downloading(), 60000);
        QCOMPARE(errors, QStringList());
        QCOMPARE(captions.size(), 52);
        QCOMPARE(captions.first() + '|' + captions.at(50) + '|' + captions.last(),
                 QStringLiteral("Download Start ......|49|Data Out Complete !"));
    }
};

QTEST_MAIN(TestComPorts)
#include "tst_comports.moc"
