#include <cmath>

#include "base/number_text.hpp"
#include "fuzz_check.hpp"
#include "run/interval_text.hpp"

using namespace gantrylux;

// A typed interval or a hand-edited number in the settings: a value or ConversionFailure,
// never anything else.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Text(data, size);
    bool isNumber = false;
    double number = 0;
    try {
        number = ReadNumber(text);
        isNumber = true;
        FUZZ_CHECK(std::isfinite(number));
    } catch (const ConversionFailure&) {
    }
    try {
        const std::int16_t interval = ReadInterval(text);
        FUZZ_CHECK(isNumber);
        FUZZ_CHECK(std::fabs(interval - number) <= 0.5);
    } catch (const ConversionFailure&) {
        FUZZ_CHECK(!isNumber || std::fabs(number) > 32767);
    }
    try {
        const bool truth = ReadTruthValue(text);
        FUZZ_CHECK(!isNumber || truth == (number != 0));
    } catch (const ConversionFailure&) {
        FUZZ_CHECK(!isNumber);
    }
    return 0;
}
