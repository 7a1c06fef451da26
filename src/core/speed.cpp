#include "speed.h"

#include <QString>

namespace orvane {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

std::optional<Speed> Speed::fromText(QByteArrayView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    // A few digits are enough to tell 9 from 10; a longer run is no speed whatever it says.
    if (text.isEmpty() || text.size() > 4)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return of(value);
}

std::optional<Speed> Speed::fromText(QStringView text) {
    // Anything outside Latin-1 is no digit or blank; as '?' it is refused like any other.
    return fromText(QByteArrayView(text.toLatin1()));
}

} // namespace orvane
