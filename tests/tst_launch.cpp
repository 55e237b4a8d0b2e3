// SPDX-License-Identifier: MIT
#include "core/error.h"
#include "launch/launch.h"
#include "tests/test_files.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using enum vexalo::LaunchError;

Q_DECLARE_METATYPE(std::error_code)

namespace {

// A descriptor the tests hold without close-on-exec, which the renderer must not inherit.
constexpr int kInheritable = 57;

// A stand-in that records its name, arguments, directory, DISPLAY, and the signals and
// descriptor it inherited, after `before`; "shebang" false makes it a script that only a
// shell runs.
QByteArray StandIn(const QByteArray& name, bool shebang = true, const QByteArray& before = {})
{
    // Read with builtins alone, first: a shell blocks its signals for a moment while it forks.
    return QByteArray(shebang ? "#!/bin/sh\n" : "") +
           "while read -r key value; do case $key in Sig[BI][lg][kn]:) got=\"$got$key$value \";; "
           "esac; done </proc/$$/status\n[ -e /proc/$$/fd/" +
           QByteArray::number(kInheritable) + " ] && got=\"${got}fd\"\n" + before +
           "printf '%s\\n' \"" + name +
           " $*\" \"$(pwd)\" \"$DISPLAY\" \"$got\" >\"$RENDERER_RECORD.part\"\nmv "
           "\"$RENDERER_RECORD.part\" \"$RENDERER_RECORD\"\n";
}

// The smallest Windows program's start: "MZ", and at 0x3C the offset of "PE\0\0" and the
// machine (0 for none: no valid PE header); with a subsystem, an optional header that holds it.
QByteArray PeImage(quint16 machine, char subsystem = 0)
{
    QByteArray image = QByteArray("MZ").leftJustified(subsystem ? 0x40 + 24 + 240 : 0x48, '\0');
    image[0x3C] = machine ? 0x40 : 0x70;
    image.replace(0x40, 4, QByteArray("PE\0\0", 4));
    image[0x44] = static_cast<char>(machine & 0xff);
    image[0x45] = static_cast<char>(machine >> 8);
    if (subsystem) {
        image[0x40 + 20] = static_cast<char>(240); // the size of a PE32+ optional header
        image[0x40 + 92] = subsystem;
    }
    return image;
}

// Another user than the one running the tests.
uid_t Other()
{
    return ::getuid() + 1;
}

// Whether the user's primary group is the user's own alone, as Debian makes them.
bool PrivateGroup()
{
    const passwd* user = ::getpwuid(::getuid());
    const group* primary = user ? ::getgrgid(user->pw_gid) : nullptr;
    return primary && QByteArray(primary->gr_name) == user->pw_name &&
           (!primary->gr_mem[0] ||
            (QByteArray(primary->gr_mem[0]) == user->pw_name && !primary->gr_mem[1]));
}

// Stand-ins for a "wine start" that fails, by what Wine printed last.
const QMap<QByteArray, QByteArray> kFailingWine = {
    {"wine-fails", "ShellExecuteEx failed: File not found."},
    {"wine-empty-tail", "ShellExecuteEx failed: File not found.\nShellExecuteEx failed: "},
    {"wine-long-path", "wine: could not open working directory L\"Z:\\\\aaa\"..., starting in "
                       "the Windows directory.\nShellExecuteEx failed: File not found."},
    {"wine-no-kernel32", "wine: could not load kernel32.dll, status c0000135"},
};

// Kinds that are a folder's mode, not a file.
const QMap<QByteArray, mode_t> kFolderModes = {
    {"closed", 0700}, {"sticky", 01777}, {"drive", 0777}, {"shared-folder", 02775}};

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
        // What the tool may ignore, block or hold for itself, and the renderer must not get.
        ::signal(SIGUSR1, SIG_IGN);
        sigset_t blocked;
        ::sigemptyset(&blocked);
        ::sigaddset(&blocked, SIGUSR2);
        ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        QCOMPARE(::dup2(STDERR_FILENO, kInheritable), kInheritable);
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
        // A mask without write keeps a named user's entry harmless; a named group's is not.
        row("an ACL entry the mask keeps from writing", {"run:acl-masked"}, "own", "@/bin", "run");
        row("writable by a named group through an ACL", {"run:acl-group"}, "own", "@/bin", {},
            WritableByOthers);
        row("an ACL too large for a page is read whole", {"run:acl-large"}, "own", "@/bin", {},
            WritableByOthers);
        // A folder nobody else may enter (/media/$USER above an NTFS or exFAT drive, whose files
        // all show 0777; a 0700 home) keeps everything below it from other users.
        row("a drive's 0777 files below a folder only the user may enter",
            {"run:drive", "top:closed"}, "own", "@/bin", "run");
        row("a drive's 0777 files below a folder anybody may enter", {"run:drive"}, "own", "@/bin",
            {}, WritableByOthers);
        // Names as Windows matches them, beside the tool and here; on PATH only the exact one.
        row("upper case here", {"run:upper"}, "own", "@/bin", "run");
        row("upper case beside the tool", {"own:upper", "run:exec"}, "own", "@/bin", "own");
        row("two names differing in case here", {"run:upper", "run:mixed"}, "own", "@/bin", {},
            SeveralNames);
        row("upper case on PATH is not the renderer", {"bin:upper"}, "own", "@/bin", {}, NotFound);
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
        // Wine loads DLLs from the program's folder and the working directory.
        row("Windows program in a sticky folder", {"run:pe", "run:sticky", "bin:wine"}, "own",
            "@/bin", {}, WritableByOthers);
        row("Windows program on PATH, working directory writable by a shared group",
            {"bin:pe", "run:shared-folder", "bin:wine"}, "own", "@/bin", {}, WritableByOthers);
        // Wine maps names to Windows names and back; these come back as another file's.
        row("Windows program in a Latin-1 folder", {"caf\xe9:pe", "bin:wine"}, "caf\xe9", "@/bin",
            {}, WineRenames);
        row("Windows program in a folder with a backslash", {"a\\b:pe", "bin:wine"}, "a\\b",
            "@/bin", {}, WineRenames);
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
        row("32-bit Windows program, no Wine", {"run:pe32"}, "own", "@/bin", {},
            NeedsWineWith32Bit);
        row("Windows program for ARM, no Wine", {"run:pe-arm"}, "own", "@/bin", {}, ForeignMachine);
        row("UEFI application", {"run:pe-efi", "bin:wine"}, "own", "@/bin", {}, FirmwareProgram);
        row("Windows GUI program with its optional header", {"run:pe-gui", "bin:wine"}, "own",
            "@/bin", "wine start /d . /max /unix @/run/opengl.exe");
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
        row("wine start ends with an empty tail", {"run:pe", "bin:wine-empty-tail"}, "own", "@/bin",
            {}, WineFailed);
        row("Wine cannot use the working directory", {"run:pe", "bin:wine-long-path"}, "own",
            "@/bin", {}, WinePathTooLong);
        row("Wine prefix without its 32-bit system", {"run:pe32", "bin:wine-no-kernel32"}, "own",
            "@/bin", {}, WinePrefixWithout32Bit);
        row("wine start ends only once waited for", {"run:pe", "bin:wine-slow"}, "own", "@/bin",
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
            const QByteArray dir = dirName == "top" ? QFile::encodeName(Top()) : base + dirName;
            const QByteArray path = dir + (wine              ? "/wine"
                                           : kind == "upper" ? "/OPENGL.EXE"
                                           : kind == "mixed" ? "/OpenGL.exe"
                                                             : "/opengl.exe");
            ::mkdir(dir.constData(), 0755);
            const quint16 machine = kind == "mz"       ? 0
                                    : kind == "pe32"   ? 0x14c
                                    : kind == "pe-arm" ? 0xaa64
                                                       : 0x8664;
            const QByteArray script =
                kFailingWine.contains(kind)
                    ? "#!/bin/sh\necho '" + kFailingWine[kind] + "'\nexit 1\n"
                : kind == "launcher" ? "#!/bin/sh\ncd \"$(dirname \"$0\")\" "
                                       "&& exec ./renderer.bin\n"
                : kind == "crlf"     ? "#!/bin/sh\r\ntrue\r\n"
                : kind == "python9"
                    ? "#!/opt/nowhere/python9\n"
                    : StandIn(wine ? "wine" : dirName, kind != "text",
                              kind == "wine-slow"
                                  ? "until [ -e \"$RENDERER_RECORD.go\" ]; do sleep 0.05; done\n"
                                  : "");
            if (kFolderModes.contains(kind))
                QCOMPARE(::chmod(dir.constData(), kFolderModes[kind]), 0);
            // Root-owned on a desktop, with an entry for the user alone.
            if (kind == "closed" &&
                QProcess::execute("setfacl", {"-m", "u:" + QString::number(::getuid()) + ":rx",
                                              QFile::decodeName(dir)}) != 0)
                QSKIP("setfacl is missing or the file system has no ACLs");
            if (kind == "closed")
                continue;
            if (kind == "noexec" || kind == "acl-large") {
                if (!privateMounts_)
                    QSKIP("mounting a tmpfs needs root and a mount namespace");
                QCOMPARE(::mount("tmpfs", dir.constData(), "tmpfs",
                                 kind == "noexec" ? static_cast<unsigned long>(MS_NOEXEC) : 0UL,
                                 nullptr),
                         0);
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
                WriteFile(path,
                          PeImage(machine, kind == "pe-efi"   ? 10
                                           : kind == "pe-gui" ? 2
                                                              : 0),
                          kind.endsWith("plain") ? 0644 : 0755);
            else if (kind != "shared-folder" && kind != "sticky")
                WriteFile(path, script,
                          kind == "plain"                               ? 0644
                          : kind == "world-writable" || kind == "drive" ? 0777
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
            if (kind == "private-group" && !PrivateGroup())
                QSKIP("the user's primary group is not a private one");
            // Entries sorted by id: the writer's comes after 4 KiB of harmless ones.
            QString acl = kind == "acl-masked"  ? "u:%1:rwx,m::rx"
                          : kind == "acl-group" ? "g:%2:rwx"
                                                : "u:%1:rwx";
            for (int user = 1; kind == "acl-large" && user <= 600; ++user)
                acl += ",u:" + QString::number(user) + ":rx";
            if (kind.startsWith("acl") &&
                QProcess::execute("setfacl",
                                  {"-m",
                                   acl.arg(QString::number(kind == "acl-large" ? 99999 : Other()),
                                           QString::number(users ? users->gr_gid : 100)),
                                   path}) != 0)
                QSKIP("setfacl is missing or the file system has no ACLs");
            const bool foreign = kind == "foreign" || kind == "foreign-link";
            if ((kind == "group-writable" || foreign || kind == "shared-folder") &&
                ::lchown(kind == "shared-folder" ? dir.constData() : path.constData(),
                         foreign ? Other() : static_cast<uid_t>(-1),
                         users ? users->gr_gid : 100) != 0)
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
            // "wine start" may end only once the tool waits for it.
            vexalo::StartRendererFrom(window, places, [&](int fd, std::chrono::milliseconds bound) {
                WriteFile(Path("record.go").toLocal8Bit(), {}, 0644);
                pollfd ready = {fd, POLLIN, 0};
                ::poll(&ready, 1, static_cast<int>(bound.count()));
            });
            QVERIFY2(!failure, "started");
            QTRY_VERIFY(QFile::exists(Path("record")));
            const QByteArrayList record = ReadAll(Path("record")).split('\n');
            QCOMPARE(record.value(0).trimmed(), ran);
            QCOMPARE(record.value(1), QFile::encodeName(Run()));
            QCOMPARE(record.value(2), display.isEmpty() ? qgetenv("DISPLAY") : display);
            QCOMPARE(record.value(3), "SigBlk:0000000000000000 SigIgn:0000000000000000 ");
        } catch (const vexalo::Error& e) {
            QVERIFY2(e.code() == failure, e.what());
            // Wine's own words reach the user: the last line that says something.
            if (failure == WineFailed)
                QVERIFY(QByteArray(e.what()).endsWith(": ShellExecuteEx failed: File not found."));
        }
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
