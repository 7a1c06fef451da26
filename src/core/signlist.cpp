#include "signlist.h"

#include "boundedfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace orvane {

namespace {

// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::Signs)
};

// A signs file is a few lines a sign; more than this is not one.
constexpr qint64 MaxFileBytes = 1 << 20;

// "port", "port 6", "Port x y": meant as a numbered port.
bool isPortForm(const QString& value) {
    return value.startsWith(QLatin1String("port"), Qt::CaseInsensitive) &&
           (value.size() == 4 || value[4].isSpace());
}

// Visits the signs and groups `start` reaches, depth first in the file's order, without
// recursion (a chain of groups may be as long as the file): enter(entry, way down) says whether
// to go into an entry's members.
template <typename Enter>
void walk(const SignList& list, const SignList::Entry& start, Enter enter) {
    struct Level {
        const SignList::Entry* entry;
        qsizetype next = 0;
    };
    QList<Level> way;
    if (enter(start, way.size()))
        way.append({&start});
    while (!way.isEmpty()) {
        Level& level = way.last();
        if (level.next == level.entry->members.size()) {
            way.removeLast();
            continue;
        }
        const SignList::Entry* member = list.find(level.entry->members[level.next++]);
        if (enter(*member, way.size()))
            way.append({member});
    }
}

// The first group, in the file's order, that contains itself, with the way it does.
const SignList::Entry* firstCycle(const SignList& list, QStringList* way) {
    enum class State { New, Open, Done };
    QHash<QString, State> state;
    for (const SignList::Entry& entry : list.entries) {
        if (state.value(entry.name) != State::New)
            continue;
        QStringList down; // the names on the way from `entry`
        const SignList::Entry* cycle = nullptr;
        walk(list, entry, [&](const SignList::Entry& e, qsizetype depth) {
            while (down.size() > depth)
                state[down.takeLast()] = State::Done;
            if (cycle)
                return false;
            const State s = state.value(e.name);
            if (s == State::Open) {
                cycle = list.find(e.name);
                *way = down.mid(down.indexOf(e.name)) << e.name;
            }
            if (s != State::New)
                return false;
            state[e.name] = State::Open;
            down << e.name;
            return true;
        });
        for (const QString& name : std::as_const(down))
            state[name] = State::Done;
        if (cycle)
            return cycle;
    }
    return nullptr;
}

} // namespace

bool isDevicePath(const QString& text) {
#if defined(Q_OS_WIN)
    static const QRegularExpression com(QStringLiteral("^COM[0-9]+$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (com.match(text).hasMatch() || text.startsWith(QLatin1String("\\\\.\\")))
        return true;
#endif
    return text.startsWith(QLatin1Char('/')) || QDir::isAbsolutePath(text);
}

QString SignDevice::text() const {
    return device.isEmpty() ? QStringLiteral("port %1").arg(port) : device;
}

bool isSignName(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
               c == QLatin1Char('.');
    });
}

const SignList::Entry* SignList::find(const QString& name) const {
    const qsizetype at = index.value(name, -1);
    return at < 0 ? nullptr : &entries[at];
}

Result<QList<SignDevice>> SignList::expand(const QStringList& names) const {
    QList<SignDevice> signs;
    QSet<QString> seen;
    const auto add = [&](const Entry& entry) {
        walk(*this, entry, [&](const Entry& e, qsizetype) {
            if (seen.contains(e.name))
                return false;
            seen.insert(e.name);
            if (e.members.isEmpty())
                signs << e.device;
            return true;
        });
    };
    for (const QString& name : names) {
        const Entry* entry = find(name);
        if (!entry) {
            QStringList known;
            for (const Entry& e : entries)
                known << e.name;
            return Refusal::because(
                known.isEmpty()
                    ? Text::tr("%1: no sign is named \"%2\": the file names none").arg(file, name)
                    : Text::tr("%1: no sign is named \"%2\"; the names are: %3")
                          .arg(file, name, known.join(QStringLiteral(", "))));
        }
        add(*entry);
    }
    return signs;
}

