// SPDX-License-Identifier: MIT
#include "core/config_file.h"
#include "core/error.h"
#include "dialog/commands.h"
#include "dialog/desktop_target.h"
#include "dialog/form1.h"
#include "launch/launch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using vexalo::Form1;
using enum vexalo::LaunchError;

Q_DECLARE_METATYPE(std::error_code)

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// By the kernel's bytes: a name need not be valid in the locale's encoding.
void WriteFile(const QByteArray& path, const QByteArray& bytes, int mode)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    QCOMPARE(::fchmod(fd, static_cast<mode_t>(mode)), 0);
    ::close(fd);
}

// The stand-in renderer: records its arguments, directory, environment and the config.txt it
// found, then keeps running as a real renderer would.
const QByteArray kRendererScript = ReadAll(QStringLiteral(RENDERER_STANDIN));

// Dismisses the tool's message boxes as they appear and keeps what they said.
class ReportCatcher : public QObject {
public:
    QStringList texts;
    QList<QMessageBox::Icon> icons;

    ReportCatcher()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            icons << box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start(10);
    }

private:
    QTimer timer_;
};

// A stand-in that records its name, arguments, directory and DISPLAY after `before`;
// "shebang" false makes it a script that only a shell runs.
QByteArray StandIn(const QByteArray& name, bool shebang = true, const QByteArray& before = {})
{
    return QByteArray(shebang ? "#!/bin/sh\n" : "") + before + "printf '%s\\n' \"" + name +
           " $*\" \"$(pwd)\" \"$DISPLAY\" >\"$RENDERER_RECORD.part\"\nmv \"$RENDERER_RECORD.part\" "
           "\"$RENDERER_RECORD\"\n";
}

// The smallest Windows program's start: "MZ", and at 0x3C the offset of "PE\0\0" and the
// machine (0 for none: no valid PE header).
QByteArray PeImage(quint16 machine)
{
    QByteArray image = QByteArray("MZ").leftJustified(0x48, '\0');
    image[0x3C] = machine ? 0x40 : 0x70;
    image.replace(0x40, 4, QByteArray("PE\0\0", 4));
    image[0x44] = static_cast<char>(machine & 0xff);
    image[0x45] = static_cast<char>(machine >> 8);
    return image;
}

bool IsComplete(const QByteArray& config)
{
    return config.startsWith("[VEXALO-CONFIG]\r\n") && config.count("\r\n") == 11 &&
           config.contains("\r\n[DESKTOP-CONFIG]\r\nWIDTH: ");
}

