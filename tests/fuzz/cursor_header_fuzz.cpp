#include "base/cursor_header.hpp"
#include "fuzz_check.hpp"

using namespace gantrylux;

// A pointer file beside the program, which anyone may have replaced.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Text(data, size);
    const auto image = ReadCursorFile(bytes);
    if (!image) {
        return 0;
    }
    FUZZ_CHECK(!image->imageBytes.empty());
    FUZZ_CHECK(image->imageBytes.data() >= bytes.data() &&
               image->imageBytes.data() + image->imageBytes.size() <= bytes.data() + bytes.size());
    FUZZ_CHECK(image->width >= 1 && image->width <= 256);
    FUZZ_CHECK(image->height >= 1 && image->height <= 256);
    FUZZ_CHECK(image->hotspotX >= 0 && image->hotspotX < image->width);
    FUZZ_CHECK(image->hotspotY >= 0 && image->hotspotY < image->height);
    return 0;
}
