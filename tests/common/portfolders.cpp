#include "portfolders.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace orvane::testing {

bool PortFolders::link(const QString& name, const QString& target) {
    return QDir().mkpath(QFileInfo(device(name)).path()) && QFile::link(target, device(name));
}

bool PortFolders::writeSysfs(const QString& path, const QByteArray& text) {
    QFile file(dir_.filePath("sys/" + path));
    return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

bool PortFolders::setDeviceNumber(const QString& name, const QString& device) {
    struct stat st {};
    return ::stat(QFile::encodeName(device).constData(), &st) == 0 &&
           writeSysfs(name + "/dev", QByteArray::number(major(st.st_rdev)) + ':' +
                                         QByteArray::number(minor(st.st_rdev)) + '\n');
}

} // namespace orvane::testing
