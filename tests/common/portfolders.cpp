#include "portfolders.h"

#include "porttable.h"

#include <QDir>
#include <QFile>

namespace orvane::testing {

PortFolders::PortFolders() {
    QDir dir(dir_.path());
    dir.mkdir(QStringLiteral("dev"));
    dir.mkdir(QStringLiteral("sys"));
    PortTable::setDeviceFolder(dir.filePath(QStringLiteral("dev")));
    PortTable::setSysfsFolder(dir.filePath(QStringLiteral("sys")));
}

PortFolders::~PortFolders() {
    PortTable::setDeviceFolder({});
    PortTable::setSysfsFolder({});
}

QString PortFolders::device(const QString& name) const {
    return dir_.filePath(QStringLiteral("dev/") + name);
}

bool PortFolders::link(const QString& name, const QString& target) {
    return QFile::link(target, device(name));
}

bool PortFolders::setUartType(const QString& name, int type) {
    const QString folder = dir_.filePath(QStringLiteral("sys/") + name);
    QFile file(folder + QStringLiteral("/type"));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
           file.write(QByteArray::number(type) + '\n') > 0;
}

} // namespace orvane::testing
