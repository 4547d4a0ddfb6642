#pragma once

#include <functional>

namespace gantrylux {

// How many long operations are running. The window shows the hourglass while the depth is
// above zero; nested operations each hold a BusyGuard, so the inner one ending cannot clear
// the outer one's busy state.
class BusyCounter {
  public:
    // Called with true when the depth leaves zero and with false when it returns to zero.
    explicit BusyCounter(std::function<void(bool)> onBusyChanged)
        : onBusyChanged_(std::move(onBusyChanged)) {}

    bool busy() const noexcept { return depth_ > 0; }
    int depth() const noexcept { return depth_; }

    // For an operation whose end comes later, in another handler; a scope uses BusyGuard.
    void enter();
    void leave();

  private:
    std::function<void(bool)> onBusyChanged_;
    int depth_ = 0;
};

class BusyGuard {
  public:
    explicit BusyGuard(BusyCounter& counter) : counter_(counter) { counter_.enter(); }
    ~BusyGuard() { counter_.leave(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    BusyCounter& counter_;
};

inline void BusyCounter::enter() {
    if (depth_++ == 0 && onBusyChanged_) {
        onBusyChanged_(true);
    }
}

inline void BusyCounter::leave() {
    if (--depth_ == 0 && onBusyChanged_) {
        onBusyChanged_(false);
    }
}

}  // namespace gantrylux
