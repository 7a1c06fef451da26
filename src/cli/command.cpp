#include "command.h"

#include "options.h"
#include "porttable.h"
#include "source.h"
#include "targets.h"

#include <QCoreApplication>

namespace orvane {

namespace {

// The translation context of orvane-send's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Send)
};

void printLines(std::FILE* out, const QStringList& lines) {
    for (const QString& line : lines)
        std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
}

} // namespace

std::unique_ptr<SendRun> runCommand(const QStringList& arguments, std::FILE* out, std::FILE* err,
                                    bool progress, DownloadDeadlines deadlines) {
    const Result<SendOptions> options = parseSendOptions(arguments);
    if (options && !options->help && !options->listPorts && !options->listFonts &&
        !options->listSigns && !options->version)
        return runSend(*options, out, err, progress, deadlines);

    auto run = std::make_unique<SendRun>(deadlines);
    if (!options) {
        std::fprintf(err, "orvane-send: %s\n%s\n", options.error().toLocal8Bit().constData(),
                     Text::tr("Try \"orvane-send --help\".").toLocal8Bit().constData());
        run->end(ExitUsage, false);
        return run;
    }
    if (options->help)
        std::fputs(sendHelpText().toLocal8Bit().constData(), out);
    else if (options->listPorts)
        printLines(out, PortTable::listing());
    else if (options->listFonts)
        printLines(out, fontListing(QStringLiteral("/usr/share/fonts")));
    else if (options->listSigns) {
        const Result<SignList> signs = readSignsFile(signsFilePath());
        if (!signs) {
            printMessage(err, signs.error());
            run->end(ExitSourceRefused, false);
            return run;
        }
        printLines(out, signListing(*signs));
    } else
        std::fprintf(out, "orvane-send %s\n", ORVANE_VERSION);
    std::fflush(out);
    run->end(ExitSent, false);
    return run;
}

} // namespace orvane
