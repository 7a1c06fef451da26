#include "imagemaker.h"

#include <QtEndian>

#include <zlib.h>

namespace orvane::testing {

template <typename T> static QByteArray big(T v) {
    QByteArray b(sizeof v, '\0');
    qToBigEndian(v, b.data());
    return b;
}

static QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()));
    return big(quint32(data.size())) + body + big(quint32(crc));
}

static QByteArray jpegSegment(char marker, const QByteArray& payload) {
    return QByteArray(1, '\xff') + marker + big(quint16(payload.size() + 2)) + payload;
}

QByteArray pngImage(QSize size) {
    const QByteArray header =
        big(quint32(size.width())) + big(quint32(size.height())) + QByteArray("\x08\x06\0\0\0", 5);
    const QByteArray raw(qsizetype(size.height()) * (1 + 4 * qsizetype(size.width())), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", qCompress(raw, 9).mid(4)) + pngChunk("IEND", {});
}

QByteArray jpegImage(QSize size) {
    const QByteArray table = '\1' + QByteArray(16, '\0'); // one code of one bit, for symbol 0
    const qint64 bits = qint64((size.width() + 7) / 8) * ((size.height() + 7) / 8) * 3 * 2;
    return "\xff\xd8" + jpegSegment('\xdb', '\0' + QByteArray(64, '\1')) +
           jpegSegment('\xc0', '\x08' + big(quint16(size.height())) + big(quint16(size.width())) +
                                   QByteArray("\3\1\x11\0\2\x11\0\3\x11\0", 10)) +
           jpegSegment('\xc4', '\0' + table) + jpegSegment('\xc4', '\x10' + table) +
           jpegSegment('\xda', QByteArray("\3\1\0\2\0\3\0\0\x3f\0", 10)) +
           QByteArray(bits / 8, '\0') + QByteArray(bits % 8 ? 1 : 0, char(0xFF >> bits % 8)) +
           "\xff\xd9";
}

} // namespace orvane::testing
