// libFuzzer target for the pattern file reader. For any input the reader must return without
// a crash or undefined behaviour, and a file it accepts must survive a write and a second read
// unchanged: same picture, same speed, and the written bytes are a fixed point.

#include "patternfile.h"

#include "invariant.h"

#include <QByteArray>

#include <cstdint>

using namespace orvane;
using orvane::fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<PictureAndSpeed> first = PatternFile::read(input);
    if (!first) {
        if (first.refusal().reason.isEmpty())
            fail("a refusal without a reason");
        return 0;
    }
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            if (first->picture.text(row, col).size() > 1)
                fail("a cell text longer than one character");

    const QByteArray written = PatternFile::write(first->picture, first->speed);
    const Result<PictureAndSpeed> second = PatternFile::read(written);
    if (!second)
        fail("the writer's output is refused");
    if (!(second->picture == first->picture))
        fail("the picture changed in a write and read");
    if (second->speed != first->speed)
        fail("the speed changed in a write and read");
    if (PatternFile::write(second->picture, second->speed) != written)
        fail("writing is not a fixed point");
    return 0;
}
