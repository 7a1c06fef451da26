// Writes the hostile images of imagemaker.h into a folder: write-hostile-images FOLDER.

#include "imagemaker.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-hostile-images FOLDER\n");
        return 2;
    }
    const QDir folder(QFile::decodeName(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "write-hostile-images: %s: cannot make the folder\n", argv[1]);
        return 1;
    }
    for (const auto& [name, bytes] : orvane::testing::hostileImages()) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "write-hostile-images: %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
