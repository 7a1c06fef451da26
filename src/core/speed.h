#pragma once

// The speed the sign shows a picture at: a whole number from 1 to 9. A Speed holds nothing else;
// one is made from a number or a text only through a check.

#include <QByteArrayView>
#include <QStringView>

#include <compare>
#include <optional>

namespace orvane {

inline constexpr int MinSpeed = 1;
inline constexpr int MaxSpeed = 9;
inline constexpr int StartSpeed = 5; // a new picture's

class Speed {
public:
    // StartSpeed.
    constexpr Speed() = default;

    static constexpr std::optional<Speed> of(int value) {
        if (value < MinSpeed || value > MaxSpeed)
            return std::nullopt;
        return Speed(value);
    }
    // The speed a text gives: decimal digits only, blanks (spaces, tabs) around them allowed, as
    // a pattern file's speed line or the --speed option writes it.
    static std::optional<Speed> fromText(QByteArrayView text);
    static std::optional<Speed> fromText(QStringView text);

    constexpr int value() const { return value_; }
    // One step faster or slower, staying within MinSpeed..MaxSpeed.
    constexpr Speed up() const { return Speed(value_ < MaxSpeed ? value_ + 1 : MaxSpeed); }
    constexpr Speed down() const { return Speed(value_ > MinSpeed ? value_ - 1 : MinSpeed); }
    // The download frame's speed character: value | 0x30, "1".."9".
    constexpr char character() const { return char(value_ | 0x30); }

    constexpr auto operator<=>(const Speed&) const = default;

private:
    constexpr explicit Speed(int value) : value_(value) {}
    int value_ = StartSpeed;
};

} // namespace orvane
