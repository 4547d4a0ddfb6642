#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "folders/file_system.hpp"

namespace gantrylux::testing {

// Passes everything to a real file system, but fails the listing of chosen folders with a
// chosen code (root may read anything, so "access denied" must be made up), and can run a hook
// at every listing.
class FaultyFileSystem : public FileSystem {
  public:
    explicit FaultyFileSystem(const FileSystem& real) : real_(real) {}
    // Holds the real one too: for jobs that may outlive the test's own references.
    explicit FaultyFileSystem(std::shared_ptr<const FileSystem> real)
        : owned_(std::move(real)), real_(*owned_) {}

    FolderListing listFolder(std::string_view folder) const override {
        if (onList) {
            onList(folder);
        }
        // Walk entries carry doubled separators; the failures are keyed by the plain path.
        std::string key;
        for (const char c : folder) {
            if (c != real_.separator() || key.empty() || key.back() != c) {
                key += c;
            }
        }
        while (key.size() > 1 && key.back() == real_.separator()) {
            key.pop_back();
        }
        if (const auto found = failures.find(key); found != failures.end()) {
            throw FileSystemError(
                found->second, "Simulated failure " + std::to_string(found->second) + ": " + key);
        }
        FolderListing listing = real_.listFolder(folder);
        if (identify) {
            listing.identity = identify(key, listing.identity);
        }
        return listing;
    }
    std::optional<std::uint32_t> attributes(std::string_view path) const override {
        if (const auto found = attributesOf.find(std::string(path)); found != attributesOf.end()) {
            return found->second;
        }
        return real_.attributes(path);
    }
    bool fileExists(std::string_view path) const override { return real_.fileExists(path); }
    bool pathExists(std::string_view path) const override { return real_.pathExists(path); }
    bool isRoot(std::string_view folder) const override { return real_.isRoot(folder); }
    bool isPseudoFileSystem(std::string_view folder) const override {
        return real_.isPseudoFileSystem(folder);
    }
    std::string resolvedFolder(std::string_view folder) const override {
        return real_.resolvedFolder(folder);
    }
    bool reachesPathLimit(std::string_view path) const override {
        return pathLimit == 0 ? real_.reachesPathLimit(path) : path.size() >= pathLimit;
    }
    std::size_t pathBytesBelowLimit() const override {
        return pathLimit == 0 ? real_.pathBytesBelowLimit() : pathLimit;
    }
    bool matchesPattern(std::string_view name, std::string_view pattern) const override {
        return real_.matchesPattern(name, pattern);
    }
    char separator() const override { return real_.separator(); }

    // Folder path, single separators and none at the end -> failure code.
    std::map<std::string, int> failures;
    std::function<void(std::string_view)> onList;
    // Attribute words that paths (as asked) read as, in place of their own.
    std::map<std::string, std::uint32_t> attributesOf;
    // The identity a folder (plain path) reads as, from the real one.
    std::function<FileIdentity(const std::string&, FileIdentity)> identify;
    std::size_t pathLimit = 0;  // a shorter limit than the platform's, when not 0

  private:
    std::shared_ptr<const FileSystem> owned_;
    const FileSystem& real_;
};

}  // namespace gantrylux::testing