// The process ids of our own children, dead or alive, as the kernel lists them per thread.
QString Children()
{
    QString all;
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        all += QString::fromLatin1(ReadAll("/proc/self/task/" + task + "/children"));
    return all.trimmed();
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> tmp_;
    std::optional<Form1> form_;
    QString oldCwd_;
    QByteArray oldPath_;

    QString Path(const QString& name) const { return tmp_->filePath(name); }
    QString Run() const { return Path("run"); }
    void Click(const char* name) { form_->findChild<QAbstractButton*>(name)->click(); }

    void PutRendererOnPath(const QByteArray& script, int mode)
    {
        WriteFile(QFile::encodeName(Path("bin/opengl.exe")), script, mode);
    }

private slots:
    void init()
    {
        tmp_.emplace();
        for (const char* dir : {"run", "bin", "own", "other"})
            QVERIFY(QDir(tmp_->path()).mkdir(dir));
        oldCwd_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        // The renderer is looked up beside the test binary first; keep that miss and find
        // only what a test puts in bin/. Standard tools stay reachable for the stand-in.
        qputenv("PATH", Path("bin").toLocal8Bit() + ":/usr/bin:/bin");
        qputenv("RENDERER_RECORD", Path("record").toLocal8Bit());
        QVERIFY(QDir::setCurrent(Run()));
        form_.emplace();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form_));
    }
    void cleanup()
    {
        form_.reset();
        QDir::setCurrent(oldCwd_);
        qputenv("PATH", oldPath_);
        for (const QByteArray& line : ReadAll(Path("record")).split('\n'))
            if (const qint64 pid = line.startsWith("pid=") ? line.mid(4).toLongLong() : 0; pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGTERM);
    }

    void startRendererLooksBesideToolThenHereThenOnPath_data()
    {
        QTest::addColumn<QByteArrayList>("files"); // dir:kind, see below
        QTest::addColumn<QByteArray>("ownDirectory");
        QTest::addColumn<QByteArray>("searchPath"); // @ stands for the temporary directory
        QTest::addColumn<QByteArray>("display");    // the tool window's X display, if any
        QTest::addColumn<QByteArray>("ran");        // what the started file recorded, @ as above
        QTest::addColumn<std::error_code>("failure");
        const auto row = [](const char* name, const QByteArrayList& files, const QByteArray& own,
                            const QByteArray& searchPath, const QByteArray& ran,
                            std::error_code failure = {}, const QByteArray& display = {}) {
            QTest::newRow(name) << files << own << searchPath << display << ran << failure;
        };
        const std::error_code denied(EACCES, std::generic_category());

        row("beside the tool wins", {"own:exec", "run:exec", "bin:exec"}, "own", "@/bin", "own");
        row("then the working directory", {"run:exec", "bin:exec"}, "own", "@/bin", "run");
        row("then PATH", {"bin:exec"}, "own", "@/other:@/bin", "bin");
        row("first PATH entry wins", {"bin:exec", "other:exec"}, "own", "@/other:@/bin", "other");
        row("non-executable passed over", {"own:plain", "bin:exec"}, "own", "@/bin", "bin");
        row("only non-executable", {"own:plain"}, "own", "@/bin", {}, denied);
        row("a directory of that name", {"bin:dir"}, "own", "@/bin", {}, denied);
        row("nowhere", {}, "own", "@/bin", {}, NotFound);
        row("relative PATH entries are not searched", {"other:exec"}, "own", "::.:../other", {},
            NotFound);
        // Names are bytes to the kernel; the locale's encoding need not fit them.
        row("tool installed in a Latin-1 directory", {"caf\xe9:exec", "bin:exec"}, "caf\xe9",
            "@/bin", "caf\xe9");
        row("Latin-1 PATH entry", {"caf\xe9:exec"}, "own", "@/bin:@/caf\xe9", "caf\xe9");
        // The working directory's copy must be the user's, and no one else's to change.
        row("another user's copy here", {"run:foreign"}, "own", "@/bin", {}, ForeignOwner);
        row("another user's copy here, PATH's runs", {"run:foreign", "bin:exec"}, "own", "@/bin",
            "bin");
        row("writable by all", {"run:world-writable"}, "own", "@/bin", {}, WritableByOthers);
        row("writable by a shared group", {"run:group-writable"}, "own", "@/bin", {},
            WritableByOthers);
        row("writable by the user's private group", {"run:private-group"}, "own", "@/bin", "run");
        row("script without #! runs in sh", {"run:text"}, "own", "@/bin", "run");
        // A Windows program, told by its content, runs through Wine, found where the renderer
        // is but never here.
        row("Windows program through Wine", {"run:pe", "bin:wine"}, "own", "@/bin",
            "wine start /d . /max /unix @/run/opengl.exe");
        row("Windows program, no Wine", {"run:pe"}, "own", "@/bin", {}, NeedsWine);
        row("Windows program, Wine only here", {"run:pe", "run:wine"}, "own", "@/bin", {},
            NeedsWine);
        row("MZ without a PE header", {"run:mz", "bin:wine"}, "own", "@/bin", {},
            InvalidWindowsProgram);
        row("Windows program for ARM", {"run:pe-arm", "bin:wine"}, "own", "@/bin", {},
            ForeignMachine);
        row("32-bit Windows program through Wine", {"run:pe32", "bin:wine"}, "own", "@/bin",
            "wine start /d . /max /unix @/run/opengl.exe");
        row("32-bit Windows program, Wine without its 32-bit part", {"run:pe32", "bin:wine64"},
            "own", "@/bin", {}, NeedsWine32);
        // Archives made on Windows carry no execute bit; Wine needs none.
        row("Windows program without x bit here", {"run:pe-plain", "bin:wine"}, "own", "@/bin",
            "wine start /d . /max /unix @/run/opengl.exe");
        row("Windows program without x bit beside the tool", {"own:pe-plain", "bin:wine"}, "own",
            "@/bin", "wine start /d . /max /unix @/own/opengl.exe");
        row("Windows program without x bit on PATH", {"bin:pe-plain", "bin:wine"}, "own", "@/bin",
            {}, denied);
        row("wine start fails", {"run:pe", "bin:wine-fails"}, "own", "@/bin", {}, WineFailed);
        row("wine start takes 2 s", {"run:pe", "bin:wine-slow"}, "own", "@/bin",
            "wine start /d . /max /unix @/run/opengl.exe");
        row("the window's display", {"bin:exec"}, "own", "@/bin", "bin", {}, ":77");
    }
    void startRendererLooksBesideToolThenHereThenOnPath()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(QByteArray, ownDirectory);
        QFETCH(QByteArray, searchPath);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, ran);
        QFETCH(std::error_code, failure);
        const QByteArray base = QFile::encodeName(tmp_->path()) + '/';
        const group* users = ::getgrnam("users");
        for (const QByteArray& file : files) {
            const QByteArray dirName = file.split(':')[0], kind = file.split(':')[1];
            const bool wine = kind.startsWith("wine");
            const QByteArray path = base + dirName + (wine ? "/wine" : "/opengl.exe");
            ::mkdir(QByteArray(base + dirName).constData(), 0755);
            const quint16 machine = kind == "mz"       ? 0
                                    : kind == "pe32"   ? 0x14c
                                    : kind == "pe-arm" ? 0xaa64
                                                       : 0x8664;
            if (kind == "dir")
                QCOMPARE(::mkdir(path.constData(), 0755), 0);
            else if (kind.startsWith("pe") || kind == "mz")
                WriteFile(path, PeImage(machine), kind.endsWith("plain") ? 0644 : 0755);
            else
                WriteFile(path,
                          kind == "wine-fails" ? "#!/bin/sh\necho 'ShellExecuteEx failed: File "
                                                 "not found.'\nexit 1\n"
                                               : StandIn(wine ? "wine" : dirName, kind != "text",
                                                         kind == "wine-slow" ? "sleep 2\n" : ""),
                          kind == "plain"                               ? 0644
                          : kind == "world-writable"                    ? 0757
                          : kind.contains("group") || kind == "foreign" ? 0775
                                                                        : 0755);
            // Wine with its 64-bit part alone, as Debian installs it without wine32:i386.
            for (const char* part : {"x86_64-windows/ntdll.dll", "x86_64-unix/ntdll.so"}) {
                if (kind == "wine64") {
                    QVERIFY(QDir().mkpath(QFileInfo(base + "lib/wine/" + part).path()));
                    WriteFile(base + "lib/wine/" + part, "part", 0644);
                }
            }
            if ((kind == "group-writable" || kind == "foreign") &&
                ::chown(path.constData(), kind == "foreign" ? 65534 : -1,
                        users ? users->gr_gid : 100) != 0)
                QSKIP("another user's or group's file needs root");
        }
        searchPath.replace('@', QFile::encodeName(tmp_->path()));
        ran.replace('@', QFile::encodeName(tmp_->path()));
        const vexalo::SearchPlaces places{(base + ownDirectory).toStdString(),
                                          QFile::encodeName(Run()).toStdString(),
                                          searchPath.toStdString()};
        try {
            vexalo::ToolWindow window;
            window.xDisplay = display.toStdString();
            vexalo::StartRendererFrom(window, places);
            QVERIFY2(!failure, "started");
            QTRY_VERIFY(QFile::exists(Path("record")));
            const QByteArrayList record = ReadAll(Path("record")).split('\n');
            QCOMPARE(record.value(0).trimmed(), ran);
            QCOMPARE(record.value(1), QFile::encodeName(Run()));
            QCOMPARE(record.value(2), display.isEmpty() ? qgetenv("DISPLAY") : display);
        } catch (const vexalo::Error& e) {
            QCOMPARE(e.code(), failure);
            // Wine's own words reach the user.
            if (failure == WineFailed)
                QVERIFY(QByteArray(e.what()).endsWith(": ShellExecuteEx failed: File not found."));
        }
    }

    void saveWritesAndKeepsWindowAndChoices()
    {
        Click("Command1");
        const vexalo::DisplayChoices defaults = form_->choices();
        QCOMPARE(ReadAll("config.txt"),
                 QByteArray::fromStdString(vexalo::ConfigFileText(
                     defaults, vexalo::QueryDesktopMode(vexalo::DesktopTargetOf(*form_)))));
        Click("Option1");
        Click("Command1");
        QVERIFY(ReadAll("config.txt").contains("\r\nWIDTH: 640\r\nHEIGHT: 480\r\n"));
        QVERIFY(form_->isVisible());
        QVERIFY(form_->choices().Option1);
        QCOMPARE(QDir(Run()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.txt"});
    }

    void saveAndStartHandsOverToDetachedRenderer()
    {
        PutRendererOnPath(kRendererScript, 0755);
        qputenv("VEXALO_TEST_MARKER", "passed-on");
        // Meant by the tool's own launcher for the tool's window alone.
        qputenv("DESKTOP_STARTUP_ID", "stale");
        qputenv("XDG_ACTIVATION_TOKEN", "stale");
        ReportCatcher reports;
        Click("Option2");
        Click("Command2");
        for (const char* name :
             {"VEXALO_TEST_MARKER", "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"})
            qunsetenv(name);
        QVERIFY(!form_->isVisible());
        QCOMPARE(form_->exitStatus(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Path("record")), 10000);
        QVERIFY(ReadAll(Path("record")).startsWith("argc=0\ncwd=" + Run().toLocal8Bit() + "\n"));
        QVERIFY(ReadAll(Path("record.env")).contains("\nVEXALO_TEST_MARKER=passed-on\n"));
        QVERIFY(!ReadAll(Path("record.env")).contains("=stale\n"));
        // config.txt was complete and closed before the renderer started.
        QCOMPARE(ReadAll(Path("record.config")), ReadAll("config.txt"));
        QVERIFY(IsComplete(ReadAll("config.txt")));
        QVERIFY(ReadAll("config.txt").contains("WIDTH: 800\r\nHEIGHT: 600\r\n"));
        // Detached: the renderer is nobody's child of ours, and no zombie is left behind.
        QTRY_COMPARE(Children(), QString());
        QCOMPARE(reports.texts, QStringList{});
    }

    void cancelWritesNothing()
    {
        PutRendererOnPath(kRendererScript, 0755);
        Click("Command3");
        QVERIFY(!form_->isVisible());
        QCOMPARE(form_->exitStatus(), 0);
        QCOMPARE(QDir(Run()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
        QVERIFY(!QFile::exists(Path("record")));
    }

    void failureIsReportedOnceThenEnds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<std::error_code>("failure");
        QTest::addColumn<bool>("configWritten");
        const auto row = [](const char* name, const char* command, const char* obstacle,
                            const char* subject, std::error_code failure, bool configWritten) {
            QTest::newRow(name) << command << obstacle << subject << failure << configWritten;
        };
        const auto posix = [](int e) { return std::error_code(e, std::generic_category()); };

        row("save, config.txt is a directory", "Command1", "config dir", "config.txt",
            posix(EISDIR), false);
        row("save and start, config.txt is a directory", "Command2", "config dir", "config.txt",
            posix(EISDIR), false);
        row("renderer missing", "Command2", "no renderer", "opengl.exe", NotFound, true);
        row("renderer not executable", "Command2", "plain renderer", "opengl.exe", posix(EACCES),
            true);
        row("renderer not a program", "Command2", "garbage renderer", "opengl.exe", posix(ENOEXEC),
            true);
    }
    void failureIsReportedOnceThenEnds()
    {
        QFETCH(QString, command);
        QFETCH(QString, obstacle);
        QFETCH(QString, subject);
        QFETCH(std::error_code, failure);
        QFETCH(bool, configWritten);
        // The words come from the code, in whatever language the locale speaks.
        const QString report =
            QString::fromLocal8Bit(vexalo::Error(subject.toStdString(), failure).what());

        if (obstacle == "config dir") {
            PutRendererOnPath(kRendererScript, 0755);
            QVERIFY(QDir(Run()).mkdir("config.txt"));
        } else if (obstacle == "plain renderer") {
            PutRendererOnPath(kRendererScript, 0644);
        } else if (obstacle == "garbage renderer") {
            PutRendererOnPath("\x7f"
                              "ELF? not really",
                              0755);
        }
        ReportCatcher reports;
        Click(command.toLatin1().constData());
        QCOMPARE(reports.texts, QStringList{report});
        QCOMPARE(reports.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QVERIFY(!form_->isVisible());
        QCOMPARE(form_->exitStatus(), 1);
        QCOMPARE(QFileInfo("config.txt").isFile(), configWritten);
        if (configWritten)
            QVERIFY(IsComplete(ReadAll("config.txt")));
        QVERIFY(!QFile::exists(Path("record")));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
