#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gantrylux {

// What a second launch hands to the window already running: the paths of its command line,
// absolute, and the file:// URLs of other machines that name no file here. Each path is the
// bytes it is (on Windows, its UTF-16 code units as bytes), never reinterpreted as text.
struct HandOver {
    std::vector<std::string> paths;
    std::vector<std::string> notLocal;

    bool operator==(const HandOver&) const = default;
};

// The hand-over as one message: a tag, the two counts, then each path after its length, every
// number four bytes, least significant first.
std::string PackHandOver(const HandOver& handOver);

// The hand-over a message holds; nothing for a message that is not one, cut short, or longer
// than what it says it holds.
std::optional<HandOver> UnpackHandOver(std::string_view message);

}  // namespace gantrylux
