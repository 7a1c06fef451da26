#pragma once

// What everything that can be refused gives: reading a file or font, parsing what the user typed,
// saving, opening a line, a download. A Result<T> holds either a T or the Refusal that says why
// there is none, and warnings of what was lost on the way to a value. Result<void> is done or
// refused. The refusal names the file or device and says what is wrong with it, so every message
// the user sees has the same form, "FILE: what is wrong".
//
//     Result<BitmapFont> font = BitmapFont::load(name);
//     if (!font)
//         return font.refusal();   // a Refusal converts to a Result of any type
//     use(*font);

#include <QString>
#include <QStringList>

#include <type_traits>
#include <utility>
#include <variant>

namespace orvane {

struct Refusal {
    Refusal() = default;
    Refusal(QString subject, QString reason, QString form = QString())
        : subject(std::move(subject)), reason(std::move(reason)), form(std::move(form)) {}
    // A refusal of no one thing (a command line, a lookup), or whose reason names it already.
    static Refusal because(QString reason) { return {QString(), std::move(reason)}; }

    QString subject; // the file or device as the user named it; empty when no one thing is at fault
    QString reason;  // what is wrong, in plain words, without the subject
    // How the message puts them together when not as "SUBJECT: REASON": %1 the subject, %2 the
    // reason, as in "Cannot open %1: %2".
    QString form;

    // "SUBJECT: REASON", the reason alone when there is no subject, or `form` filled in.
    QString message() const {
        if (!form.isEmpty())
            return form.arg(subject, reason);
        return subject.isEmpty() ? reason : QStringLiteral("%1: %2").arg(subject, reason);
    }
};

template <typename T> class [[nodiscard]] Result {
    static constexpr bool IsVoid = std::is_void_v<T>;
    using Value = std::conditional_t<IsVoid, std::monostate, T>;

public:
    // Done, for a Result<void>.
    Result() requires IsVoid = default;
    Result(Value value, QStringList warnings = {}) requires(!IsVoid)
        : state_(std::move(value)), warnings_(std::move(warnings)) {}
    Result(Refusal refusal) : state_(std::in_place_type<Refusal>, std::move(refusal)) {}

    bool ok() const { return std::holds_alternative<Value>(state_); }
    explicit operator bool() const { return ok(); }

    // The value; only when ok() (otherwise std::bad_variant_access is thrown).
    const Value& value() const& requires(!IsVoid) { return std::get<Value>(state_); }
    Value& value() & requires(!IsVoid) { return std::get<Value>(state_); }
    Value&& value() && requires(!IsVoid) { return std::get<Value>(std::move(state_)); }
    const Value& operator*() const& requires(!IsVoid) { return value(); }
    Value&& operator*() && requires(!IsVoid) { return std::move(*this).value(); }
    const Value* operator->() const requires(!IsVoid) { return &value(); }

    // Why there is no value; only when !ok().
    const Refusal& refusal() const { return std::get<Refusal>(state_); }
    // What the user is told of the refusal; empty when ok().
    QString error() const { return ok() ? QString() : refusal().message(); }

    // This result, a refusal told in another form (see Refusal::form).
    Result framed(const QString& form) && {
        if (!ok())
            std::get<Refusal>(state_).form = form;
        return std::move(*this);
    }

    // What was lost on the way, though there is a value.
    const QStringList& warnings() const { return warnings_; }
    void warn(const QString& warning) { warnings_ << warning; }

private:
    std::variant<Value, Refusal> state_;
    QStringList warnings_;
};

} // namespace orvane
