// orvane-send: sends a picture to the sign from the command line.

#include "command.h"
#include "imageimport.h"
#include "messages.h"
#include "translation.h"

#include <QCoreApplication>

#include <cstdio>
#if defined(Q_OS_WIN)
#include <fcntl.h>
#include <io.h>
#else
#include <sys/resource.h>
#endif

int main(int argc, char* argv[]) {
#if defined(Q_OS_WIN)
    // Pattern files come in and frames and pictures go out byte for byte, as on other systems:
    // no CR LF turned into LF and back, no Ctrl+Z taken for the end of standard input.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#if !defined(Q_OS_WIN)
    // Each sign sent to at once holds a few descriptors, and the usual soft limit of 1024 would
    // allow only a few hundred signs; the hard limit is this process's to take.
    if (rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit); // where the system refuses, fewer go at once
    }
#endif
    orvane::installMessageHandler("orvane-send");
    QCoreApplication app(argc, argv);
    orvane::configureImageReading();
    QCoreApplication::setApplicationName(QStringLiteral("orvane-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    orvane::installTranslators();

    const auto run =
        orvane::runCommand(app.arguments(), stdout, stderr, orvane::isTerminal(stderr));
    if (!run->isDone()) {
        QObject::connect(run.get(), &orvane::SendRun::finished, &app, &QCoreApplication::exit);
        app.exec();
    }
    return run->exitCode();
}
