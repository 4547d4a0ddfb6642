#pragma once

#include <string>
#include <string_view>

#include "app/window_layout.hpp"

namespace gantrylux {

// The caption with its access key marked as both toolkits mark it: "&" before the first letter
// that matches the key (either case), any "&" of the caption itself doubled. A key the caption
// does not hold marks nothing.
std::string CaptionWithAccessKey(std::string_view caption, char accessKey);

// The caption as the user reads it: the mark taken out, "&&" back to "&".
std::string CaptionWithoutAccessKey(std::string_view marked);

// The window table's control of that name; throws std::logic_error for a name it lacks.
const ControlLayout& LaidOutControl(std::string_view name);

// What a screen reader calls the control: its own accessible name, or else its caption.
std::string_view AccessibleName(const ControlLayout& control);

}  // namespace gantrylux
