#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ports/settings_store.hpp"

namespace gantrylux::testing {

// A settings store in memory that keeps the order of the writes and can be made to fail.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string read(std::string_view key, std::string_view defaultText) const override {
        const auto found = values.find(std::string(key));
        return found == values.end() ? std::string(defaultText) : found->second;
    }

    void write(std::string_view key, std::string_view text) override {
        if (failWrites) {
            throw std::runtime_error("Permission denied");
        }
        values[std::string(key)] = std::string(text);
        writes.emplace_back(key, text);
    }

    std::optional<std::string> readFailure() const override { return failedRead; }

    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> writes;
    bool failWrites = false;
    std::optional<std::string> failedRead;
};

}  // namespace gantrylux::testing
