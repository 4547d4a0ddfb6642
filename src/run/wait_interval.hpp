#pragma once

#include "ports/clock.hpp"
#include "ports/desktop.hpp"

namespace gantrylux {

// Waits the given seconds on the monotonic clock while the window handles its events, sleeping
// between them. A wait of 0 or less returns at once; a longer one never ends early, and ends
// once the interval has passed even if a handler run inside it took longer. It ends at once
// when the program is closing.
void WaitInterval(int seconds, const Clock& clock, Desktop& desktop);

}  // namespace gantrylux
