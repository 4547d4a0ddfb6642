#include "app/number_text.hpp"

#include <cctype>
#include <charconv>
#include <cmath>

namespace gantrylux {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

// True when the whole text is digits[.digits][e[sign]digits] with at least one mantissa digit.
bool IsUnsignedDecimal(std::string_view text) {
    std::size_t at = SkipDigits(text, 0);
    std::size_t mantissaDigits = at;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fractionStart = at + 1;
        at = SkipDigits(text, fractionStart);
        mantissaDigits += at - fractionStart;
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        const std::size_t exponentStart = at;
        at = SkipDigits(text, at);
        if (at == exponentStart) {
            return false;
        }
    }
    return at == text.size();
}

[[noreturn]] void ThrowNotANumber(std::string_view text) {
    throw ConversionFailure("Type mismatch: \"" + std::string(text) + "\" is not a number");
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::string_view body = TrimBlanks(text);
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    if (!IsUnsignedDecimal(body)) {
        ThrowNotANumber(text);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(value)) {
        throw ConversionFailure("Overflow: \"" + std::string(text) + "\" is too large a number");
    }
    return negative ? -value : value;
}

bool ReadTruthValue(std::string_view text) {
    const std::string_view body = TrimBlanks(text);
    if (EqualsIgnoringCase(body, "True")) {
        return true;
    }
    if (EqualsIgnoringCase(body, "False")) {
        return false;
    }
    return ReadNumber(text) != 0;
}

}  // namespace gantrylux
