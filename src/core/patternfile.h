#pragma once

// The pattern file: a plain text file of 52 lines ending in CR LF. Lines 1..50 hold the texts of
// grid columns 0..49, rows 1..8 one after another; line 51 the speed as " 5 "; line 52 is empty.
// One byte is one character (Latin-1), so every byte of a picture line survives a load and a save.
//
// Reading accepts CR LF, a lone LF or a lone CR as a line end, reads nothing after line 51, and
// checks the whole file before anything is handed back. Reading is bounded, so a huge file or a
// device that never ends cannot hang or exhaust the program.

#include "dotpattern.h"
#include "result.h"
#include "speed.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace orvane {

// What a pattern file holds, and what orvane-send sends.
struct PictureAndSpeed {
    DotPattern picture;
    Speed speed;
};

namespace PatternFile {

inline constexpr int PictureLines = PatternCols; // lines 1..50
inline constexpr int SpeedLine = PictureLines + 1;
// Longest line read; a saved file's lines are 8 characters.
inline constexpr int MaxLineLength = 4096;

// The file's bytes for a picture and speed.
QByteArray write(const DotPattern& picture, Speed speed);

// Reads and checks file content. A refusal's reason starts with the line at fault ("line 51: the
// speed ..."), if one line is; it names no file. A device that cannot be read is refused.
Result<PictureAndSpeed> read(QIODevice& device);
Result<PictureAndSpeed> read(const QByteArray& data);

// Reads and checks the named file; a refusal names the file.
Result<PictureAndSpeed> load(const QString& fileName);

// Writes the named file as replaceFile() does: whole or not at all, keeping its owner and its
// other names. A refusal names the file.
Result<void> save(const QString& fileName, const DotPattern& picture, Speed speed);

} // namespace PatternFile

} // namespace orvane
