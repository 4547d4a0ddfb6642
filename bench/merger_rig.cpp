#include "merger_rig.hpp"

#include <stdexcept>

namespace gantrylux::bench {

MergerRig::MergerRig(std::shared_ptr<const FileSystem> fs)
    : merger(files, folders, candidates, busy, desktop, std::move(fs)) {}

double MergerRig::mergeEdit(std::chrono::seconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    merger.CorrelateListviewsWrapper();
    bool merged = false;
    double took = 0;
    merger.whenMerged([&] {
        merged = true;
        took = SecondsSince(start);
    });
    if (!desktop.runUntil([&] { return merged; }, timeout)) {
        throw std::runtime_error("the merge did not end in time");
    }
    return took;
}

bool MergerRig::holds(std::string_view candidate) const {
    const PackedTexts& texts = candidates.packed();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == candidate) {
            return true;
        }
    }
    return false;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace gantrylux::bench
