#include "ui/cursor_file.hpp"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gantrylux {

QCursor LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("Cannot read the pointer image " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
    }
    const QByteArray bytes = file.readAll();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const auto image = ReadCursorFile(view);
    QImage picture;
    if (image) {
        // The whole file goes to Qt's icon reader, which decodes an entry in either form: a PNG,
        // or a bitmap without a file header and with its transparency mask after it, which no
        // plain image reader takes.
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, image->cursor ? "cur" : "ico");
        reader.setAutoDetectImageFormat(false);
        picture = reader.read();
    }
    if (!image || picture.isNull()) {
        throw std::runtime_error("The pointer image " + path.toStdString() +
                                 " is not a cursor or icon file");
    }
    return QCursor(QPixmap::fromImage(picture), image->hotspotX, image->hotspotY);
}

}  // namespace gantrylux
