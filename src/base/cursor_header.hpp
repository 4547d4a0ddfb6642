#pragma once

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
    bool cursor = false;  // a ".cur" file (type 2) rather than an ".ico" (type 1)
    std::string_view imageBytes;
};

// Reads the directory of a ".cur" (type 2) or ".ico" (type 1) file and gives its first image,
// or nothing when the bytes are not such a file. Icons have no hot spot: theirs is the centre.
std::optional<CursorImage> ReadCursorFile(std::string_view bytes);

}  // namespace gantrylux
