#include "base/cursor_header.hpp"

#include <cstdint>

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
    image.cursor = type == 2;
    // A stored width or height of 0 means 256.
    image.width = bytes[entry] == 0 ? 256 : static_cast<unsigned char>(bytes[entry]);
    image.height = bytes[entry + 1] == 0 ? 256 : static_cast<unsigned char>(bytes[entry + 1]);
    if (image.cursor) {
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

}  // namespace gantrylux
