#pragma once

// The pattern file: a plain text file of 52 lines ending in CR LF. Lines 1..50 hold the texts of
// grid columns 0..49, rows 1..8 one after another; line 51 the speed as " 5 "; line 52 is empty.
// One byte is one character (Latin-1), so every byte of a picture line survives a load and a save.
//
// Reading accepts CR LF, a lone LF or a lone CR as a line end, reads nothing after line 51, and
// checks the whole file before anything is handed back. Reading is bounded, so a huge file or a
// device that never ends cannot hang or exhaust the program.

#include "dotpattern.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace orvane {

struct PatternFileError {
    int line = 0;   // the line at fault, 0 when the fault is not one line's
    QString reason; // what is wrong, in plain words

    // "line 51: the speed ..." or just the reason; prefixed by the file's name when given.
    QString message(const QString& fileName = QString()) const;
};

struct PatternFileContent {
    DotPattern picture;
    int speed = StartSpeed;
};

struct PatternFileReadResult {
    bool ok = false;
    PatternFileContent content;
    PatternFileError error;
};

namespace PatternFile {

inline constexpr int PictureLines = PatternCols; // lines 1..50
inline constexpr int SpeedLine = PictureLines + 1;
// Longest line read; a saved file's lines are 8 characters.
inline constexpr int MaxLineLength = 4096;

// The file's bytes for a picture and speed.
QByteArray write(const DotPattern& picture, int speed);

// Reads and checks file content.
PatternFileReadResult read(QIODevice& device);
PatternFileReadResult read(const QByteArray& data);

// Reads and checks the named file; error.message(fileName) names the file.
PatternFileReadResult load(const QString& fileName);

// Writes the named file atomically: an existing file is replaced only once the new content is
// completely on disk. On failure returns false with a message naming the file and the reason.
bool save(const QString& fileName, const DotPattern& picture, int speed, QString* error);

} // namespace PatternFile

} // namespace orvane
