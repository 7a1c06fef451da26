#pragma once

// A part of the program that tests stand in for: the beep, the error box, a dialog's answer,
// where devices are looked up. The program reads get(); the only way to replace the value is an
// Override, which puts the previous value back when it goes out of scope, so no test can leave
// its stand-in behind for the next.

#include <utility>

namespace orvane {

template <typename T> class Seam {
public:
    const T& get() const { return value_; }

    class [[nodiscard]] Override {
    public:
        Override(Seam& seam, T value)
            : seam_(seam), saved_(std::exchange(seam.value_, std::move(value))) {}
        ~Override() { seam_.value_ = std::move(saved_); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Seam& seam_;
        T saved_;
    };

private:
    T value_{};
};

} // namespace orvane
