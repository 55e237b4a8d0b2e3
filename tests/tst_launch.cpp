// SPDX-License-Identifier: MIT
#include "core/error.h"
#include "launch/launch.h"
#include "launch/lookup.h"
#include "launch/pe.h"
#include "launch/trust.h"
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
#include <linux/posix_acl.h>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// The smallest Windows program's start: "MZ", the offset of "PE\0\0", the machine and a PE32+
// optional header with `subsystem`; machine 0 points the DOS header past the file. `cut`
// drops the optional header's end, which Wine's loader needs.
QByteArray PeImage(quint16 machine, char subsystem = 0, bool cut = false)
{
    using namespace vexalo::pe;
    const int signature = kDosHeaderSize;
    QByteArray image = QByteArray("MZ").leftJustified(
        signature + kOptionalHeaderAt + (cut ? 40 : kPe32PlusMinimalSize), '\0');
    image[kSignatureOffsetAt] = static_cast<char>(machine ? signature : 0x70);
    image.replace(signature, kSignatureSize, QByteArray(kSignature, kSignatureSize));
    const auto put16 = [&image, signature](std::size_t at, quint16 value) {
        image[signature + at] = static_cast<char>(value & 0xff);
        image[signature + at + 1] = static_cast<char>(value >> 8);
    };
    put16(kMachineAt, machine);
    put16(kOptionalHeaderSizeAt, kPe32PlusMinimalSize);
    put16(kOptionalHeaderAt, kPe32PlusMagic);
    if (!cut)
        put16(kOptionalHeaderAt + kSubsystemAt, static_cast<quint16>(subsystem));
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
    {"wine-disk-full", "0024:err:setupapi:do_file_copyW copy error 112 L\"kernel32.dll\"\nwine: "
                       "could not load kernel32.dll, status c0000135\nNo space left on device"},
};

// Kinds that are a folder's mode, not a file.
const QMap<QByteArray, mode_t> kFolderModes = {
    {"closed", 0700}, {"sticky", 01777}, {"open-folder", 0777}};

// The accounts the judgement's rows are judged for: ann (1000, private group 1000), eve
// (1001), the shared group players (1001), and groups named as ann that are not hers alone.
enum : gid_t { kAnn = 1000, kEve = 1001, kPlayers = 1001, kAnnShared = 1002, kAnnListed = 1003 };

vexalo::Accounts Ann(gid_t userGroup = kAnn)
{
    vexalo::Accounts accounts;
    accounts.user = kAnn;
    accounts.userName = "ann";
    accounts.userGroup = userGroup;
    accounts.group = [](gid_t gid) -> std::optional<vexalo::Accounts::Group> {
        if (gid == kPlayers)
            return vexalo::Accounts::Group{"players", {"ann", "eve"}, false};
        if (gid == kAnnShared) // eve was made with "useradd -g ann"
            return vexalo::Accounts::Group{"ann", {}, true};
        if (gid == kAnnListed)
            return vexalo::Accounts::Group{"ann", {"ann", "eve"}, false};
        return vexalo::Accounts::Group{"ann", {}, false};
    };
    accounts.userNameOf = [](uid_t uid) { return uid == kEve ? "eve" : std::to_string(uid); };
    accounts.groupNameOf = [](gid_t gid) { return gid == kPlayers ? "players" : "ann"; };
    return accounts;
}

// A step's permissions: `mode` with its type, ann's unless said, and ACL entries "u:1001:w".
vexalo::Permissions Step(mode_t mode, uid_t owner = kAnn, gid_t group = kAnn,
                         std::vector<vexalo::AclEntry> acl = {})
{
    vexalo::Permissions step;
    step.mode = mode;
    step.owner = owner;
    step.group = group;
    step.acl = std::move(acl);
    return step;
}

vexalo::Drive Exfat(const std::string& mountPoint = "/media/ann/GAMES", bool inFstab = false)
{
    return {false, "/dev/sdb1", mountPoint, inFstab};
}

} // namespace

Q_DECLARE_METATYPE(vexalo::Facts)
Q_DECLARE_METATYPE(vexalo::Use)

class TestLaunch : public RendererScratch {
    Q_OBJECT

    bool privateMounts_ = false;
    QString loopDevice_;  // a drive's, detached after each case
    QString fuseMounted_; // where a case mounted bindfs, unmounted after it

