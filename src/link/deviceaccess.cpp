#include "deviceaccess.h"

#include <QCoreApplication>
#include <QtGlobal>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace orvane {

namespace {
// The translation context of this file's messages.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(orvane::SerialPort)
};
} // namespace

#if defined(Q_OS_WIN)

QString permissionAdvice(const QString&) {
    return {};
}

#else

namespace {

// Whether the current process already holds group `gid`.
bool sessionHasGroup(gid_t gid) {
    if (getegid() == gid)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int n = getgroups(count, groups.data());
    for (int i = 0; i < n; ++i)
        if (groups[size_t(i)] == gid)
            return true;
    return false;
}

} // namespace

QString permissionAdvice(const QString& device) {
    const QByteArray path = device.toLocal8Bit();
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || ::access(path.constData(), W_OK) == 0 ||
        errno != EACCES)
        return {};

    const group* owner = ::getgrgid(st.st_gid);
    const QString groupName =
        owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(st.st_gid);
    const passwd* me = ::getpwuid(::geteuid());
    const QString user = me ? QString::fromLocal8Bit(me->pw_name) : Text::tr("$USER");

    if (sessionHasGroup(st.st_gid))
        return Text::tr("%1 does not allow writing, not even to its group \"%2\"; ask the "
                        "administrator to check its permissions.")
            .arg(device, groupName);
    QString text = Text::tr("%1 belongs to group \"%2\", and user \"%3\" is not in it in "
                            "this session. ")
                       .arg(device, groupName, user);
    if (me) {
        int count = 64;
        std::vector<gid_t> groups(static_cast<size_t>(count));
        if (::getgrouplist(me->pw_name, me->pw_gid, groups.data(), &count) >= 0)
            for (int i = 0; i < count; ++i)
                if (groups[size_t(i)] == st.st_gid)
                    return text + Text::tr("The user was added to the group after logging "
                                           "in: log out and in again.");
    }
    return text + Text::tr("Add the user to the group with \"sudo usermod -aG %1 %2\", then "
                           "log out and in again.")
                      .arg(groupName, user);
}

#endif

} // namespace orvane
