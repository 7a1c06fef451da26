#pragma once

// What Qt, its image plugins and the libraries under them say, kept in the program's own form.

#include <QStringList>

namespace orvane {

// From now on Qt's messages go to standard error as "PROGRAM: warning: TEXT" ("error:" for
// critical and fatal ones, "note:" for information; debug messages are dropped). Call once,
// early in main().
void installMessageHandler(const char* program);

// "warning: TEXT", in the user's language, as every warning of the programs reads after their
// name.
QString asWarning(const QString& text);

// While it lives, what Qt says on the constructing thread is collected instead of shown, and so
// is what anything in the process writes straight to standard error (libpng prints its errors
// itself); the program's own messages still get through. One capture runs at a time: another
// thread's waits for it.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Ends the capture and returns what was said, a line each, without repeats or blank lines;
    // information and debug lines are left out unless `all`.
    QStringList finish(bool all = false);

private:
    struct Line {
        QString text;
        bool warning;
    };
    QList<Line> lines_;
    int savedStderr_ = -1;
    int pipeRead_ = -1;
    bool done_ = false;

    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text);
};

} // namespace orvane
