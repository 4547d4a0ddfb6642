#pragma once

#include <QCursor>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gantrylux {

// One image of a cursor or icon file: where the pointer's hot spot is, and the image's own
// bytes (a PNG, or a device-independent bitmap without its file header).
struct CursorImage {
    int width = 0;
    int height = 0;
    int hotspotX = 0;
    int hotspotY = 0;
    std::string_view imageBytes;
};

// Reads the directory of a ".cur" (type 2) or ".ico" (type 1) file and gives its first image,
// or nothing when the bytes are not such a file. Icons have no hot spot: theirs is the centre.
std::optional<CursorImage> ReadCursorFile(std::string_view bytes);

// A pointer from a cursor or icon file, its hot spot as the file gives it (Qt's own image
// readers drop it). Throws when the file cannot be read as one.
QCursor LoadCursorFile(const QString& path);

}  // namespace gantrylux
