#include "hostlookup.h"

#include <QCoreApplication>
#include <QUrl>

#include <mutex>
#include <system_error>
#include <thread>

#if defined(Q_OS_WIN)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::NetworkLine)
};

// The resolver's words for getaddrinfo's error `rc`.
QString lookupError(int rc) {
#if defined(Q_OS_WIN)
    return qt_error_string(rc); // a Windows Sockets error
#else
    return QString::fromLocal8Bit(::gai_strerror(rc));
#endif
}

} // namespace

// What the lookup thread shares with its owner, which it may outlive.
struct HostLookup::Pending {
    std::mutex mutex;
    HostLookup* owner; // null once the answer is no longer wanted
};

void HostLookup::answer(const std::shared_ptr<Pending>& pending,
                        const Result<QList<QHostAddress>>& found) {
    // Queued to the owner's thread; an owner destroyed first takes the queued call with it.
    QMetaObject::invokeMethod(
        this,
        [this, pending, found] {
            if (pending_ != pending)
                return;
            pending_.reset();
            emit finished(found);
        },
        Qt::QueuedConnection);
}

void HostLookup::start(const QString& host) {
    cancel();
    auto pending = std::make_shared<Pending>();
    pending->owner = this;
    pending_ = pending;
    QHostAddress literal;
    if (literal.setAddress(host)) {
        answer(pending, QList<QHostAddress>{literal});
        return;
    }
    const QByteArray name = QUrl::toAce(host);
    if (name.isEmpty()) {
        answer(pending, Refusal::because(Text::tr("not a valid host name")));
        return;
    }
    const auto lookUp = [pending, name] {
#if defined(Q_OS_WIN)
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data); // counted; Qt has started it already
#endif
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &found);
        QList<QHostAddress> addresses;
        for (const addrinfo* entry = found; rc == 0 && entry; entry = entry->ai_next) {
            const QHostAddress address(entry->ai_addr);
            if (!address.isNull() && !addresses.contains(address))
                addresses << address;
        }
        if (found)
            ::freeaddrinfo(found);
        const Result<QList<QHostAddress>> answer =
            rc != 0               ? Refusal::because(lookupError(rc))
            : addresses.isEmpty() ? Refusal::because(Text::tr("it has no address"))
                                  : Result<QList<QHostAddress>>(addresses);
        const std::lock_guard lock(pending->mutex);
        if (pending->owner)
            pending->owner->answer(pending, answer);
    };
    try {
        std::thread(lookUp).detach();
    } catch (const std::system_error& e) {
        answer(pending, Refusal::because(QString::fromLocal8Bit(e.what())));
    }
}

void HostLookup::cancel() {
    if (!pending_)
        return;
    {
        const std::lock_guard lock(pending_->mutex);
        pending_->owner = nullptr;
    }
    pending_.reset();
}

} // namespace orvane
