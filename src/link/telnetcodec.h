#pragma once

// The client side of a Telnet connection to an RFC 2217 server (a serial device server that
// takes the line settings over the network), without a socket: bytes from the server go in,
// bytes for the server come out, and events say how the negotiation goes.
//
// start() offers BINARY both ways and WILL COM-PORT-OPTION. Once the server agrees to the
// COM-PORT-OPTION the settings go out one at a time, each after the server acknowledged the one
// before: baud rate 300, data size 8, parity none, stop size 2, flow control none. The server
// answers each with the value now in force; any other value is a failure that names it. The
// line is ready when every setting is acknowledged and BINARY is settled. Notifications of the
// line and modem state are ignored; every other option is refused.
//
// A hostile server cannot make it grow or loop: a subnegotiation longer than
// MaxSubnegotiation bytes, or more than MaxNegotiations option requests, is a failure, and each
// request gets at most one reply.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace orvane {

class TelnetCodec {
public:
    // The COM-PORT-OPTION commands that set the line (the server's answers are these + 100).
    enum class Setting : quint8 {
        BaudRate = 1,
        DataSize = 2,
        Parity = 3,
        StopSize = 4,
        Control = 5,
    };
    // The settings in the order they are sent, and the value asked for each.
    struct Request {
        Setting setting;
        quint32 value;
    };
    static const QList<Request>& requests();

    static constexpr int MaxSubnegotiation = 256;
    static constexpr int MaxNegotiations = 256;

    enum class State { Negotiating, Ready, Failed };

    struct Event {
        enum class Kind { Acknowledged, Ready, Failed };
        Kind kind;
        Setting setting = Setting::BaudRate; // Acknowledged: which setting
        quint32 value = 0;                   // Acknowledged: the value the server reported
    };

    // What one call hands back: the bytes to send to the server, and what happened.
    struct Output {
        QByteArray reply;
        QList<Event> events;
    };

    // The offers to send as soon as the connection is up.
    QByteArray start();
    // Takes bytes from the server. Data bytes are dropped: the sign never talks back.
    Output feed(QByteArrayView bytes);
    // `data` as it goes on the wire: every 0xFF doubled.
    static QByteArray encode(QByteArrayView data);

    State state() const { return state_; }
    // Why the negotiation failed, in plain words.
    QString failure() const { return failure_; }
    // What the negotiation waits for now, e.g. "the server's acknowledgement of the baud rate".
    QString waitingFor() const;
    // The longest subnegotiation held at any time (for the fuzz target).
    qsizetype buffered() const { return subnegotiation_.size(); }

    // A setting and its value in words: "baud rate 300", "parity even", ...
    static QString describe(Setting setting, quint32 value);

private:
    // The state of one side of an option (RFC 1143).
    enum class Q : quint8 { No, Yes, WantNo, WantYes };
    enum class Parse : quint8 { Data, Iac, Will, Wont, Do, Dont, SbOption, SbData, SbIac };

    void negotiate(Parse verb, quint8 option, Output& out);
    void subnegotiation(Output& out);
    void sendSetting(Output& out);
    void checkReady(Output& out);
    void fail(const QString& reason, Output& out);
    Q* usSide(quint8 option);
    Q* himSide(quint8 option);

    State state_ = State::Negotiating;
    QString failure_;
    Parse parse_ = Parse::Data;
    quint8 sbOption_ = 0;
    QByteArray subnegotiation_;
    int negotiations_ = 0;
    int nextSetting_ = 0; // index into requests() of the setting awaiting its acknowledgement
    bool settingSent_ = false;
    Q usBinary_ = Q::No, himBinary_ = Q::No, usComPort_ = Q::No;
};

} // namespace orvane
