#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace gantrylux {

// What the command line asks for. Help and the version go to standard output with exit code 0;
// a refusal is one line for standard error with exit code 2.
struct CommandLine {
    enum class Action { Start, Help, Version, Refuse };
    Action action = Action::Start;
    QString text;  // the help, the version line or the refusal, ending in a line break
    // Start only: the paths to add to the file list, as given (file:// URLs as local paths).
    std::vector<std::string> paths;
};

// Reads the program's arguments, the program's own name first.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace gantrylux
