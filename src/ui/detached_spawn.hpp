#pragma once

#include <string>
#include <vector>

namespace gantrylux {

// Starts `program`, looked up on PATH, with `arguments` passed on byte for byte, and does not
// wait for it: it runs from "/", in a process group of its own (a Ctrl+C meant for this program
// leaves it be), with every signal at its default and none blocked, and it is never this
// process's child, so nothing has to reap it. Returns 0 once the program is running, else the
// errno value that kept it from starting (ENOENT: not on PATH; EACCES: not executable).
int SpawnDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace gantrylux
