// libFuzzer target for the signs file's reader and the link texts it holds. For any input it must
// return without a crash or undefined behaviour; of a file it accepts every group's members are
// there, no group reaches itself, and every name expands to signs, each once. Each line, also
// as the address of a socket:// link, is taken as a link: a refusal names the text, and a network
// link has a host and a port.

#include "linktarget.h"
#include "signlist.h"

#include "invariant.h"

#include <QByteArray>
#include <QSet>

#include <algorithm>
#include <cstdint>

using namespace orvane;
using orvane::fuzz::fail;

namespace {

bool hasControls(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

void checkLink(const QString& text) {
    const Result<LinkTarget> link = LinkTarget::parse(text);
    if (!link) {
        const QString error = link.error();
        if (!hasControls(text) && !error.startsWith(text + QStringLiteral(": ")))
            fail("a refused link that is not named");
        if (hasControls(error))
            fail("a control character in a message");
        return;
    }
    if (hasControls(text))
        fail("a link with a control character accepted");
    if (link->kind == LinkTarget::Kind::Network &&
        (link->address.host.isEmpty() || link->address.port == 0 ||
         !isNetworkName(link->address.text())))
        fail("a network link without a host or a port");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& line : input.split('\n')) {
        const QString text = QString::fromUtf8(line);
        checkLink(text);
        checkLink(QStringLiteral("socket://") + text);
    }
    const Result<SignList> list = parseSigns(QStringLiteral("signs.conf"), input);
    if (!list) {
        if (!list.refusal().reason.startsWith(QLatin1String("line ")))
            fail("a refusal that names no line");
        return 0;
    }
    QStringList names;
    for (const SignList::Entry& entry : list->entries) {
        if (!isSignName(entry.name) || list->find(entry.name) != &entry)
            fail("a name that is not found as itself");
        for (const QString& member : entry.members)
            if (!list->find(member))
                fail("a group with an unknown member");
        names << entry.name;
    }
    const Result<QList<SignDevice>> all = list->expand(names);
    if (!all)
        fail("a name of the file that does not expand");
    QSet<QString> signs;
    for (const SignDevice& sign : *all) {
        const SignList::Entry* entry = list->find(sign.name);
        if (!entry || !entry->members.isEmpty() || signs.contains(sign.name))
            fail("an expansion that is no sign, or one sign twice");
        signs.insert(sign.name);
    }
    for (const SignList::Entry& entry : list->entries) {
        if (list->one(entry.name).ok() != entry.members.isEmpty())
            fail("one() takes a group or refuses a sign");
    }
    return 0;
}
