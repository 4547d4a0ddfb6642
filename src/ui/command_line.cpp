#include "ui/command_line.hpp"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/product.hpp"

namespace gantrylux {
namespace {

// File managers hand files over as URLs when the launcher asks for them; everything else is a
// path, so a file named "http:" in the working folder is still found.
QString LocalPath(const QString& argument) {
    if (argument.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            return url.toLocalFile();
        }
    }
    return argument;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size())) +
        QStringLiteral(" opens files at random. Files and folders given here are added to the "
                       "file list as if they had been dropped on it."));
    // Not the parser's own help option: that one adds --help-all for Qt's options, and those
    // are taken out of the arguments before they come here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    parser.addOption(help);
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("paths"),
                                 QStringLiteral("Files and folders to add to the file list, as "
                                                "paths or file:// URLs."),
                                 QStringLiteral("[paths...]"));

    const QString program =
        arguments.isEmpty() ? QStringLiteral("gantrylux") : QFileInfo(arguments.first()).fileName();
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.text = program + QStringLiteral(": ") + parser.errorText() + QStringLiteral(" Try '") +
                    program + QStringLiteral(" --help'.\n");
    } else if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.text = parser.helpText();
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text =
            program + QLatin1Char(' ') + QStringLiteral(GANTRYLUX_VERSION) + QLatin1Char('\n');
    } else {
        for (const QString& argument : parser.positionalArguments()) {
            line.paths.push_back(QDir::toNativeSeparators(LocalPath(argument)).toStdString());
        }
    }
    return line;
}

}  // namespace gantrylux
