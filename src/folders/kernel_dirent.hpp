#pragma once

#include <cstdint>

namespace gantrylux {

// One record of the Linux getdents64 call, read straight from its buffer. Reading the kernel's
// records directly spares what a readdir stream adds per folder (an fstat and two fcntl calls).
struct KernelDirent {
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

}  // namespace gantrylux
