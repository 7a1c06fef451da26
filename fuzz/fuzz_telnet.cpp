// libFuzzer target for the Telnet reader of the rfc2217:// link: the input is everything a
// hostile server sends (IAC floods, endless subnegotiations, options out of order). The reader
// must neither crash nor grow: it holds at most MaxSubnegotiation bytes, its replies over the
// whole connection stay under a fixed bound, and once it has failed it says nothing more. Fed
// all at once or a byte at a time, it answers the same. The line is ready only after every
// setting was acknowledged with the value asked for, in order.

#include "telnetcodec.h"

#include "invariant.h"

#include <QByteArray>

#include <cstdint>

using namespace orvane;
using orvane::fuzz::fail;

namespace {

using Kind = TelnetCodec::Event::Kind;

// The most a connection can make the client send: its offers, one reply to each option request
// and the five settings (each at most IAC SB option command, four value bytes doubled, IAC SE).
constexpr qsizetype MaxReply = 9 + 3 * TelnetCodec::MaxNegotiations + 5 * 13;

struct Run {
    QByteArray replies;
    QList<TelnetCodec::Event> events;
    TelnetCodec::State state;
    QString failure;
};

Run feed(const QByteArray& input, qsizetype chunk) {
    TelnetCodec codec;
    Run run;
    run.replies = codec.start();
    bool failed = false;
    for (qsizetype at = 0; at < input.size(); at += chunk) {
        const TelnetCodec::Output out =
            codec.feed(QByteArrayView(input).sliced(at, qMin(chunk, input.size() - at)));
        if (codec.buffered() > TelnetCodec::MaxSubnegotiation)
            fail("holds more than MaxSubnegotiation bytes");
        if (failed && (!out.reply.isEmpty() || !out.events.isEmpty()))
            fail("spoke after failing");
        failed = codec.state() == TelnetCodec::State::Failed;
        run.replies += out.reply;
        run.events += out.events;
        if (run.replies.size() > MaxReply)
            fail("replies beyond their bound");
    }
    run.state = codec.state();
    run.failure = codec.failure();
    if ((run.state == TelnetCodec::State::Failed) == run.failure.isEmpty())
        fail("a failure without a reason, or a reason without a failure");
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const Run whole = feed(input, qMax<qsizetype>(1, input.size()));
    const Run bytes = feed(input, 1);
    if (whole.replies != bytes.replies || whole.state != bytes.state ||
        whole.failure != bytes.failure || whole.events.size() != bytes.events.size())
        fail("answers depend on how the input is cut");

    int acknowledged = 0, ready = 0, failed = 0;
    for (const TelnetCodec::Event& event : whole.events) {
        if (failed)
            fail("an event after the failure");
        switch (event.kind) {
        case Kind::Acknowledged: {
            if (ready)
                fail("an acknowledgement after the line was ready");
            if (acknowledged >= TelnetCodec::requests().size())
                fail("more acknowledgements than settings");
            const TelnetCodec::Request& r = TelnetCodec::requests().at(acknowledged++);
            if (event.setting != r.setting || event.value != r.value)
                fail("a setting acknowledged out of order or with another value");
            break;
        }
        case Kind::Ready:
            if (++ready > 1)
                fail("ready twice");
            if (acknowledged != TelnetCodec::requests().size())
                fail("ready before every setting was acknowledged");
            break;
        case Kind::Failed:
            ++failed;
            break;
        }
    }
    if (whole.state == TelnetCodec::State::Ready && ready != 1)
        fail("ready without saying so");
    // Data goes out with every 0xFF doubled.
    const QByteArray encoded = TelnetCodec::encode(input);
    if (encoded.size() != input.size() + input.count('\xff'))
        fail("0xFF not doubled");
    return 0;
}
