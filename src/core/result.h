#pragma once

// What reading or sending something the user named gives: a value, or why it was refused. The
// refusal names the file or device and says what is wrong with it, so every message the user
// sees has the same form, "FILE: what is wrong".

#include <QString>
#include <QStringList>

#include <utility>

namespace orvane {

struct Refusal {
    Refusal() = default;
    Refusal(QString subject, QString reason, QString form = QString())
        : subject(std::move(subject)), reason(std::move(reason)), form(std::move(form)) {}

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

// T holds the value's parts under their own names (picture, font, data, ...); a result is a T
// too, so they are read as result.picture. What there is of them when refused (the characters
// sent before a download failed) stays readable.
template <typename T> struct Result : T {
    bool ok = false;
    QStringList warnings; // something was lost on the way, though there is a value
    Refusal refusal;      // why there is no value; meaningless when ok

    // What the user is told of the refusal; empty when ok.
    QString error() const { return ok ? QString() : refusal.message(); }

    static Result accepted(T value, QStringList warnings = {}) {
        Result result;
        static_cast<T&>(result) = std::move(value);
        result.ok = true;
        result.warnings = std::move(warnings);
        return result;
    }
    static Result refused(Refusal refusal, T partial = {}) {
        Result result;
        static_cast<T&>(result) = std::move(partial);
        result.refusal = std::move(refusal);
        return result;
    }
};

} // namespace orvane
