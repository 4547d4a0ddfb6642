#include "lists/path_list.hpp"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace gantrylux {

void PathList::checkPosition(std::size_t position) const {
    if (position < 1 || position > texts_.size()) {
        throw std::out_of_range("Index out of bounds: row " + std::to_string(position) +
                                " of a list of " + std::to_string(texts_.size()) + " rows");
    }
}

// Every observer hears of every change even when one of them throws; the first failure is
// passed on afterwards, so a failing observer (a settings write, say) cannot leave a view
// out of step with the list.
template <typename Call>
void PathList::notify(Call call) {
    std::exception_ptr first;
    const auto observers = observers_;
    for (PathListObserver* observer : observers) {
        try {
            call(*observer);
        } catch (...) {
            if (!first) {
                first = std::current_exception();
            }
        }
    }
    if (first) {
        std::rethrow_exception(first);
    }
}

const std::string& PathList::at(std::size_t position) const {
    checkPosition(position);
    return texts_[position - 1];
}

void PathList::setAt(std::size_t position, std::string text) {
    checkPosition(position);
    texts_[position - 1] = std::move(text);
    notify([&](PathListObserver& o) { o.changed(position, position); });
}

void PathList::append(std::string text) {
    const std::size_t first = texts_.size() + 1;
    notify([&](PathListObserver& o) { o.aboutToAppend(first, 1); });
    texts_.push_back(std::move(text));
    notify([&](PathListObserver& o) { o.appended(first, 1); });
}

void PathList::append(std::span<const std::string> texts) {
    if (texts.empty()) {
        return;
    }
    const std::size_t first = texts_.size() + 1;
    notify([&](PathListObserver& o) { o.aboutToAppend(first, texts.size()); });
    texts_.insert(texts_.end(), texts.begin(), texts.end());
    notify([&](PathListObserver& o) { o.appended(first, texts.size()); });
}

void PathList::removeAt(std::size_t position) {
    checkPosition(position);
    notify([&](PathListObserver& o) { o.aboutToRemove(position); });
    texts_.erase(texts_.begin() + static_cast<std::ptrdiff_t>(position - 1));
    notify([&](PathListObserver& o) { o.removed(position); });
}

void PathList::clear() {
    assign({});
}

void PathList::assign(std::vector<std::string> texts) {
    notify([](PathListObserver& o) { o.aboutToReset(); });
    texts_ = std::move(texts);
    notify([](PathListObserver& o) { o.reset(); });
}

void PathList::swap(std::size_t a, std::size_t b) {
    checkPosition(a);
    checkPosition(b);
    std::swap(texts_[a - 1], texts_[b - 1]);
    notify([&](PathListObserver& o) { o.changed(std::min(a, b), std::max(a, b)); });
}

void PathList::addObserver(PathListObserver& observer) {
    observers_.push_back(&observer);
}

void PathList::removeObserver(PathListObserver& observer) {
    std::erase(observers_, &observer);
}

}  // namespace gantrylux
