// orvane-send: sends a picture to the sign from the command line.

#include "imageimport.h"
#include "messages.h"
#include "options.h"
#include "porttable.h"
#include "send.h"
#include "source.h"

#include <QCoreApplication>

#include <cstdio>
#if defined(Q_OS_WIN)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char* argv[]) {
#if defined(Q_OS_WIN)
    // Pattern files come in and frames and pictures go out byte for byte, as on other systems:
    // no CR LF turned into LF and back, no Ctrl+Z taken for the end of standard input.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    orvane::installMessageHandler("orvane-send");
    QCoreApplication app(argc, argv);
    orvane::configureImageReading();
    QCoreApplication::setApplicationName(QStringLiteral("orvane-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    QString error;
    const auto options = orvane::parseSendOptions(app.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "orvane-send: %s\nTry \"orvane-send --help\".\n",
                     error.toLocal8Bit().constData());
        return orvane::ExitUsage;
    }
    if (options->help) {
        std::fputs(orvane::sendHelpText().toLocal8Bit().constData(), stdout);
        return orvane::ExitSent;
    }
    if (options->listPorts) {
        for (const QString& line : orvane::PortTable::listing())
            std::printf("%s\n", line.toLocal8Bit().constData());
        return orvane::ExitSent;
    }
    if (options->listFonts) {
        for (const QString& line : orvane::fontListing(QStringLiteral("/usr/share/fonts")))
            std::printf("%s\n", line.toLocal8Bit().constData());
        return orvane::ExitSent;
    }
    if (options->version) {
        std::printf("orvane-send %s\n", ORVANE_VERSION);
        return orvane::ExitSent;
    }
    const auto run = orvane::runSend(*options, stdout, stderr, orvane::isTerminal(stderr));
    if (!run->isDone()) {
        QObject::connect(run.get(), &orvane::SendRun::finished, &app, &QCoreApplication::exit);
        app.exec();
    }
    return run->exitCode();
}
