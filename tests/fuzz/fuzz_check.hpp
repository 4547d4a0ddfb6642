#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Each target is a libFuzzer entry point; built with GCC and replay_main.cpp, the same code
// replays the seed corpus as a plain test.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace gantrylux::fuzz {

// A broken property ends the process the way a sanitizer finding does, so the fuzzer keeps the
// input and the replay fails.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace gantrylux::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::gantrylux::fuzz::Fail(#condition, __FILE__, __LINE__))
