#pragma once

#include "lists/path_list.hpp"
#include "ports/settings_store.hpp"

namespace gantrylux {

// Keeps the stored folder list in step with the folder list, so that a crash or a killed
// session loses no folder change. A failed write propagates to the command that changed the
// list.
class FolderListAutosave : public PathListObserver {
  public:
    FolderListAutosave(const PathList& folders, SettingsStore& store)
        : folders_(folders), store_(store) {}

    void save();

    void appended(std::size_t, std::size_t) override { save(); }
    void removed(std::size_t) override { save(); }
    void reset() override { save(); }
    void changed(std::size_t, std::size_t) override { save(); }

  private:
    const PathList& folders_;
    SettingsStore& store_;
};

}  // namespace gantrylux
