#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace gantrylux {

// A text that cannot be read as the number or truth value it should hold.
class ConversionFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads a decimal number: blanks around it, an optional sign, digits with an optional fraction
// after "." (in every locale) and an optional exponent. Anything else throws ConversionFailure.
double ReadNumber(std::string_view text);

// "True" and "False" in any letter case, or a number (0 is false, any other true).
bool ReadTruthValue(std::string_view text);

}  // namespace gantrylux
