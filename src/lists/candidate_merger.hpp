#pragma once

#include "app/busy.hpp"
#include "folders/file_system.hpp"
#include "lists/path_list.hpp"
#include "ports/desktop.hpp"

namespace gantrylux {

// Rebuilds the candidate list from the file list and the folder list. The lists are copied,
// the candidates built on workers while the window stays responsive, and the result swapped in
// whole. A rebuild asked for while one runs only marks it stale: the running one then starts
// over from the lists as they stand, so the candidate list is always one complete merge.
class CandidateMerger {
  public:
    CandidateMerger(const PathList& files, const PathList& folders, PathList& candidates,
                    BusyCounter& busy, Desktop& desktop, const FileSystem& fs);

    void CorrelateListviewsWrapper();
    bool running() const noexcept { return running_; }

  private:
    const PathList& files_;
    const PathList& folders_;
    PathList& candidates_;
    BusyCounter& busy_;
    Desktop& desktop_;
    const FileSystem& fs_;
    bool running_ = false;
    bool stale_ = false;
};

}  // namespace gantrylux
