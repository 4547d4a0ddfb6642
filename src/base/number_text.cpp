#include "base/number_text.hpp"

#include <algorithm>
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

// The power of ten of the first digit that is not zero: 2 for "123", -3 for "0.001". The text
// is a valid unsigned decimal whose value is not zero; the exponent saturates far beyond any
// double's range.
long long LeadingPower(std::string_view text) {
    constexpr long long kFarBeyondRange = 1'000'000'000;
    const std::size_t e = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    long long power = first < point ? static_cast<long long>(point - first) - 1
                                    : -static_cast<long long>(first - point);
    if (e != std::string_view::npos) {
        std::string_view exponent = text.substr(e + 1);
        const bool negative = exponent.front() == '-';
        if (exponent.front() == '+' || negative) {
            exponent.remove_prefix(1);
        }
        long long value = 0;
        for (const char digit : exponent) {
            value = std::min(value * 10 + (digit - '0'), kFarBeyondRange);
        }
        power += negative ? -value : value;
    }
    return power;
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
    if (error == std::errc::result_out_of_range && LeadingPower(body) < 0) {
        return 0;  // too small to tell from zero: no overflow
    }
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
