#include "lists/path_list.hpp"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace gantrylux {

void PathList::checkPosition(std::size_t position) const {
    if (position < 1 || position > texts_->size()) {
        throw std::out_of_range("Index out of bounds: row " + std::to_string(position) +
                                " of a list of " + std::to_string(texts_->size()) + " rows");
    }
}

// Texts that another holder shares (a merge keeps the candidates it built) are copied first, so
// that holder never sees them change.
PackedTexts& PathList::own() {
    if (texts_.use_count() != 1) {
        texts_ = std::make_shared<PackedTexts>(*texts_);
    }
    return *texts_;
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

std::string_view PathList::at(std::size_t position) const {
    checkPosition(position);
    return (*texts_)[position - 1];
}

void PathList::setAt(std::size_t position, std::string_view text) {
    checkPosition(position);
    own().replace(position - 1, text);
    notify([&](PathListObserver& o) { o.changed(position, position); });
}

void PathList::append(std::string_view text) {
    const std::size_t first = texts_->size() + 1;
    notify([&](PathListObserver& o) { o.aboutToAppend(first, 1); });
    own().push_back(text);
    notify([&](PathListObserver& o) { o.appended(first, 1); });
}

void PathList::append(std::span<const std::string> texts) {
    if (texts.empty()) {
        return;
    }
    const std::size_t first = texts_->size() + 1;
    notify([&](PathListObserver& o) { o.aboutToAppend(first, texts.size()); });
    PackedTexts& own = this->own();
    for (const std::string& text : texts) {
        own.push_back(text);
    }
    notify([&](PathListObserver& o) { o.appended(first, texts.size()); });
}

void PathList::removeAt(std::size_t position) {
    checkPosition(position);
    notify([&](PathListObserver& o) { o.aboutToRemove(position); });
    own().erase(position - 1);
    notify([&](PathListObserver& o) { o.removed(position); });
}

void PathList::clear() {
    ++clears_;
    assign(PackedTexts{});
}

void PathList::assign(PackedTexts texts) {
    assign(std::make_shared<PackedTexts>(std::move(texts)));
}

void PathList::assign(std::shared_ptr<PackedTexts> texts) {
    notify([](PathListObserver& o) { o.aboutToReset(); });
    texts_ = std::move(texts);
    notify([](PathListObserver& o) { o.reset(); });
}

void PathList::swap(std::size_t a, std::size_t b) {
    checkPosition(a);
    checkPosition(b);
    const std::string first((*texts_)[a - 1]);
    const std::string second((*texts_)[b - 1]);
    own().replace(a - 1, second);
    own().replace(b - 1, first);
    notify([&](PathListObserver& o) { o.changed(std::min(a, b), std::max(a, b)); });
}

void PathList::addObserver(PathListObserver& observer) {
    observers_.push_back(&observer);
}

void PathList::removeObserver(PathListObserver& observer) {
    std::erase(observers_, &observer);
}

}  // namespace gantrylux
