#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "folders/walk_arena.hpp"

namespace gantrylux {

// Texts stored back to back in one buffer, each found by where it ends. A list of a million
// paths then costs its bytes plus eight per path, instead of a string object and a heap block
// for each one.
class PackedTexts {
  public:
    std::size_t size() const noexcept { return ends_.size(); }
    bool empty() const noexcept { return ends_.empty(); }
    std::size_t byteSize() const noexcept { return bytes_.size(); }

    // 0-based.
    std::string_view operator[](std::size_t index) const noexcept {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(bytes_).substr(begin, ends_[index] - begin);
    }

    void push_back(std::string_view text) {
        bytes_.append(text);
        ends_.push_back(bytes_.size());
    }
    // Appends the concatenation of two texts as one, without building it first.
    void push_back(std::string_view head, std::string_view tail) {
        bytes_.append(head);
        bytes_.append(tail);
        ends_.push_back(bytes_.size());
    }

    // Room at the end for `texts` more texts of `bytes` bytes in all, to be filled in any order,
    // from several threads at once: text i of the room (0-based) goes to its bytes, and its end
    // (where it ends, counted from the start of the whole list's bytes) to ends[i]. The list
    // holds garbage until the room is filled.
    struct Room {
        char* bytes;
        std::uint64_t* ends;
        std::uint64_t offset;  // of the room's first byte in the list's bytes
    };
    Room extend(std::size_t texts, std::size_t bytes);

    void erase(std::size_t index);
    void replace(std::size_t index, std::string_view text);
    void clear() noexcept {
        bytes_.clear();
        ends_.clear();
    }
    // Room for at least this many texts and bytes in all.
    void reserve(std::size_t texts, std::size_t bytes);
    // Gives back what the buffers hold beyond their content.
    void shrink_to_fit() {
        bytes_.shrink_to_fit();
        ends_.shrink_to_fit();
    }
    std::size_t capacityBytes() const noexcept {
        return bytes_.capacity() + ends_.capacity() * sizeof(std::uint64_t);
    }

    std::vector<std::string> toStrings() const;

  private:
    // A large list is filled at once, so large buffers are backed by large pages where the
    // system offers them.
    std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>> bytes_;
    std::vector<std::uint64_t, LargePageAllocator<std::uint64_t>> ends_;
};

}  // namespace gantrylux
