#pragma once

#include <cstdio>

#include "ui/command_line.hpp"

namespace gantrylux {

// `gantrylux --print`: the candidates the window would build from the paths given (folders as
// folder rows, files as file rows), or from the stored folder list when none is given, written
// to `out` in random order. Needs no window and writes no setting. Gives the exit status: 0, or
// 1 with a line on `errors` when there is no candidate or the output cannot be written.
int PrintCandidates(const CommandLine& line, std::FILE* out, std::FILE* errors);

}  // namespace gantrylux