    // Mounts `dir` over itself through FUSE, as an ordinary user may, with bindfs's `options`:
    // every file shown as another user's, or a file system that runs nothing.
    bool Bind(const QByteArray& dir, const QStringList& options)
    {
        fuseMounted_ = QFile::decodeName(dir);
        return QProcess::execute("bindfs", QStringList{"--no-allow-other"} + options +
                                               QStringList{fuseMounted_, fuseMounted_}) == 0 &&
               QDir::setCurrent(Run());
    }

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
    void init()
    {
        Enter();
        qputenv("WINEPREFIX", QFile::encodeName(Path("prefix")));
    }
    void cleanup()
    {
        Leave();
        ::umount2(QFile::encodeName(Run()).constData(), MNT_DETACH);
        if (!fuseMounted_.isEmpty())
            QProcess::execute("sh", {"-c", "fusermount -uzq \"$0\" || fusermount3 -uzq \"$0\"",
                                     std::exchange(fuseMounted_, {})});
        if (!loopDevice_.isEmpty())
            QProcess::execute("/usr/sbin/losetup", {"-d", std::exchange(loopDevice_, {})});
    }

    // Mounts a new exFAT drive on `dir` as a desktop does, through FUSE on a loop device: a
    // file system with no modes of its own, whose files all show 0777.
    bool MountDrive(const QByteArray& dir)
    {
        const QString image = Top() + "/drive.img";
        QProcess mount;
        if (QFile file(image);
            !privateMounts_ || !file.open(QIODevice::WriteOnly) || !file.resize(8 << 20))
            return false;
        mount.start("sh", {"-c",
                           "PATH=/usr/sbin:/sbin:$PATH; mkfs.exfat \"$0\" >/dev/null && "
                           "dev=$(losetup --find --show \"$0\") && echo \"$dev\" && "
                           "mount.exfat-fuse \"$dev\" \"$1\"",
                           image, QFile::decodeName(dir)});
        mount.waitForFinished();
        loopDevice_ = QString::fromLocal8Bit(mount.readAllStandardOutput().trimmed());
        return mount.exitCode() == 0;
    }

    // The trust rule's judgement of plain facts, each as a real file system would give them.
    void judgementOfFacts_data()
    {
        using vexalo::Use;
        QTest::addColumn<vexalo::Facts>("facts");
        QTest::addColumn<Use>("use");
        QTest::addColumn<std::error_code>("refusal");
        QTest::addColumn<QByteArray>("remedy"); // a command the refusal must give
        QTest::addColumn<gid_t>("userGroup");   // the user's primary group
        const auto row = [](const char* name, vexalo::Permissions self, Use use,
                            std::error_code refusal = {}, const QByteArray& remedy = {},
                            vexalo::Drive drive = {}, std::vector<vexalo::Permissions> reach = {},
                            gid_t userGroup = kAnn) {
            QTest::newRow(name) << vexalo::Facts{"/games/x", std::move(self), std::move(drive),
                                                 std::move(reach)}
                                << use << refusal << remedy << userGroup;
        };
        const Use way = Use::OnTheWay, dll = Use::DllFolder;
        const mode_t file = S_IFREG, folder = S_IFDIR;
        vexalo::Permissions unreadable = Step(file | 0755);
        unreadable.aclError = std::error_code(ENOENT, std::generic_category()); // /proc hidden
        vexalo::Permissions vanished;
        vanished.statusError = std::error_code(ESTALE, std::generic_category());
        vexalo::Permissions twoNames = Step(file | 0777);
        twoNames.names = 2;
        vexalo::Permissions closedButUnreadable = Step(folder | 0700);
        closedButUnreadable.aclError = std::error_code(EIO, std::generic_category());

        row("another user's file", Step(file | 0755, kEve), way, ForeignOwner);
        row("another user's link", Step(S_IFLNK | 0777, kEve), Use::Link, ForeignOwner);
        row("status unreadable", vanished, way, Unexamined);
        row("ACL unreadable", unreadable, way, Unexamined);
        row("writable by all", Step(file | 0777), way, WritableByOthers, "chmod o-w");
        row("writable by a shared group", Step(file | 0775, kAnn, kPlayers), way, WritableByOthers,
            "chmod g-w");
        row("writable by the private group", Step(file | 0775), way);
        // Named as the user and her primary group, but not hers alone.
        row("the user's group is another account's primary group",
            Step(file | 0775, kAnn, kAnnShared), way, WritableByOthers, "chmod g-w", {}, {},
            kAnnShared);
        row("the user's group lists another member", Step(file | 0775, kAnn, kAnnListed), way,
            WritableByOthers, "chmod g-w", {}, {}, kAnnListed);
        row("ACL: the mask keeps a named user from writing",
            Step(file | 0755, kAnn, kAnn, {{ACL_USER, 7, kEve}, {ACL_MASK, 5, 0}}), way);
        row("ACL: a named group may write",
            Step(file | 0755, kAnn, kAnn, {{ACL_GROUP, 7, kPlayers}}), way, WritableByOthers,
            "setfacl -x g:players");
        row("a sticky folder Wine loads DLLs from", Step(folder | 01777), dll, WritableByOthers);
        // Others' write access counts below a closed folder only where chmod could take it.
        row("keeps modes: below a folder only the user may enter", Step(file | 0777), way,
            WritableByOthers, "chmod o-w", {}, {Step(folder | 0777), Step(folder | 0700)});
        row("drive: below a folder only the user may enter", Step(file | 0777), way, {}, {},
            Exfat(), {Step(folder | 0777), Step(folder | 0700)});
        row("drive: below a folder anybody may enter", Step(file | 0777), way, WritableByOthers,
            "udisksctl mount -b /dev/sdb1 -o umask=022", Exfat(), {Step(folder | 0755)});
        row("drive: a closed folder an ACL opens to another user", Step(file | 0777), way,
            WritableByOthers, {}, Exfat(),
            {Step(folder | 0700, kAnn, kAnn, {{ACL_USER, 5, kEve}})});
        row("drive: a closed folder a shared group may enter", Step(file | 0777), way,
            WritableByOthers, {}, Exfat(), {Step(folder | 0750, kAnn, kPlayers)});
        row("drive: a folder whose ACL cannot be read closes nothing", Step(file | 0777), way,
            WritableByOthers, {}, Exfat(), {closedButUnreadable});
        row("drive: a file with another name, below a closed folder", twoNames, way,
            WritableByOthers, {}, Exfat(), {Step(folder | 0700)});
        row("drive mounted through fstab", Step(file | 0777), way, WritableByOthers, "/etc/fstab",
            Exfat("/mnt/games", true), {Step(folder | 0755)});
        row("drive mounted by hand", Step(file | 0777), way, WritableByOthers, "-o umask=022",
            Exfat("/mnt/games"), {Step(folder | 0755)});
    }
    void judgementOfFacts()
    {
        QFETCH(vexalo::Facts, facts);
        QFETCH(vexalo::Use, use);
        QFETCH(std::error_code, refusal);
        QFETCH(QByteArray, remedy);
        QFETCH(gid_t, userGroup);
        const std::optional<vexalo::Error> judged = vexalo::Judge(facts, use, Ann(userGroup));
        QCOMPARE(judged ? judged->code() : std::error_code(), refusal);
        if (judged)
            QVERIFY2(QByteArray(judged->what()).contains(remedy), judged->what());
    }

