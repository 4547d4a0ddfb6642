#include "folders/utf8.hpp"
#include "fuzz_check.hpp"

using namespace gantrylux;

namespace {

// The well-formed byte sequences as the Unicode standard tables them (lead byte, then the
// range each following byte must fall in), a second reading to hold the fast one against.
bool TableSaysValid(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned lead = bytes[i];
        unsigned low = 0x80, high = 0xBF;
        std::size_t length = 1;
        if (lead <= 0x7F) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (length > size - i) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned next = bytes[i + k];
            const unsigned from = k == 1 ? low : 0x80;
            const unsigned to = k == 1 ? high : 0xBF;
            if (next < from || next > to) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Text(data, size);
    FUZZ_CHECK(IsValidUtf8(text) == TableSaysValid(text));
    return 0;
}
