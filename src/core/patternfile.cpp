#include "patternfile.h"

#include "boundedfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileDevice>

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::PatternFile)
};
} // namespace

namespace {

// Enough for 51 lines of the longest accepted length with their line ends.
constexpr qint64 MaxBytesRead = qint64(PatternFile::SpeedLine) * (PatternFile::MaxLineLength + 2);

// The fault of the whole content when line is 0.
Refusal failure(int line, const QString& reason) {
    return Refusal::because(line > 0 ? Text::tr("line %1: %2").arg(line).arg(reason) : reason);
}

// Splits off up to `count` lines; CR LF, LF and CR each end a line, and text after the last
// line end is a line too. Stops at a line longer than MaxLineLength.
struct Lines {
    QList<QByteArray> lines;
    bool tooLong = false;
};

Lines splitLines(const QByteArray& data, int count) {
    Lines out;
    qsizetype start = 0;
    while (out.lines.size() < count && start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (end - start > PatternFile::MaxLineLength) {
            out.tooLong = true;
            return out;
        }
        out.lines.append(data.mid(start, end - start));
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return out;
}

// The bytes as printable text for a message: anything but printable ASCII becomes \xNN, so a
// binary file cannot put control sequences on the user's terminal.
QString printable(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(uint(quint8(c)), 2, 16, QLatin1Char('0'));
    }
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

namespace PatternFile {

QByteArray write(const DotPattern& picture, Speed speed) {
    QByteArray out;
    out.reserve(PictureLines * (PatternRows + 2) + 16);
    for (int col = 0; col < PatternCols; ++col) {
        for (int row = 1; row <= PatternRows; ++row)
            out += picture.text(row, col).toLatin1();
        out += "\r\n";
    }
    out += ' ' + QByteArray::number(speed.value()) + " \r\n";
    out += "\r\n";
    return out;
}

Result<PictureAndSpeed> read(const QByteArray& data) {
    const Lines split = splitLines(data, SpeedLine);
    if (split.tooLong)
        return failure(int(split.lines.size()) + 1,
                       Text::tr("the line is longer than %1 characters; this is not a "
                                "pattern file")
                           .arg(MaxLineLength));
    if (split.lines.size() < SpeedLine) {
        const qsizetype lines = split.lines.size();
        const QString has = lines == 0   ? Text::tr("the file is empty")
                            : lines == 1 ? Text::tr("the file has 1 line")
                                         : Text::tr("the file has %1 lines").arg(lines);
        return failure(0, Text::tr("%1, but a pattern file needs %2 picture lines and a speed "
                                   "line")
                              .arg(has)
                              .arg(PictureLines));
    }

    PictureAndSpeed result;
    for (int col = 0; col < PatternCols; ++col) {
        const QByteArray& line = split.lines[col];
        for (int row = 1; row <= PatternRows; ++row)
            result.picture.setText(
                row, col, row <= line.size() ? QString(QLatin1Char(line[row - 1])) : QString());
    }

    QByteArray speedText = split.lines[SpeedLine - 1];
    while (!speedText.isEmpty() && isBlank(speedText.front()))
        speedText.remove(0, 1);
    while (!speedText.isEmpty() && isBlank(speedText.back()))
        speedText.chop(1);
    if (speedText.isEmpty())
        return failure(SpeedLine, Text::tr("the speed line is empty; it must hold a number "
                                           "from %1 to %2")
                                      .arg(MinSpeed)
                                      .arg(MaxSpeed));
    const std::optional<Speed> speed = Speed::fromText(speedText);
    if (!speed)
        return failure(SpeedLine, Text::tr("the speed must be a number from %1 to %2, not "
                                           "\"%3\"")
                                      .arg(MinSpeed)
                                      .arg(MaxSpeed)
                                      .arg(printable(speedText.left(40))));
    result.speed = *speed;
    return result;
}

Result<PictureAndSpeed> read(QIODevice& device) {
    const QByteArray data = device.read(MaxBytesRead);
    const auto* file = qobject_cast<QFileDevice*>(&device);
    if (file && file->error() != QFileDevice::NoError) // a folder on standard input
        return failure(0, Text::tr("cannot read: %1").arg(file->errorString()));
    return read(data);
}

Result<PictureAndSpeed> load(const QString& fileName) {
    const Result<FileBytes> file = readBoundedFile(fileName, MaxBytesRead);
    if (!file)
        return file.refusal();
    Result<PictureAndSpeed> content = read(file->data);
    if (!content)
        return Refusal(fileName, content.refusal().reason);
    return content;
}

Result<void> save(const QString& fileName, const DotPattern& picture, Speed speed) {
    return replaceFile(fileName, write(picture, speed))
        .framed(Text::tr("%1: cannot save the file: %2"));
}

} // namespace PatternFile

} // namespace orvane
