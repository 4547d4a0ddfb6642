#include <string>
#include <vector>

#include "app/folder_list_text.hpp"
#include "fuzz_check.hpp"
#include "lists/dropped_paths.hpp"
#include "lists/folder_rows.hpp"

using namespace gantrylux;

namespace {

// Says "folder" of every path but the empty one and those ending in ".txt", and cannot list
// anything: only the classifying of dropped paths is under test.
class PathsOnlyFileSystem : public FileSystem {
  public:
    FolderListing listFolder(std::string_view) const override {
        throw FileSystemError(fs_error::kPathNotFound, "no listings here");
    }
    std::optional<std::uint32_t> attributes(std::string_view path) const override {
        if (path.empty()) {
            return std::nullopt;
        }
        return IsFolder(path) ? attribute::kDirectory : attribute::kArchive;
    }
    bool fileExists(std::string_view path) const override {
        return !path.empty() && !IsFolder(path);
    }
    bool pathExists(std::string_view path) const override { return !path.empty(); }
    bool isRoot(std::string_view folder) const override { return folder == "/"; }
    char separator() const override { return '/'; }

    static bool IsFolder(std::string_view path) { return !path.ends_with(".txt"); }
};

}  // namespace

// The paths of a drop, one a line as a URL list carries them once decoded. The decoding of the
// URLs themselves is the toolkit's; what follows it is the program's: the folder rows, the rows
// left out because the stored list could not hold them, and the stored list read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> paths;
    std::string_view rest = fuzz::Text(data, size);
    for (;;) {
        const std::size_t end = rest.find('\n');
        paths.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    const PathsOnlyFileSystem fs;
    std::vector<std::string> rows = DroppedFolderRows(fs, paths);
    std::size_t folders = 0;
    for (const std::string& path : paths) {
        folders += !path.empty() && PathsOnlyFileSystem::IsFolder(path) ? 1 : 0;
    }
    FUZZ_CHECK(rows.size() == folders);
    const std::vector<std::string> leftOut = TakeUnstorableRows(rows);
    FUZZ_CHECK(rows.size() + leftOut.size() == folders);
    FUZZ_CHECK(UnstorableFoldersMessage(leftOut).empty() == leftOut.empty());
    PackedTexts stored;
    for (const std::string& row : rows) {
        FUZZ_CHECK(row.ends_with('/'));
        FUZZ_CHECK(IsFolderRowPiece(row));
        stored.push_back(row);
    }
    const std::vector<std::string> readBack = SplitFolderList(JoinFolderList(stored));
    FUZZ_CHECK(readBack.size() == rows.size() + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(readBack[i] == rows[i]);
    }
    return 0;
}
