// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

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
        "and saves them, with the desktop's current mode, to config.txt in the working\n"
        "directory (the home folder when started from the menu). Save and Start then starts\n"
        "opengl.exe, looked up beside vexalo-config, then in the working directory, then on\n"
        "PATH; a Windows program runs through Wine."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version and exits."));
    parser.addOptions({help, version});
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
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString error = !parsed ? parser.errorText()
                                      : QStringLiteral("Unexpected argument '%1'.")
                                            .arg(parser.positionalArguments().first());
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                     qPrintable(error), kProgram);
        return 2;
    }
    if (parser.isSet(help)) {
        const QCoreApplication app(argc, argv); // the usage line names the program as started
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
    return std::nullopt;
}

} // namespace vexalo
