#include "ports/worker_job.hpp"

#include <exception>
#include <thread>

namespace gantrylux {

void RunOnWorker(const std::function<void(std::stop_token)>& job,
                 const std::function<void()>& finished, const std::function<void()>& wait) {
    std::exception_ptr failure;
    {
        std::jthread worker([&](std::stop_token stop) {
            try {
                job(stop);
            } catch (...) {
                failure = std::current_exception();
            }
            finished();
        });
        wait();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace gantrylux
