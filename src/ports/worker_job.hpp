#pragma once

#include <functional>
#include <stop_token>

namespace gantrylux {

// What every Desktop::runInBackground shares: the job runs on a worker thread while `wait`
// handles the window's events on the calling thread; the worker calls `finished` as the job
// ends, which must make `wait` return. When `wait` returns early (the program is closing), the
// job is asked to stop and its end is awaited. A failure of the job is rethrown here.
void RunOnWorker(const std::function<void(std::stop_token)>& job,
                 const std::function<void()>& finished, const std::function<void()>& wait);

}  // namespace gantrylux
