// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include "app/translations.h"
#include "core/translate.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vexalo {
namespace {

// The options Qt's application object takes out of the command line (QGuiApplication's, its
// X11 ones and QApplication's). The parser runs before that object exists, so it must know
// them to accept them.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"display", true},
    {"name", true},
    {"nograb", false},
    {"dograb", false},
    {"visual", true},
    {"geometry", true},
    {"icon", true},
    {"title", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"qmljsdebugger", true},
    {"testability", false},
};

// Enters `path`, a folder or a file in one (the renderer itself, say), as `make -C` does.
// Returns the reason it cannot, or nothing.
std::optional<std::string> EnterFolderOf(const char* path)
{
    struct stat status {};
    if (::stat(path, &status) != 0)
        return std::strerror(errno);
    std::string folder = path;
    if (S_ISREG(status.st_mode)) {
        if (::access(path, R_OK) != 0)
            return std::strerror(errno);
        const std::size_t slash = folder.rfind('/');
        folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    } else if (!S_ISDIR(status.st_mode)) {
        return Translate("CommandLine", "not a folder or a file");
    }
    if (::chdir(folder.c_str()) != 0)
        return std::strerror(errno);
    return std::nullopt;
}

// The tool's options and its description, in the user's language once an application object
// with the catalogues is running.
struct Parser {
    QCommandLineParser parser;
    const QCommandLineOption help{
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Displays this help and exits.")};
    const QCommandLineOption version{
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Displays the version and exits.")};

    Parser()
    {
        // Qt's own options are single-dash words: -display, -style.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(QCoreApplication::translate(
            "CommandLine",
            "Chooses the resolution, colour depth and full screen mode of the renderer "
            "opengl.exe\nand saves them, with the desktop's current mode, to config.txt in "
            "FOLDER, else in the\nworking directory (the home folder when started from the "
            "menu). Save and Start then\nstarts opengl.exe, looked up beside vexalo-config, "
            "then in that folder, then on PATH;\na Windows program runs through Wine."));
        parser.addOptions({help, version});
        // Named as the usage line and the description name it.
        parser.addPositionalArgument(
            QStringLiteral("FOLDER"),
            QCoreApplication::translate("CommandLine",
                                        "The renderer's folder, or a file in it: config.txt is "
                                        "saved there, and the renderer looked for there."),
            QStringLiteral("[FOLDER]"));
        for (const QtOption& qt : kQtOptions) {
            QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                                      qt.takesValue ? QStringLiteral("value") : QString());
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }
};

// An application object for the texts only, named as the program's messages name it and not
// by the path it was run as; it opens no display.
class TextsOnly {
public:
    TextsOnly() : app_(argc_, argv_) { InstallTranslations(); }

private:
    int argc_ = 1;
    char* argv_[2] = {const_cast<char*>(kProgram), nullptr};
    const QCoreApplication app_;
};

} // namespace

std::optional<CommandLineEnd> AnswerCommandLine(int argc, char* argv[])
{
    if (argc <= 1)
        return std::nullopt;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::optional<Parser> parsing(std::in_place);
    const bool parsed = parsing->parser.parse(arguments);
    const QStringList positional = parsed ? parsing->parser.positionalArguments() : QStringList();
    if (!parsed || positional.size() > 1) {
        // Said again in the user's language: Qt's parser words its own errors.
        const TextsOnly texts;
        parsing.emplace();
        parsing->parser.parse(arguments);
        const QString error =
            !parsed ? parsing->parser.errorText()
                    : QCoreApplication::translate("CommandLine", "Unexpected argument '%1'.")
                          .arg(positional[1]);
        std::fprintf(stderr, "%s: %s\n%s\n", kProgram, qPrintable(error),
                     qPrintable(QCoreApplication::translate("CommandLine",
                                                            "Try '%1 --help' for more information.")
                                    .arg(QLatin1String(kProgram))));
        return CommandLineEnd{2, {}};
    }
    if (parsing->parser.isSet(parsing->help)) {
        const TextsOnly texts;
        parsing.emplace();
        std::fputs(qPrintable(parsing->parser.helpText()), stdout);
        std::fputs(
            qPrintable(u'\n' +
                       QCoreApplication::translate(
                           "CommandLine", "Qt's own options, such as -display, -platform and "
                                          "-style, are accepted too.") +
                       u'\n'),
            stdout);
        return CommandLineEnd{0, {}};
    }
    if (parsing->parser.isSet(parsing->version)) {
        std::printf("%s %s\n", kProgram, VEXALO_VERSION);
        return CommandLineEnd{0, {}};
    }
    if (!positional.isEmpty()) {
        // The folder by the system's bytes: its name need not be valid in the locale's encoding.
        for (int i = argc - 1; i > 0; --i) {
            if (QString::fromLocal8Bit(argv[i]) != positional[0])
                continue;
            if (const auto failure = EnterFolderOf(argv[i])) {
                // Typed in a terminal, or fixed in a launcher that nobody thinks of again.
                const std::string report =
                    std::string(kProgram) + ": " + argv[i] + ": " + *failure + "; " +
                    Translate("CommandLine",
                              "give the renderer's folder: check the path typed, "
                              "or the command of the launcher that started the tool");
                std::fprintf(stderr, "%s\n", report.c_str());
                return CommandLineEnd{2, report};
            }
            break;
        }
    }
    return std::nullopt;
}

} // namespace vexalo
