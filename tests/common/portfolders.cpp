#include "portfolders.h"

#include "porttable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace orvane::testing {

PortFolders::PortFolders() {
    QDir dir(dir_.path());
    dir.mkdir(QStringLiteral("dev"));
    dir.mkdir(QStringLiteral("sys"));
}

QString PortFolders::device(const QString& name) const {
    return dir_.filePath(QStringLiteral("dev/") + name);
}

bool PortFolders::link(const QString& name, const QString& target) {
    return QDir().mkpath(QFileInfo(device(name)).path()) && QFile::link(target, device(name));
}

bool PortFolders::setUartType(const QString& name, int type) {
    return writeSysfs(name + QStringLiteral("/type"), QByteArray::number(type) + '\n');
}

bool PortFolders::writeSysfs(const QString& path, const QByteArray& text) {
    QFile file(dir_.filePath(QStringLiteral("sys/") + path));
    return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

bool PortFolders::setDeviceNumber(const QString& name, const QString& device) {
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0)
        return false;
    return writeSysfs(name + QStringLiteral("/dev"), QByteArray::number(major(st.st_rdev)) + ':' +
                                                         QByteArray::number(minor(st.st_rdev)) +
                                                         '\n');
}

} // namespace orvane::testing
