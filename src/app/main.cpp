#include "form1.h"
#include "imageimport.h"
#include "linktarget.h"
#include "messages.h"
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

    // A sign's name stands for its device; a malformed link is named as orvane-send names it.
    const QString named = parser.value(device);
    const orvane::Result<orvane::LinkTarget> link = orvane::deviceOrSign(named);
    if (!link) {
        const QString error = link.error();
        if (orvane::isNetworkName(named))
            std::fprintf(stderr, "orvane: %s\n", error.toLocal8Bit().constData());
        else
            std::fprintf(stderr, "orvane: --device %s: %s\n", named.toLocal8Bit().constData(),
                         error.toLocal8Bit().constData());
        return 2;
    }

    orvane::Form1 window;
    if (parser.isSet(device)) // a sign on a numbered port is named by that port's device
        window.setDevice(link->kind == orvane::LinkTarget::Kind::Port
                             ? orvane::LinkTarget::ofDevice(link->serialDevice())
                             : *link);
    window.show();
    return app.exec();
}
