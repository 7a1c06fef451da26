#include "form1.h"
#include "imageimport.h"
#include "messages.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    orvane::installMessageHandler("orvane");
    QApplication app(argc, argv);
    orvane::configureImageReading();
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("orvane"));

    orvane::Form1 window;
    window.show();
    return app.exec();
}
