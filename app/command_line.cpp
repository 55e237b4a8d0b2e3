// SPDX-License-Identifier: MIT
#include "app/command_line.h"

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
        return "not a folder or a file";
    }
    if (::chdir(folder.c_str()) != 0)
        return std::strerror(errno);
    return std::nullopt;
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, char* argv[])
{
    if (argc <= 1)
        return std::nullopt;
    QCommandLineParser parser;
    // Qt's own options are single-dash words: -display, -style.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Chooses the resolution, colour depth and full screen mode of the renderer opengl.exe\n"
        "and saves them, with the desktop's current mode, to config.txt in FOLDER, else in the\n"
        "working directory (the home folder when started from the menu). Save and Start then\n"
        "starts "
        "opengl.exe, looked up beside vexalo-config, then in that folder, then on PATH;\n"
        "a Windows program runs through Wine."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version and exits."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("The renderer's folder, or a file in it: config.txt is saved there, "
                       "and the renderer looked for there."),
        QStringLiteral("[FOLDER]"));
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                                  qt.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    const QStringList positional = parsed ? parser.positionalArguments() : QStringList();
    if (!parsed || positional.size() > 1) {
        const QString error = !parsed
                                  ? parser.errorText()
                                  : QStringLiteral("Unexpected argument '%1'.").arg(positional[1]);
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                     qPrintable(error), kProgram);
        return 2;
    }
    if (parser.isSet(help)) {
        // The usage line names the program as its messages do, not by the path it was run as.
        int usageArgc = 1;
        char* usageArgv[] = {const_cast<char*>(kProgram), nullptr};
        const QCoreApplication app(usageArgc, usageArgv);
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::fputs(
            "\nQt's own options, such as -display, -platform and -style, are accepted too.\n",
            stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", kProgram, VEXALO_VERSION);
        return 0;
    }
    if (!positional.isEmpty()) {
        // The folder by the system's bytes: its name need not be valid in the locale's encoding.
        for (int i = argc - 1; i > 0; --i) {
            if (QString::fromLocal8Bit(argv[i]) != positional[0])
                continue;
            if (const auto failure = EnterFolderOf(argv[i])) {
                std::fprintf(stderr, "%s: %s: %s\n", kProgram, argv[i], failure->c_str());
                return 2;
            }
            break;
        }
    }
    return std::nullopt;
}

} // namespace vexalo