Result<SignDevice> SignList::one(const QString& name) const {
    const Result<QList<SignDevice>> signs = expand({name});
    if (!signs)
        return signs.refusal();
    if (find(name)->members.isEmpty())
        return signs->constFirst();
    QStringList names;
    for (const SignDevice& sign : *signs)
        names << sign.name;
    return Refusal::because(Text::tr("%1: \"%2\" is a group of the signs %3; name one sign")
                                .arg(file, name, names.join(QStringLiteral(", "))));
}

Result<SignList> loadSigns(const QString& fileName) {
    const Result<FileBytes> read = readBoundedFile(fileName, MaxFileBytes);
    if (!read)
        return read.refusal();
    if (read->truncated)
        return Refusal(
            fileName,
            Text::tr("the file is larger than %1 bytes; it is no signs file").arg(MaxFileBytes));
    return parseSigns(fileName, read->data);
}

Result<SignList> parseSigns(const QString& fileName, const QByteArray& bytes) {
    SignList list;
    list.file = fileName;
    const auto refuse = [&](int line, const QString& reason) {
        return Refusal(fileName, Text::tr("line %1: %2").arg(line).arg(reason));
    };
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromUtf8(bytes).split(lineEnd);
    for (int number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (number == 1 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return refuse(number, Text::tr("a line is NAME = DEVICE or NAME = NAME, NAME, ..."));
        SignList::Entry entry;
        entry.name = line.left(equals).trimmed();
        entry.line = number;
        const QString value = line.mid(equals + 1).trimmed();
        if (!isSignName(entry.name))
            return refuse(number, Text::tr("\"%1\" is no name: a name is letters, digits, "
                                           "\"-\", \"_\" and \".\"")
                                      .arg(entry.name));
        if (const SignList::Entry* first = list.find(entry.name))
            return refuse(
                number,
                Text::tr("\"%1\" is named on line %2 already").arg(entry.name).arg(first->line));
        if (value.isEmpty())
            return refuse(number, Text::tr("\"%1\" has no device").arg(entry.name));
        if (isPortForm(value)) {
            bool ok = false;
            const int port = value.mid(4).trimmed().toInt(&ok);
            if (!ok)
                return refuse(number, Text::tr("\"%1\": a port is given by its number, as \"port "
                                               "6\"")
                                          .arg(value));
            entry.device = {entry.name, port, {}};
        } else if (value.contains(QLatin1String("://")) || isDevicePath(value)) {
            entry.device = {entry.name, 0, value};
        } else {
            for (const QString& member : value.split(QLatin1Char(','))) {
                const QString name = member.trimmed();
                if (!isSignName(name))
                    return refuse(number,
                                  name.isEmpty()
                                      ? Text::tr("the group \"%1\" has an empty name in its list")
                                            .arg(entry.name)
                                      : Text::tr("\"%1\" is neither a device nor a name; a device "
                                                 "is \"port N\", socket://HOST:PORT, "
                                                 "rfc2217://HOST:PORT or an absolute path")
                                            .arg(name));
                entry.members << name;
            }
        }
        list.index.insert(entry.name, list.entries.size());
        list.entries << entry;
    }
    for (const SignList::Entry& entry : std::as_const(list.entries)) {
        for (const QString& member : entry.members)
            if (!list.find(member))
                return refuse(entry.line, Text::tr("the group \"%1\" names \"%2\", which is no "
                                                   "sign or group of this file")
                                              .arg(entry.name, member));
    }
    QStringList way;
    if (const SignList::Entry* group = firstCycle(list, &way))
        return refuse(group->line, Text::tr("the group \"%1\" contains itself: %2")
                                       .arg(group->name, way.join(QStringLiteral(" > "))));
    return list;
}

} // namespace orvane
