#include "folders/folder_reader.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace gantrylux {

FolderReader::FolderReader(const FileSystem& fs, unsigned threads, std::stop_token stop)
    : fs_(fs), threads_(std::max(threads, 1u)), stop_(std::move(stop)) {}

FolderReader::~FolderReader() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    helpers_.clear();
}

ArenaPtr<FolderRead> FolderReader::newRead() {
    ArenaPtr<FolderRead> read = MakeInArena<FolderRead>(arena_);
    read->memory = &arena_;
    return read;
}

std::string_view FolderReader::key(std::string_view folder) {
    const char separator = fs_.separator();
    while (folder.size() > 1 && folder.back() == separator) {
        folder.remove_suffix(1);
    }
    const char pair[] = {separator, separator};
    const std::string_view doubled(pair, 2);
    std::size_t from = folder.find(doubled);
    if (from == std::string_view::npos) {
        return folder;
    }
    char* key = static_cast<char*>(scratch_.allocate(folder.size(), 1));
    std::size_t length = 0;
    const auto append = [&](std::string_view part) {
        std::memcpy(key + length, part.data(), part.size());
        length += part.size();
    };
    append(folder.substr(0, from + 1));
    from = folder.find_first_not_of(separator, from);
    for (;;) {
        const std::size_t at = folder.find(doubled, from);
        if (at == std::string_view::npos) {
            append(folder.substr(from));
            return {key, length};
        }
        append(folder.substr(from, at + 1 - from));
        from = folder.find_first_not_of(separator, at);
    }
}

const FolderRead* FolderReader::find(std::string_view key) const {
    const auto found = reads_.find(key);
    return found == reads_.end() ? nullptr : found->second;
}

OpenFolder FolderReader::readNow(OpenFolder parent, std::string_view path, std::string_view name,
                                 bool keepOpen, FolderRead& read) const {
    if (stop_.stop_requested()) {
        read.failure.emplace(fs_error::kPathFileAccess, "Cancelled");
        return {};
    }
    return fs_.readFolder(parent, path, name, keepOpen, read);
}

const FolderRead* FolderReader::keep(std::string_view key, ArenaPtr<FolderRead> read) {
    const FolderRead* kept = read.get();
    owned_.push_back(std::move(read));
    if (!reads_.contains(key)) {
        reads_.emplace(arena_.join({key}), kept);
    }
    return kept;
}

void FolderReader::hold(ArenaPtr<FolderRead> read) {
    owned_.push_back(std::move(read));
}

bool FolderReader::isPseudoFileSystem(std::uint64_t device, std::string_view folder) {
    {
        std::lock_guard lock(pseudoMutex_);
        if (const auto found = pseudoDevices_.find(device); found != pseudoDevices_.end()) {
            return found->second;
        }
    }
    const bool pseudo = fs_.isPseudoFileSystem(folder);
    std::lock_guard lock(pseudoMutex_);
    pseudoDevices_.try_emplace(device, pseudo);
    return pseudo;
}

void FolderReader::reserveKeeping(std::size_t reads) {
    owned_.reserve(owned_.size() + reads);
    if (indexWalks_) {
        reads_.reserve(reads_.size() + reads);
    }
}

void FolderReader::fill(const std::string& folder, FolderRead& slot) const {
    readNow({}, folder, {}, false, slot);
}

std::vector<const FolderRead*> FolderReader::readAll(const std::vector<std::string>& folders) {
    std::vector<const FolderRead*> reads;
    reads.reserve(folders.size());
    std::vector<std::pair<const std::string*, FolderRead*>> todo;
    for (const std::string& folder : folders) {
        const std::string_view name = key(folder);
        const FolderRead* found = find(name);
        if (found == nullptr) {
            ArenaPtr<FolderRead> slot = newRead();
            todo.emplace_back(&folder, slot.get());
            found = keep(name, std::move(slot));
        }
        reads.push_back(found);
    }
    if (todo.size() == 1) {
        fill(*todo[0].first, *todo[0].second);  // a row at a time: no thread to wake
    } else {
        forEach(todo.size(), [&](std::size_t i) { fill(*todo[i].first, *todo[i].second); });
    }
    return reads;
}

const FolderRead& FolderReader::read(std::string_view folder) {
    const std::string_view name = key(folder);
    if (const FolderRead* found = find(name)) {
        return *found;
    }
    ArenaPtr<FolderRead> slot = newRead();
    fill(std::string(folder), *slot);
    return *keep(name, std::move(slot));
}

void FolderReader::startHelpers() {
    if (helpers_.empty()) {
        for (unsigned i = 1; i < threads_; ++i) {
            helpers_.emplace_back([this] { serve(); });
        }
    }
}

void FolderReader::runOne(Task& task) {
    try {
        task();
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!failure_) {
            failure_ = std::current_exception();
        }
    }
}

void FolderReader::drain(std::unique_lock<std::mutex>& lock) {
    while (!tasks_.empty()) {
        Task task = std::move(tasks_.back());
        tasks_.pop_back();
        lock.unlock();
        runOne(task);
        task = nullptr;  // what it holds is released outside the lock
        lock.lock();
        if (--pending_ == 0 && callerWaiting_) {
            caller_.notify_one();
        }
    }
}

void FolderReader::serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        drain(lock);
        if (closing_) {
            return;
        }
        ++waiting_;
        work_.wait(lock);
        --waiting_;
    }
}

void FolderReader::wakeOne() {
    if (callerWaiting_) {
        caller_.notify_one();
    } else if (waiting_ > 0) {
        work_.notify_one();
    }
}

void FolderReader::push(Task task, bool worthWaking) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    ++pending_;
    // The thread that queues a task takes one itself when it is done with its own; waking
    // another for a lone task only costs a switch, which the walks of many small rows add up.
    if (worthWaking && tasks_.size() > 1) {
        wakeOne();
    }
}

void FolderReader::run(std::vector<Task> tasks) {
    if (tasks.empty()) {
        return;
    }
    startHelpers();
    std::unique_lock lock(mutex_);
    pending_ += tasks.size();
    std::move(tasks.begin(), tasks.end(), std::back_inserter(tasks_));
    if (tasks_.size() > 1 && waiting_ > 0) {
        work_.notify_all();
    }
    for (;;) {
        drain(lock);
        if (pending_ == 0) {
            break;
        }
        callerWaiting_ = true;
        caller_.wait(lock);
        callerWaiting_ = false;
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
}

void FolderReader::forEach(std::size_t count, const std::function<void(std::size_t)>& work) {
    // A few pieces per thread: even when some items cost far more than others, the threads
    // end together, and a piece is large enough that queueing it costs nothing.
    const std::size_t pieces = std::min<std::size_t>(count, std::size_t{threads_} * 8);
    std::vector<Task> tasks;
    tasks.reserve(pieces);
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        tasks.emplace_back(
            [&work, begin = count * piece / pieces, end = count * (piece + 1) / pieces] {
                for (std::size_t i = begin; i < end; ++i) {
                    work(i);
                }
            });
    }
    run(std::move(tasks));
}

}  // namespace gantrylux
