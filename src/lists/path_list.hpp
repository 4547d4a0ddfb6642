#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lists/packed_texts.hpp"

namespace gantrylux {

// Receives every change of a PathList. The "about to" calls come before the texts change and the
// others after, so that an item model can bracket the change the way its views expect.
// Positions are 1-based, like everywhere else in the lists.
class PathListObserver {
  public:
    virtual ~PathListObserver() = default;
    virtual void aboutToAppend(std::size_t /*first*/, std::size_t /*count*/) {}
    virtual void appended(std::size_t /*first*/, std::size_t /*count*/) {}
    virtual void aboutToRemove(std::size_t /*position*/) {}
    virtual void removed(std::size_t /*position*/) {}
    virtual void aboutToReset() {}
    virtual void reset() {}
    virtual void changed(std::size_t /*first*/, std::size_t /*last*/) {}
};

// An ordered list of path texts addressed by 1-based position. Rows are only ever appended;
// duplicates are allowed and comparisons are exact.
class PathList {
  public:
    std::size_t count() const noexcept { return texts_->size(); }
    bool empty() const noexcept { return texts_->empty(); }

    // Throws std::out_of_range, naming the position and the row count, outside 1..count().
    // The view is valid until the list next changes.
    std::string_view at(std::size_t position) const;
    void setAt(std::size_t position, std::string_view text);

    void append(std::string_view text);
    void append(std::span<const std::string> texts);
    void removeAt(std::size_t position);
    void clear();
    // Replaces every row at once: one reset for the views instead of a removal and an append.
    void assign(PackedTexts texts);
    // The same, sharing the texts with whoever else holds them: the list copies them before
    // it changes them.
    void assign(std::shared_ptr<PackedTexts> texts);
    void swap(std::size_t a, std::size_t b);

    // How many times the list has been cleared. A job that will add rows when it ends notes it
    // at its start: a clear since then means the user emptied the list meanwhile, and the job's
    // rows must not fill it again.
    std::uint64_t clears() const noexcept { return clears_; }

    // A copy of every row, for a snapshot that outlives later changes.
    std::vector<std::string> texts() const { return texts_->toStrings(); }
    const PackedTexts& packed() const noexcept { return *texts_; }

    // Observers are not owned; each must outlive the list or remove itself first.
    void addObserver(PathListObserver& observer);
    void removeObserver(PathListObserver& observer);

  private:
    void checkPosition(std::size_t position) const;
    template <typename Call>
    void notify(Call call);

    PackedTexts& own();

    std::shared_ptr<PackedTexts> texts_ = std::make_shared<PackedTexts>();
    std::uint64_t clears_ = 0;
    std::vector<PathListObserver*> observers_;
};

}  // namespace gantrylux
