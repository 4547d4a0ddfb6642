#include "lists/packed_texts.hpp"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace gantrylux {
namespace {

// Filling a buffer of hundreds of megabytes page by page costs a fault every 4 KiB, more time
// than copying the bytes; with 2 MiB pages it costs one fault per 2 MiB. Only the part of the
// buffer that covers whole large pages can take them. Advice only: a refusal changes nothing.
void AdviseLargePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef __linux__
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (bytes < 2 * kLargePage) {
        return;
    }
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kLargePage - 1);
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#endif
}

}  // namespace

void PackedTexts::reserve(std::size_t texts, std::size_t bytes) {
    const bool endsGrow = texts > ends_.capacity();
    const bool bytesGrow = bytes > bytes_.capacity();
    ends_.reserve(texts);
    bytes_.reserve(bytes);
    if (endsGrow) {
        AdviseLargePages(ends_.data(), ends_.capacity() * sizeof(std::uint64_t));
    }
    if (bytesGrow) {
        AdviseLargePages(bytes_.data(), bytes_.capacity());
    }
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
