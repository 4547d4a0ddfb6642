#include "ui/cursor_file.hpp"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <stdexcept>
#include <string>

namespace gantrylux {
namespace {

unsigned Word(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::uint32_t DoubleWord(std::string_view bytes, std::size_t at) {
    return Word(bytes, at) | static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

}  // namespace

std::optional<CursorImage> ReadCursorFile(std::string_view bytes) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (bytes.size() < kHeader + kEntry || Word(bytes, 0) != 0) {
        return std::nullopt;
    }
    const unsigned type = Word(bytes, 2);
    if ((type != 1 && type != 2) || Word(bytes, 4) == 0) {
        return std::nullopt;
    }
    const std::size_t entry = kHeader;
    CursorImage image;
    // A stored width or height of 0 means 256.
    image.width = bytes[entry] == 0 ? 256 : static_cast<unsigned char>(bytes[entry]);
    image.height = bytes[entry + 1] == 0 ? 256 : static_cast<unsigned char>(bytes[entry + 1]);
    if (type == 2) {
        image.hotspotX = static_cast<int>(Word(bytes, entry + 4));
        image.hotspotY = static_cast<int>(Word(bytes, entry + 6));
    } else {
        image.hotspotX = image.width / 2;
        image.hotspotY = image.height / 2;
    }
    const std::uint32_t size = DoubleWord(bytes, entry + 8);
    const std::uint32_t offset = DoubleWord(bytes, entry + 12);
    if (offset > bytes.size() || size > bytes.size() - offset || size == 0 ||
        image.hotspotX >= image.width || image.hotspotY >= image.height) {
        return std::nullopt;
    }
    image.imageBytes = bytes.substr(offset, size);
    return image;
}

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
        QImageReader reader(&buffer, Word(view, 2) == 2 ? "cur" : "ico");
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
