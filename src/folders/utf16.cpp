#include "folders/utf16.hpp"

#include "folders/utf8.hpp"

namespace gantrylux {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(char32_t point, std::string& out) {
    const auto byte = [&out](char32_t value) { out += static_cast<char>(value); };
    if (point < 0x80) {
        byte(point);
    } else if (point < 0x800) {
        byte(0xC0 | (point >> 6));
        byte(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        byte(0xE0 | (point >> 12));
        byte(0x80 | ((point >> 6) & 0x3F));
        byte(0x80 | (point & 0x3F));
    } else {
        byte(0xF0 | (point >> 18));
        byte(0x80 | ((point >> 12) & 0x3F));
        byte(0x80 | ((point >> 6) & 0x3F));
        byte(0x80 | (point & 0x3F));
    }
}

}  // namespace

std::size_t Utf16Length(std::string_view text) {
    if (!IsValidUtf8(text)) {
        return text.size();
    }
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {
            units += byte >= 0xF0 ? 2 : 1;  // four bytes make a surrogate pair
        }
    }
    return units;
}

template <typename Unit>
std::optional<std::basic_string<Unit>> Utf8ToUtf16(std::string_view text) {
    if (!IsValidUtf8(text)) {
        return std::nullopt;
    }
    std::basic_string<Unit> out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        }
        at += length;
        if (point < 0x10000) {
            out += static_cast<Unit>(point);
        } else {
            point -= 0x10000;
            out += static_cast<Unit>(0xD800 + (point >> 10));
            out += static_cast<Unit>(0xDC00 + (point & 0x3FF));
        }
    }
    return out;
}

template <typename Unit>
Utf8Text Utf16ToUtf8(std::basic_string_view<Unit> text) {
    Utf8Text out;
    out.text.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        // Only the low 16 bits are a unit: a wider wchar_t holds nothing above them here.
        const char32_t unit = static_cast<char32_t>(text[at]) & 0xFFFF;
        char32_t point = unit;
        if (IsHighSurrogate(unit) && at + 1 < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[at + 1]) & 0xFFFF)) {
            const char32_t low = static_cast<char32_t>(text[++at]) & 0xFFFF;
            point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            point = kReplacement;
            out.exact = false;
        }
        AppendUtf8(point, out.text);
    }
    return out;
}

template std::optional<std::u16string> Utf8ToUtf16<char16_t>(std::string_view);
template std::optional<std::wstring> Utf8ToUtf16<wchar_t>(std::string_view);
template Utf8Text Utf16ToUtf8<char16_t>(std::u16string_view);
template Utf8Text Utf16ToUtf8<wchar_t>(std::wstring_view);

}  // namespace gantrylux
