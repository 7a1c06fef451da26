#include "telnetcodec.h"

#include <QCoreApplication>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::NetworkLine)
};

constexpr quint8 Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr quint8 Binary = 0, ComPort = 44;
// The server's answer to a COM-PORT-OPTION command is the command + 100.
constexpr quint8 ServerOffset = 100;

void command(QByteArray& out, quint8 verb, quint8 option) {
    out += char(Iac);
    out += char(verb);
    out += char(option);
}

} // namespace

const QList<TelnetCodec::Request>& TelnetCodec::requests() {
    static const QList<Request> list{{Setting::BaudRate, 300},
                                     {Setting::DataSize, 8},
                                     {Setting::Parity, 1},   // none
                                     {Setting::StopSize, 2}, // 2 stop bits
                                     {Setting::Control, 1}}; // no flow control
    return list;
}

QString TelnetCodec::describe(Setting setting, quint32 value) {
    switch (setting) {
    case Setting::BaudRate:
        return Text::tr("baud rate %1").arg(value);
    case Setting::DataSize:
        return Text::tr("data size %1").arg(value);
    case Setting::Parity: {
        const char* names[] = {"none", "odd", "even", "mark", "space"};
        if (value >= 1 && value <= 5)
            return Text::tr("parity %1").arg(QLatin1String(names[value - 1]));
        return Text::tr("parity %1").arg(value);
    }
    case Setting::StopSize:
        if (value == 1)
            return Text::tr("1 stop bit");
        if (value == 2)
            return Text::tr("2 stop bits");
        if (value == 3)
            return Text::tr("1.5 stop bits");
        return Text::tr("stop size %1").arg(value);
    case Setting::Control:
        if (value == 1)
            return Text::tr("no flow control");
        if (value == 2)
            return Text::tr("XON/XOFF flow control");
        if (value == 3)
            return Text::tr("hardware flow control");
        return Text::tr("flow control %1").arg(value);
    }
    return {};
}

QByteArray TelnetCodec::start() {
    QByteArray out;
    usBinary_ = himBinary_ = usComPort_ = Q::WantYes;
    command(out, Will, Binary);
    command(out, Do, Binary);
    command(out, Will, ComPort);
    return out;
}

QByteArray TelnetCodec::encode(QByteArrayView data) {
    QByteArray out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (quint8(c) == Iac)
            out += c;
    }
    return out;
}

QString TelnetCodec::waitingFor() const {
    if (state_ != State::Negotiating)
        return {};
    if (usComPort_ != Q::Yes)
        return Text::tr("the server's agreement to the COM-PORT-OPTION");
    if (nextSetting_ < requests().size()) {
        const Request& r = requests().at(nextSetting_);
        return Text::tr("the server's acknowledgement of %1").arg(describe(r.setting, r.value));
    }
    return Text::tr("the server's answer to BINARY");
}

TelnetCodec::Output TelnetCodec::feed(QByteArrayView bytes) {
    Output out;
    for (const char c : bytes) {
        if (state_ == State::Failed)
            break;
        const auto b = quint8(c);
        switch (parse_) {
        case Parse::Data:
            if (b == Iac)
                parse_ = Parse::Iac;
            break; // data from the far end's line is not used
        case Parse::Iac:
            switch (b) {
            case Will:
                parse_ = Parse::Will;
                break;
            case Wont:
                parse_ = Parse::Wont;
                break;
            case Do:
                parse_ = Parse::Do;
                break;
            case Dont:
                parse_ = Parse::Dont;
                break;
            case Sb:
                parse_ = Parse::SbOption;
                break;
            default: // IAC IAC (a data byte), NOP, GA and the other one-byte commands
                parse_ = Parse::Data;
                break;
            }
            break;
        case Parse::Will:
        case Parse::Wont:
        case Parse::Do:
        case Parse::Dont: {
            const Parse verb = parse_;
            parse_ = Parse::Data;
            negotiate(verb, b, out);
            break;
        }
        case Parse::SbOption:
            sbOption_ = b;
            subnegotiation_.clear();
            parse_ = Parse::SbData;
            break;
        case Parse::SbData:
            if (b == Iac)
                parse_ = Parse::SbIac;
            else if (subnegotiation_.size() < MaxSubnegotiation)
                subnegotiation_ += c;
            else
                fail(Text::tr("the server sent a subnegotiation longer than %1 bytes")
                         .arg(MaxSubnegotiation),
                     out);
            break;
        case Parse::SbIac:
            if (b == Se) {
                parse_ = Parse::Data;
                subnegotiation(out);
                subnegotiation_.clear();
            } else if (b == Iac && subnegotiation_.size() < MaxSubnegotiation) {
                subnegotiation_ += c;
                parse_ = Parse::SbData;
            } else if (b == Iac) {
                fail(Text::tr("the server sent a subnegotiation longer than %1 bytes")
                         .arg(MaxSubnegotiation),
                     out);
            } else {
                fail(Text::tr("the server sent a malformed subnegotiation (IAC %1 inside it)")
                         .arg(b),
                     out);
            }
            break;
        }
    }
    if (state_ == State::Failed)
        subnegotiation_ = QByteArray();
    return out;
}

