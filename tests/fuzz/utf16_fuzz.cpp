#include "folders/utf16.hpp"
#include "folders/utf8.hpp"
#include "fuzz_check.hpp"

using namespace gantrylux;

// The conversions the Windows program hands every path and name through. The bytes are read
// once as UTF-8 text and once as UTF-16 units, two bytes a unit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Text(data, size);
    const std::optional<std::u16string> wide = Utf8ToUtf16<char16_t>(text);
    FUZZ_CHECK(wide.has_value() == IsValidUtf8(text));
    FUZZ_CHECK(Utf16Length(text) == (wide ? wide->size() : text.size()));
    if (wide) {
        const Utf8Text back = Utf16ToUtf8(std::u16string_view(*wide));
        FUZZ_CHECK(back.exact && back.text == text);
    }

    std::u16string units;
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        units += static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    }
    const Utf8Text narrowed = Utf16ToUtf8(std::u16string_view(units));
    FUZZ_CHECK(IsValidUtf8(narrowed.text));
    const std::optional<std::u16string> again = Utf8ToUtf16<char16_t>(narrowed.text);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(!narrowed.exact || *again == units);
    return 0;
}