    // What Wine would not pass on as it is: its own name mapping, and a command line read as
    // Windows reads one.
    void wineChangesNames_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("changed");
        for (const char* path :
             {"/games/game.", "/games/game ", "/tmp/Game \"SE\"/x", "/a*b", "/a?b", "/a<b", "/a>b",
              "/a|b", "/a\tb", "/a\nb", "/a\x7f", "/caf\xe9", "/a\\b"})
            QTest::newRow(path) << QByteArray(path) << true;
        for (const char* path :
             {"/games/a:b", "/home/ann/Spiele/Vexalo", "/caf\xc3\xa9", "/./a/../b"})
            QTest::newRow(path) << QByteArray(path) << false;
    }
    void wineChangesNames()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, changed);
        QCOMPARE(vexalo::WineChange(path.toStdString()).has_value(), changed);
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
        row("another user's copy here, PATH's runs", {"run:foreign", "bin:exec"}, "own", "@/bin",
            "bin");
        row("writable by all", {"run:world-writable"}, "own", "@/bin", {}, WritableByOthers);
        row("writable by the user's private group", {"run:private-group"}, "own", "@/bin", "run");
        // The ACL reader reads a large one whole; the judgement's table has the entries' rules.
        row("an ACL too large for a page is read whole", {"run:acl-large"}, "own", "@/bin", {},
            WritableByOthers);
        // A folder nobody else may enter (/media/$USER above an NTFS or exFAT drive, whose files
        // all show 0777; a 0700 home) keeps everything below it from other users.
        row("a drive's 0777 files below a folder only the user may enter",
            {"run:drive", "top:closed"}, "own", "@/bin", "run");
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
        row("writable by another user through an ACL", {"run:acl"}, "own", "@/bin", {},
            WritableByOthers);
        row("in a folder anybody may write", {"run:exec", "run:open-folder"}, "own", "@/bin", {},
            WritableByOthers);
        row("Windows program in a folder anybody may write",
            {"run:pe", "run:open-folder", "bin:wine"}, "own", "@/bin", {}, WritableByOthers);
        // Wine loads DLLs from the program's folder and the working directory.
        row("Windows program in a sticky folder", {"run:pe", "run:sticky", "bin:wine"}, "own",
            "@/bin", {}, WritableByOthers);
        row("Windows program on PATH, working directory anybody may write",
            {"bin:pe", "run:open-folder", "bin:wine"}, "own", "@/bin", {}, WritableByOthers);
        // Wine maps names to Windows names and back; these come back as another file's.
        row("Windows program in a Latin-1 folder", {"caf\xe9:pe", "bin:wine"}, "caf\xe9", "@/bin",
            {}, WineRenames);
        row("Windows program in a folder with a backslash", {"a\\b:pe", "bin:wine"}, "a\\b",
            "@/bin", {}, WineRenames);
        // Wine reads its command line as Windows does: '"' ends the name, and ran "@/q".
        row("Windows program in a folder with a quote", {"q\"x:pe", "q:exec", "bin:wine"}, "q\"x",
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
        row("a PE whose optional header is cut short", {"run:pe-cut", "bin:wine"}, "own", "@/bin",
            {}, InvalidWindowsProgram);
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
        row("Wine prefix without its 32-bit system",
            {"run:pe32", "bin:wine-no-kernel32", "prefix:empty-syswow64"}, "own", "@/bin", {},
            WinePrefixWithout32Bit);
        row("kernel32.dll missing, prefix not empty", {"run:pe32", "bin:wine-no-kernel32"}, "own",
            "@/bin", {}, WineFailed);
        row("Wine's first start on a full disk",
            {"run:pe32", "bin:wine-disk-full", "prefix:empty-syswow64"}, "own", "@/bin", {},
            WineDiskFull);
        // Past the bound the start counts as made: Wine may yet show the renderer.
        row("wine start past the bound", {"run:pe", "bin:wine-too-slow"}, "own", "@/bin",
            "wine start /d . /max /unix @/run/opengl.exe");
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
                              kind.endsWith("slow")
                                  ? "until [ -e \"$RENDERER_RECORD.go\" ]; do sleep 0.05; done\n"
                                  : "");
            if (kFolderModes.contains(kind))
                QCOMPARE(::chmod(dir.constData(), kFolderModes[kind]), 0);
            // Root-owned on a desktop, with an entry for the user alone.
            if (kind == "closed" &&
                QProcess::execute("setfacl", {"-m", "u:" + QString::number(::getuid()) + ":rx",
                                              QFile::decodeName(dir)}) != 0)
                QSKIP("setfacl is missing or the file system has no ACLs");
            if (kind == "empty-syswow64")
                QVERIFY(QDir().mkpath(dir + "/drive_c/windows/syswow64"));
            if (kind == "closed" || kind == "empty-syswow64")
                continue;
            if (kind == "drive" && !MountDrive(dir))
                QSKIP("an exFAT drive needs root, exfatprogs and exfat-fuse");
            if (kind == "drive")
                QVERIFY(QDir::setCurrent(Run()));
            if (kind == "noexec" && !Bind(dir, {"-o", "noexec"}))
                QSKIP("bindfs is missing, or FUSE is not open to this user");
            if (kind == "acl-large") {
                if (!privateMounts_)
                    QSKIP("mounting a tmpfs needs root and a mount namespace");
                QCOMPARE(::mount("tmpfs", dir.constData(), "tmpfs", 0, nullptr), 0);
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
                          PeImage(machine,
                                  kind == "pe-efi"   ? 10
                                  : kind == "pe-gui" ? 2
                                                     : 0,
                                  kind == "pe-cut"),
                          kind.endsWith("plain") ? 0644 : 0755);
            else if (kind != "open-folder" && kind != "sticky")
                WriteFile(path, script,
                          kind == "plain"                               ? 0644
                          : kind == "world-writable" || kind == "drive" ? 0777
                          : kind.contains("group")                      ? 0775
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
            QString acl = "u:%1:rwx";
            for (int user = 1; kind == "acl-large" && user <= 600; ++user)
                acl += ",u:" + QString::number(user) + ":rx";
            if (kind.startsWith("acl") &&
                QProcess::execute(
                    "setfacl", {"-m", acl.arg(kind == "acl-large" ? 99999 : Other()), path}) != 0)
                QSKIP("setfacl is missing or the file system has no ACLs");
            // The file system itself says that another user owns the folder and all in it.
            if (kind == "foreign" && !Bind(dir, {"--force-user=" + QString::number(Other())}))
                QSKIP("bindfs is missing, or FUSE is not open to this user");
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
                const bool pastBound = files.contains("bin:wine-too-slow");
                if (!pastBound)
                    WriteFile(Path("record.go").toLocal8Bit(), {}, 0644);
                pollfd ready = {fd, POLLIN, 0};
                ::poll(&ready, 1, pastBound ? 0 : static_cast<int>(bound.count()));
            });
            QVERIFY2(!failure, "started");
            WriteFile(Path("record.go").toLocal8Bit(), {}, 0644);
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
                QVERIFY2(
                    QByteArray(e.what()).endsWith(": ShellExecuteEx failed: File not found.") ||
                        QByteArray(e.what()).endsWith("kernel32.dll, status c0000135"),
                    e.what());
        }
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