TelnetCodec::Q* TelnetCodec::usSide(quint8 option) {
    if (option == Binary)
        return &usBinary_;
    if (option == ComPort)
        return &usComPort_;
    return nullptr;
}

TelnetCodec::Q* TelnetCodec::himSide(quint8 option) {
    // The server's side of COM-PORT-OPTION is never asked for: this program is the client.
    return option == Binary ? &himBinary_ : nullptr;
}

void TelnetCodec::negotiate(Parse verb, quint8 option, Output& out) {
    if (++negotiations_ > MaxNegotiations) {
        fail(Text::tr("the server sent more than %1 option requests").arg(MaxNegotiations), out);
        return;
    }
    const bool him = verb == Parse::Will || verb == Parse::Wont;
    const bool positive = verb == Parse::Will || verb == Parse::Do;
    const quint8 agree = him ? Do : Will;
    const quint8 refuse = him ? Dont : Wont;
    Q* q = him ? himSide(option) : usSide(option);
    if (!q) {
        if (positive)
            command(out.reply, refuse, option);
        return;
    }
    const Q before = *q;
    if (positive) {
        if (*q == Q::No)
            command(out.reply, agree, option);
        *q = Q::Yes;
    } else {
        if (*q == Q::Yes)
            command(out.reply, refuse, option);
        *q = Q::No;
    }
    if (state_ == State::Negotiating && q == &usComPort_ && *q != before) {
        if (*q == Q::Yes && !settingSent_)
            sendSetting(out);
        else if (*q == Q::No)
            fail(Text::tr("the server refused the COM-PORT-OPTION, so it cannot take the line "
                          "settings (for a raw TCP port use socket://)"),
                 out);
    }
    checkReady(out);
}

void TelnetCodec::sendSetting(Output& out) {
    const Request& r = requests().at(nextSetting_);
    QByteArray value;
    if (r.setting == Setting::BaudRate)
        for (int shift = 24; shift >= 0; shift -= 8)
            value += char(quint8(r.value >> shift));
    else
        value += char(quint8(r.value));
    out.reply += char(Iac);
    out.reply += char(Sb);
    out.reply += char(ComPort);
    out.reply += char(quint8(r.setting));
    out.reply += encode(value);
    out.reply += char(Iac);
    out.reply += char(Se);
    settingSent_ = true;
}

void TelnetCodec::subnegotiation(Output& out) {
    if (state_ != State::Negotiating || sbOption_ != ComPort || !settingSent_ ||
        subnegotiation_.isEmpty() || nextSetting_ >= requests().size())
        return;
    const Request& r = requests().at(nextSetting_);
    // Anything but the answer awaited (notifications of the line and modem state, a repeated
    // answer) is left alone.
    if (quint8(subnegotiation_.at(0)) != quint8(r.setting) + ServerOffset)
        return;
    const qsizetype size = r.setting == Setting::BaudRate ? 4 : 1;
    if (subnegotiation_.size() != 1 + size) {
        fail(Text::tr("the server's answer to %1 is malformed (%2 bytes instead of %3)")
                 .arg(describe(r.setting, r.value))
                 .arg(subnegotiation_.size() - 1)
                 .arg(size),
             out);
        return;
    }
    quint32 value = 0;
    for (qsizetype i = 1; i <= size; ++i)
        value = value << 8 | quint8(subnegotiation_.at(i));
    if (value != r.value) {
        fail(Text::tr("the server refused %1: it answered with %2")
                 .arg(describe(r.setting, r.value), describe(r.setting, value)),
             out);
        return;
    }
    out.events << Event{Event::Kind::Acknowledged, r.setting, value};
    if (++nextSetting_ < requests().size())
        sendSetting(out);
    checkReady(out);
}

void TelnetCodec::checkReady(Output& out) {
    if (state_ == State::Negotiating && nextSetting_ == requests().size() &&
        usBinary_ != Q::WantYes && himBinary_ != Q::WantYes) {
        state_ = State::Ready;
        out.events << Event{Event::Kind::Ready};
    }
}

void TelnetCodec::fail(const QString& reason, Output& out) {
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    failure_ = reason;
    out.events << Event{Event::Kind::Failed};
}

} // namespace orvane
