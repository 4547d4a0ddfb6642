#include "lists/packed_texts.hpp"

namespace gantrylux {

void PackedTexts::reserve(std::size_t texts, std::size_t bytes) {
    ends_.reserve(texts);
    bytes_.reserve(bytes);
}

PackedTexts::Room PackedTexts::extend(std::size_t texts, std::size_t bytes) {
    const std::size_t offset = bytes_.size();
    const std::size_t first = ends_.size();
    bytes_.resize(offset + bytes);
    ends_.resize(first + texts);
    return {bytes_.data() + offset, ends_.data() + first, offset};
}

void PackedTexts::erase(std::size_t index) {
    replace(index, {});
    ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(index));
}

void PackedTexts::replace(std::size_t index, std::string_view text) {
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    const std::size_t oldLength = ends_[index] - begin;
    bytes_.replace(begin, oldLength, text);
    const auto shift =
        static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldLength);
    for (std::size_t i = index; i < ends_.size(); ++i) {
        ends_[i] = static_cast<std::uint64_t>(static_cast<std::int64_t>(ends_[i]) + shift);
    }
}

std::vector<std::string> PackedTexts::toStrings() const {
    std::vector<std::string> texts;
    texts.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) {
        texts.emplace_back((*this)[i]);
    }
    return texts;
}

}  // namespace gantrylux
