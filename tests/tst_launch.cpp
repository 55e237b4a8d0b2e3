// SPDX-License-Identifier: MIT
#include "core/error.h"
#include "launch/launch.h"
#include "tests/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using enum vexalo::LaunchError;

Q_DECLARE_METATYPE(std::error_code)

namespace {

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

} // namespace

class TestLaunch : public RendererScratch {
    Q_OBJECT

    bool privateMounts_ = false;

private slots:
    void initTestCase()
    {
        // Mounts made by a case stay this process's own.
        privateMounts_ = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }
    void init() { Enter(); }
    void cleanup()
    {
        Leave();
        ::umount2(QFile::encodeName(Run()).constData(), MNT_DETACH);
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
        const std::error_category& posix = std::generic_category();
        const std::error_code denied(EACCES, posix);

        row("beside the tool wins", {"own:exec", "run:exec", "bin:exec"}, "own", "@/bin", "own");
        row("then the working directory", {"run:exec", "bin:exec"}, "own", "@/bin", "run");
        row("then PATH", {"bin:exec"}, "own", "@/other:@/bin", "bin");
        row("first PATH entry wins", {"bin:exec", "other:exec"}, "own", "@/other:@/bin", "other");
        row("non-executable passed over", {"own:plain", "bin:exec"}, "own", "@/bin", "bin");
        row("only non-executable", {"own:plain"}, "own", "@/bin", {}, denied);
        row("a directory of that name", {"bin:dir"}, "own", "@/bin", {}, NotRegularFile);
        row("a FIFO of that name here", {"run:fifo"}, "own", "@/bin", {}, NotRegularFile);
        row("a link loop here", {"run:loop"}, "own", "@/bin", {}, std::error_code(ELOOP, posix));
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
        // Nobody else may change the way to the working directory's copy: a link, the folder.
        row("the user's own link to an installed copy", {"run:link", "other:exec"}, "own", "@/bin",
            "other");
        row("a link another user planted", {"run:foreign-link", "other:exec"}, "own", "@/bin", {},
            ForeignOwner);
        row("writable by another user through an ACL", {"run:acl"}, "own", "@/bin", {},
            WritableByOthers);
        row("in a folder a shared group may write", {"run:exec", "run:shared-folder"}, "own",
            "@/bin", {}, WritableByOthers);
        row("Windows program in a folder a shared group may write",
            {"run:pe", "run:shared-folder", "bin:wine"}, "own", "@/bin", {}, WritableByOthers);
        row("on a noexec file system", {"run:noexec"}, "own", "@/bin", {}, NoExecMount);
        // A script sees its own path as $0, and so finds its folder.
        row("launcher script", {"run:launcher"}, "own", "@/bin", "launched");
        row("script with Windows line endings", {"run:crlf"}, "own", "@/bin", {}, CarriageReturn);
        row("script whose interpreter is missing", {"run:python9"}, "own", "@/bin", {},
            MissingInterpreter);
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
        const QByteArray base = QFile::encodeName(Top()) + '/';
        const group* users = ::getgrnam("users");
        for (const QByteArray& file : files) {
            const QByteArray dirName = file.split(':')[0], kind = file.split(':')[1];
            const bool wine = kind.startsWith("wine");
            const QByteArray dir = base + dirName, path = dir + (wine ? "/wine" : "/opengl.exe");
            ::mkdir(dir.constData(), 0755);
            const quint16 machine = kind == "mz"       ? 0
                                    : kind == "pe32"   ? 0x14c
                                    : kind == "pe-arm" ? 0xaa64
                                                       : 0x8664;
            const QByteArray script = kind == "wine-fails" ? "#!/bin/sh\necho 'ShellExecuteEx "
                                                             "failed: File not found.'\nexit 1\n"
                                      : kind == "launcher" ? "#!/bin/sh\ncd \"$(dirname \"$0\")\" "
                                                             "&& exec ./renderer.bin\n"
                                      : kind == "crlf"     ? "#!/bin/sh\r\ntrue\r\n"
                                      : kind == "python9"
                                          ? "#!/opt/nowhere/python9\n"
                                          : StandIn(wine ? "wine" : dirName, kind != "text",
                                                    kind == "wine-slow" ? "sleep 2\n" : "");
            if (kind == "noexec") {
                if (!privateMounts_)
                    QSKIP("mounting a noexec tmpfs needs root and a mount namespace");
                QCOMPARE(::mount("tmpfs", dir.constData(), "tmpfs", MS_NOEXEC, nullptr), 0);
                QVERIFY(QDir::setCurrent(Run()));
            }
            if (kind == "dir")
                QCOMPARE(::mkdir(path.constData(), 0755), 0);
            else if (kind == "fifo")
                QCOMPARE(::mkfifo(path.constData(), 0755), 0);
            else if (kind == "loop")
                QCOMPARE(::symlink("opengl.exe", path.constData()), 0);
            else if (kind.endsWith("link"))
                QCOMPARE(::symlink(base + "other/opengl.exe", path.constData()), 0);
            else if (kind.startsWith("pe") || kind == "mz")
                WriteFile(path, PeImage(machine), kind.endsWith("plain") ? 0644 : 0755);
            else if (kind != "shared-folder")
                WriteFile(path, script,
                          kind == "plain"                               ? 0644
                          : kind == "world-writable"                    ? 0757
                          : kind.contains("group") || kind == "foreign" ? 0775
                                                                        : 0755);
            if (kind == "launcher")
                WriteFile(dir + "/renderer.bin", StandIn("launched"), 0755);
            // Wine with its 64-bit part alone, as Debian installs it without wine32:i386.
            for (const char* part : {"x86_64-windows/ntdll.dll", "x86_64-unix/ntdll.so"}) {
                if (kind == "wine64") {
                    QVERIFY(QDir().mkpath(QFileInfo(base + "lib/wine/" + part).path()));
                    WriteFile(base + "lib/wine/" + part, "part", 0644);
                }
            }
            if (kind == "acl" && QProcess::execute("setfacl", {"-m", "u:65534:rwx", path}) != 0)
                QSKIP("setfacl is missing or the file system has no ACLs");
            const bool foreign = kind == "foreign" || kind == "foreign-link";
            if (kind == "shared-folder" && ::chmod(dir.constData(), 02775) != 0)
                QFAIL("chmod");
            if ((kind == "group-writable" || foreign || kind == "shared-folder") &&
                ::lchown(kind == "shared-folder" ? dir.constData() : path.constData(),
                         foreign ? 65534 : -1, users ? users->gr_gid : 100) != 0)
                QSKIP("another user's or group's file needs root");
        }
        searchPath.replace('@', QFile::encodeName(Top()));
        ran.replace('@', QFile::encodeName(Top()));
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
            QVERIFY2(e.code() == failure, e.what());
            // Wine's own words reach the user.
            if (failure == WineFailed)
                QVERIFY(QByteArray(e.what()).endsWith(": ShellExecuteEx failed: File not found."));
        }
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
