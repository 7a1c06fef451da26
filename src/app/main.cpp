#include "form1.h"
#include "imageimport.h"
#include "messages.h"
#include "networkline.h"
#include "porttable.h"
#include "signsfile.h"
#include "translation.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char* argv[]) {
    orvane::installMessageHandler("orvane");
    QApplication app(argc, argv);
    orvane::configureImageReading();
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("orvane"));
    orvane::installTranslators(); // before the help option takes Qt's text for it

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "Editor for an 8 x 50 dot-matrix sign."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption device(
        QStringLiteral("device"),
        QApplication::translate("main", "Down Load sends to this serial device or network link "
                                        "(socket://HOST:PORT, rfc2217://HOST:PORT), or to the sign "
                                        "of this name in signs.conf, instead of the numbered "
                                        "port's device."),
        QStringLiteral("PATH-OR-URL"));
    parser.addOption(device);
    parser.process(app);
    if (parser.isSet(device) && parser.value(device).isEmpty()) {
        std::fprintf(
            stderr, "orvane: %s\n",
            QApplication::translate("main", "--device needs a device path or a network link")
                .toLocal8Bit()
                .constData());
        return 2;
    }

    QString error;
    if (orvane::isNetworkName(parser.value(device)) &&
        !orvane::parseNetworkAddress(parser.value(device), &error)) {
        std::fprintf(stderr, "orvane: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    // A sign's name stands for its device.
    const auto link = orvane::deviceOrSign(parser.value(device), &error);
    if (!link) {
        std::fprintf(stderr, "orvane: --device %s: %s\n",
                     parser.value(device).toLocal8Bit().constData(),
                     error.toLocal8Bit().constData());
        return 2;
    }

    orvane::Form1 window;
    window.setDevice(link->port > 0 ? orvane::PortTable::device(link->port) : link->device);
    window.show();
    return app.exec();
}
