#pragma once

// What orvane-send does once its arguments are parsed: makes the picture from its source, then
// writes it to each output asked for and sends it through the serial layer exactly as
// "Down Load" does, in the caller's event loop.

#include "downloadsession.h"
#include "options.h"

#include <QObject>
#include <cstdio>
#include <memory>
#include <optional>

namespace orvane {

// True when the stream is a terminal.
bool isTerminal(std::FILE* stream);

// One run of the command: done at once when nothing goes to the sign or no line can be opened,
// otherwise once every download has finished in the event loop.
class SendRun : public QObject {
    Q_OBJECT

public:
    explicit SendRun(DownloadDeadlines deadlines);
    ~SendRun() override;

    bool isDone() const { return exitCode_.has_value(); }
    // The exit code once done.
    int exitCode() const { return exitCode_.value_or(ExitPortFailed); }
    // A download session of its own for one more device, a child of the run: deleteLater() it
    // once it has finished, or it goes with the run.
    DownloadSession* addSession();

    // Ends the run with `code`; finished() follows when `announce` is set.
    void end(int code, bool announce);

signals:
    void finished(int exitCode);

private:
    const DownloadDeadlines deadlines_;
    std::optional<int> exitCode_;
};

// "orvane-send: TEXT" on its own line of `err`.
void printMessage(std::FILE* err, const QString& text);

// Starts the command. The frame and the picture go to `out`; messages and, when `progress` is
// set, a one-line progress display go to `err`. When the returned run is not done yet, the
// caller's event loop must run until it emits finished().
std::unique_ptr<SendRun> runSend(const SendOptions& options, std::FILE* out, std::FILE* err,
                                 bool progress, DownloadDeadlines deadlines = {});

} // namespace orvane
