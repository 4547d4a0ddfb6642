#include "app/hand_over.hpp"

#include <cstdint>

namespace gantrylux {
namespace {

constexpr std::string_view kTag = "GLX1";

void PutNumber(std::string& out, std::size_t number) {
    const auto value = static_cast<std::uint32_t>(number);
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

// Reads from the front of `in`, which it shortens; nothing when too little is left.
std::optional<std::uint32_t> TakeNumber(std::string_view& in) {
    if (in.size() < 4) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    }
    in.remove_prefix(4);
    return value;
}

bool TakePaths(std::string_view& in, std::uint32_t count, std::vector<std::string>& paths) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::optional<std::uint32_t> length = TakeNumber(in);
        if (!length || *length > in.size()) {
            return false;
        }
        paths.emplace_back(in.substr(0, *length));
        in.remove_prefix(*length);
    }
    return true;
}

}  // namespace

std::string PackHandOver(const HandOver& handOver) {
    std::string message(kTag);
    PutNumber(message, handOver.paths.size());
    PutNumber(message, handOver.notLocal.size());
    for (const auto* list : {&handOver.paths, &handOver.notLocal}) {
        for (const std::string& path : *list) {
            PutNumber(message, path.size());
            message += path;
        }
    }
    return message;
}

std::optional<HandOver> UnpackHandOver(std::string_view message) {
    if (!message.starts_with(kTag)) {
        return std::nullopt;
    }
    message.remove_prefix(kTag.size());
    const std::optional<std::uint32_t> paths = TakeNumber(message);
    const std::optional<std::uint32_t> notLocal = TakeNumber(message);
    // Every path takes at least its length: a count past that is a lie, not a reason to reserve.
    if (!paths || !notLocal || (std::uint64_t{*paths} + *notLocal) * 4 > message.size()) {
        return std::nullopt;
    }
    HandOver handOver;
    if (!TakePaths(message, *paths, handOver.paths) ||
        !TakePaths(message, *notLocal, handOver.notLocal) || !message.empty()) {
        return std::nullopt;
    }
    return handOver;
}

}  // namespace gantrylux
