#include "ui/command_line.hpp"

#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <system_error>

#include "base/product.hpp"

namespace gantrylux {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Percent escapes become the bytes they stand for; a "%" that starts none stays.
std::string PercentDecoded(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

QString HelpText(const QString& program) {
    const QString product =
        QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
    return QStringLiteral("Usage: ") + program + QStringLiteral(" [options] [--] [paths...]\n") +
           product +
           QStringLiteral(
               " opens files at random. Files and folders given here are added to the file list "
               "as if they had been dropped on it.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Show this help and exit.\n"
               "  -v, --version  Show the version and exit.\n"
               "  --print        Print files the window would open, in random order, one a "
               "line, and exit: from the paths given, or from the stored folder list. No window "
               "and no display are needed, and the settings are left alone.\n"
               "  -n N           With --print: at most N files, each once.\n"
               "  -0             With --print: end each file with a NUL instead of a line "
               "break.\n"
               "  --             End the options: everything after it is a path, also when it "
               "begins with \"-\".\n"
               "\n"
               "Arguments:\n"
               "  paths          Files and folders to add to the file list, as paths or file:// "
               "URLs.\n"
               "\n"
               "Examples:\n"
               "  xdg-open \"$(gantrylux --print -n 1 ~/Pictures)\"\n"
               "  gantrylux --print -0 ~/Music | xargs -0 -n 1 echo\n");
}

}  // namespace

LocalPath FileUrlPath(const std::string& argument) {
    if (!StartsWithNoCase(argument, "file:")) {
        return {true, argument};
    }
    std::string_view rest = std::string_view(argument).substr(5);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (slash == std::string_view::npos) {
            return {true, argument};  // "file://name": no path at all, so no URL either
        }
        const bool localhost = host.size() == 9 && StartsWithNoCase(host, "localhost");
        if (!host.empty() && !localhost) {
            return {false, argument};
        }
        rest.remove_prefix(slash);
    } else if (!rest.starts_with('/')) {
        return {true, argument};  // "file:name" is a name
    }
    // The query and the fragment are no part of a file's path.
    rest = rest.substr(0, rest.find_first_of("?#"));
    return {true, PercentDecoded(rest)};
}

int ToolkitArgumentCount(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--") {
            return i;
        }
    }
    return argc;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    const QString program =
        arguments.empty()
            ? QStringLiteral("gantrylux")
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(arguments[0]))).fileName();
    CommandLine line;
    const auto refuse = [&](const QString& why) {
        line = {};
        line.action = CommandLine::Action::Refuse;
        line.text = program + QStringLiteral(": ") + why + QStringLiteral(" Try '") + program +
                    QStringLiteral(" --help'.\n");
        return line;
    };
    bool help = false;
    bool version = false;
    bool print = false;
    bool printOptions = false;  // -n or -0, which only --print takes
    bool options = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            const std::string_view option =
                std::string_view(argument).substr(argument[1] == '-' ? 2 : 1);
            const std::string_view name = option.substr(0, option.find('='));
            const bool known = name == "h" || name == "help" || name == "v" || name == "version" ||
                               name == "print" || name == "n" || name == "0";
            const QString shown =
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            if (!known) {
                return refuse(QStringLiteral("Unknown option '") + shown + QStringLiteral("'."));
            }
            if (name.size() != option.size()) {
                return refuse(QStringLiteral("Unexpected value after '") +
                              QString::fromStdString(argument.substr(0, argument.find('='))) +
                              QStringLiteral("'."));
            }
            if (name == "print") {
                print = true;
            } else if (name == "0") {
                line.nulTerminated = printOptions = true;
            } else if (name == "n") {
                printOptions = true;
                std::size_t count = 0;
                const std::string value = i + 1 < arguments.size() ? arguments[++i] : "";
                const auto [end, failure] =
                    std::from_chars(value.data(), value.data() + value.size(), count);
                if (value.empty() || failure != std::errc() || end != value.data() + value.size()) {
                    return refuse(QStringLiteral("'-n' takes a number of files."));
                }
                line.count = count;
            } else {
                (name == "h" || name == "help" ? help : version) = true;
            }
        } else {
            LocalPath local = FileUrlPath(argument);
            (local.local ? line.paths : line.notLocal).push_back(std::move(local.path));
        }
    }
    if (printOptions && !print && !help && !version) {
        return refuse(QStringLiteral("'-n' and '-0' go with '--print'."));
    }
    if (print && !help && !version) {
        line.action = CommandLine::Action::Print;
        line.paths.insert(line.paths.end(), line.notLocal.begin(), line.notLocal.end());
        line.notLocal.clear();
    }
    if (help) {
        line = {};
        line.action = CommandLine::Action::Help;
        line.text = HelpText(program);
    } else if (version) {
        line = {};
        line.action = CommandLine::Action::Version;
        line.text =
            program + QLatin1Char(' ') + QStringLiteral(GANTRYLUX_VERSION) + QLatin1Char('\n');
    }
    return line;
}

}  // namespace gantrylux
