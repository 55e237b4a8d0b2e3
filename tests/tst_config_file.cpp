// SPDX-License-Identifier: MIT
#include "core/config_file.h"
#include "core/error.h"
#include "core/resolve_path.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using vexalo::DesktopMode;
using vexalo::DisplayChoices;

Q_DECLARE_METATYPE(DisplayChoices)
Q_DECLARE_METATYPE(DesktopMode)
Q_DECLARE_METATYPE(std::error_code)

namespace {

// Failed saves as reported in the C locale: the system's words, then what to do.
const QByteArray kDenied =
    "config.txt: Permission denied; you may not write here: open the tool on "
    "a folder you can write to, such as a copy of the game folder in your "
    "home folder";
const QByteArray kFull =
    "config.txt: No space left on device; free some space on this drive, then save again";

QByteArray Lines(const QList<QByteArray>& lines)
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

DisplayChoices Defaults()
{
    DisplayChoices c;
    vexalo::ApplyDefaults(c);
    return c;
}

bool IsRoot()
{
    return ::geteuid() == 0;
}

// Runs the writer in `dir` as an unprivileged user: as nobody when we are root, since root
// may write anywhere; as ourselves otherwise. The helper is copied out of the build tree,
// which nobody may not be allowed to enter.
QString CopyHelper(const QTemporaryDir& bin)
{
    const QString helper = bin.filePath("write_config_helper");
    if (!QFile::copy(QStringLiteral(WRITE_CONFIG_HELPER), helper) ||
        ::chmod(QFile::encodeName(bin.path()).constData(), 0755) != 0)
        return {};
    return helper;
}

std::pair<int, QByteArray> WriteAsUnprivilegedUser(const QString& dir)
{
    QTemporaryDir bin;
    const QString helper = CopyHelper(bin);
    if (helper.isEmpty())
        return {-1, "cannot copy the helper"};
    QProcess p;
    p.setWorkingDirectory(dir);
    if (IsRoot())
        p.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", helper});
    else
        p.start(helper, {});
    if (!p.waitForFinished(30000))
        return {-1, p.errorString().toUtf8()};
    return {p.exitCode(), p.readAllStandardOutput().trimmed()};
}

const DesktopMode kDesktop1280{true, 1280, 1024, 32};
const QByteArray kDefaultText = Lines(
    {"[VEXALO-CONFIG]", "", "WIDTH: 1024", "HEIGHT: 768", "BPP: 32", "FULLSCREEN? (0=no/1=yes): 1",
     "", "[DESKTOP-CONFIG]", "WIDTH: 1280", "HEIGHT: 1024", "BPP: 32"});

// Runs one phase of a case of config_file_cases.sh (`cases`) in `dir`, with the writer helper
// as $H and the text it writes in the file $NEW.
std::pair<int, QByteArray> RunCase(const QString& dir, const QString& cases, const QString& name,
                                   const QString& phase)
{
    QTemporaryDir bin;
    const QString helper = CopyHelper(bin);
    QFile text(bin.filePath("new"));
    if (helper.isEmpty() || !text.open(QIODevice::WriteOnly) || text.write(kDefaultText) < 0)
        return {-1, "cannot set up the helper"};
    text.close();
    ::chmod(QFile::encodeName(text.fileName()).constData(), 0644);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("H", helper);
    env.insert("NEW", text.fileName());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start("bash", {cases, name, phase});
    if (!p.waitForFinished(60000))
        return {-1, "script did not finish"};
    return {p.exitCode(), p.readAllStandardOutput().trimmed()};
}

QByteArray ReadProtectedSymlinks()
{
    QFile setting("/proc/sys/fs/protected_symlinks");
    return setting.open(QIODevice::ReadOnly) ? setting.readAll().trimmed() : QByteArray();
}

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> tmp_;
    QString oldCwd_;
    QByteArray protectedSymlinks_; // the machine's setting, put back after the run

    const QTemporaryDir& dir() const { return *tmp_; }
    QString Path(const QString& name) const { return tmp_->filePath(name); }

private slots:
    // Debian protects links in sticky directories by default, but containers often run with
    // the protection off; the case that relies on it turns it on and this puts it back.
    void initTestCase() { protectedSymlinks_ = ReadProtectedSymlinks(); }
    void cleanupTestCase()
    {
        if (!protectedSymlinks_.isEmpty() && ReadProtectedSymlinks() != protectedSymlinks_)
            QProcess::execute("sysctl", {"-qw", "fs.protected_symlinks=" + protectedSymlinks_});
    }

    void init()
    {
        tmp_.emplace();
        QVERIFY(tmp_->isValid());
        oldCwd_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir().path()));
    }
    void cleanup() { QDir::setCurrent(oldCwd_); }

    void textHasElevenCrLfLinesForEveryChoice_data()
    {
        QTest::addColumn<DisplayChoices>("choices");
        QTest::addColumn<DesktopMode>("desktop");
        QTest::addColumn<QByteArray>("expected");

        const struct {
            int option;
            QByteArray width, height;
        } resolutions[] = {
            {1, "640", "480"}, {2, "800", "600"}, {3, "1024", "768"}, {4, "1600", "1200"}};
        const struct {
            int option;
            QByteArray bpp;
        } depths[] = {{5, "16"}, {6, "32"}};
        const struct {
            const char* name;
            DesktopMode mode;
            QList<QByteArray> lines;
        } desktops[] = {
            {"desktop 1920x1080x16",
             {true, 1920, 1080, 16},
             {"WIDTH: 1920", "HEIGHT: 1080", "BPP: 16"}},
            {"no desktop", {}, {"WIDTH: 1024", "HEIGHT: 768", "BPP: 32"}},
        };
        for (const auto& r : resolutions)
            for (const auto& d : depths)
                for (int check1 : {0, 1})
                    for (const auto& desk : desktops) {
                        DisplayChoices c;
                        vexalo::SelectChoice(c, r.option);
                        vexalo::SelectChoice(c, d.option);
                        c.Check1 = check1;
                        QList<QByteArray> lines{"[VEXALO-CONFIG]",
                                                "",
                                                "WIDTH: " + r.width,
                                                "HEIGHT: " + r.height,
                                                "BPP: " + d.bpp,
                                                "FULLSCREEN? (0=no/1=yes): " +
                                                    QByteArray::number(check1),
                                                "",
                                                "[DESKTOP-CONFIG]"};
                        lines += desk.lines;
                        QTest::addRow("%sx%s %sbpp full=%d %s", r.width.constData(),
                                      r.height.constData(), d.bpp.constData(), check1, desk.name)
                            << c << desk.mode << Lines(lines);
                    }
        QTest::newRow("zero sizes are written as reported")
            << Defaults() << DesktopMode{true, 0, 0, 0}
            << Lines({"[VEXALO-CONFIG]", "", "WIDTH: 1024", "HEIGHT: 768", "BPP: 32",
                      "FULLSCREEN? (0=no/1=yes): 1", "", "[DESKTOP-CONFIG]", "WIDTH: 0",
                      "HEIGHT: 0", "BPP: 0"});
    }
    void textHasElevenCrLfLinesForEveryChoice()
    {
        QFETCH(DisplayChoices, choices);
        QFETCH(DesktopMode, desktop);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(vexalo::ConfigFileText(choices, desktop)), expected);
    }

    void createsFileInCurrentDirectory()
    {
        vexalo::WriteConfigFile(Defaults(), kDesktop1280);
        QCOMPARE(ReadAll(Path("config.txt")), kDefaultText);
        QCOMPARE(QDir(dir().path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"config.txt"});
    }

    void replacesLongerFileEntirely()
    {
        WriteBytes(Path("config.txt"), QByteArray(4096, 'x'));
        vexalo::WriteConfigFile(Defaults(), kDesktop1280);
        QCOMPARE(ReadAll(Path("config.txt")), kDefaultText);
    }

    void savingTwiceGivesIdenticalBytes()
    {
        vexalo::WriteConfigFile(Defaults(), kDesktop1280);
        const QByteArray first = ReadAll(Path("config.txt"));
        vexalo::WriteConfigFile(Defaults(), kDesktop1280);
        QCOMPARE(ReadAll(Path("config.txt")), first);
    }

    void keepsPermissionBits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0600") << 0600;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0664") << 0664;
    }
    void keepsPermissionBits()
    {
        QFETCH(int, mode);
        WriteBytes(Path("config.txt"), "old\r\n");
        QVERIFY(QFile::setPermissions(Path("config.txt"), QFileDevice::Permissions{}));
        QCOMPARE(::chmod("config.txt", static_cast<mode_t>(mode)), 0);
        vexalo::WriteConfigFile(Defaults(), kDesktop1280);
        struct stat st {};
        QCOMPARE(::stat("config.txt", &st), 0);
        QCOMPARE(static_cast<int>(st.st_mode & 07777), mode);
        QCOMPARE(ReadAll(Path("config.txt")), kDefaultText);
    }

    void symlinkStaysLinkAndTargetGetsContent_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<std::error_code>("failure");
        QTest::newRow("existing target") << true << std::error_code();
        // A file the user did not mean is not made.
        QTest::newRow("dangling link")
            << false << make_error_code(vexalo::WriteError::DanglingLink);
    }
    void symlinkStaysLinkAndTargetGetsContent()
    {
        QFETCH(bool, targetExists);
        QFETCH(std::error_code, failure);
        QVERIFY(QDir(dir().path()).mkdir("real"));
        if (targetExists)
            WriteBytes(Path("real/settings.txt"), QByteArray(300, 'o'));
        QCOMPARE(::symlink("real/settings.txt", "config.txt"), 0);
        try {
            vexalo::WriteConfigFile(Defaults(), kDesktop1280);
            QVERIFY(!failure);
        } catch (const vexalo::Error& e) {
            QVERIFY2(e.code() == failure, e.what());
        }
        QVERIFY(QFileInfo(Path("config.txt")).isSymLink());
        QCOMPARE(ReadAll(Path("real/settings.txt")),
                 failure ? QByteArray("<unreadable>") : kDefaultText);
        QCOMPARE(QDir(Path("real")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 targetExists ? QStringList{"settings.txt"} : QStringList{});
    }

    // Another user who may rename entries here swaps their link in right after ours was
    // judged: the walk must go where the judged link leads.
    void linkReadIsTheLinkJudged()
    {
        QCOMPARE(::symlink("mine.txt", "config.txt"), 0);
        QCOMPARE(::symlink("victim.txt", "swapped"), 0);
        const auto swapAfterJudging = [](const vexalo::PathStep& step) {
            if (step.kind == vexalo::PathStep::Link)
                ::renameat2(step.fd, "config.txt", step.fd, "swapped", RENAME_EXCHANGE);
            return std::error_code();
        };
        vexalo::PathEnd end;
        QCOMPARE(vexalo::ResolvePath(AT_FDCWD, ".", "config.txt", swapAfterJudging, end),
                 std::error_code());
        QCOMPARE(QString::fromStdString(end.name), "mine.txt");
        QCOMPARE(end.links, 1);
    }

    void directoryNamedConfigTxtIsAFailure()
    {
        QVERIFY(QDir(dir().path()).mkdir("config.txt"));
        try {
            vexalo::WriteConfigFile(Defaults(), kDesktop1280);
            QFAIL("no failure reported");
        } catch (const vexalo::Error& e) {
            QCOMPARE(e.code().value(), EISDIR);
        }
        QVERIFY(QFileInfo(Path("config.txt")).isDir());
        QCOMPARE(QDir(dir().path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"config.txt"});
    }

    void unprivilegedWriter_data()
    {
        QTest::addColumn<int>("dirMode");
        QTest::addColumn<int>("fileMode"); // -1: no config.txt
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("rewritten");

        QTest::newRow("read-only file in writable directory")
            << 0777 << 0444 << 1 << kDenied << false;
        QTest::newRow("no file, unwritable directory") << 0755 << -1 << 1 << kDenied << false;
        QTest::newRow("writable file, unwritable directory: written in place")
            << 0755 << 0666 << 0 << QByteArray() << true;
        QTest::newRow("read-only file, unwritable directory")
            << 0755 << 0444 << 1 << kDenied << false;
    }
    void unprivilegedWriter()
    {
        QFETCH(int, dirMode);
        QFETCH(int, fileMode);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        QFETCH(bool, rewritten);

        const QByteArray old = "[VEXALO-CONFIG]\r\nkeep me\r\n";
        if (fileMode >= 0) {
            WriteBytes(Path("config.txt"), old);
            QCOMPARE(::chmod("config.txt", static_cast<mode_t>(fileMode)), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(dir().path()).constData(), static_cast<mode_t>(dirMode)),
                 0);
        const auto [code, output] = WriteAsUnprivilegedUser(dir().path());
        ::chmod(QFile::encodeName(dir().path()).constData(), 0700);
        if (!IsRoot() && dirMode == 0755)
            QSKIP("the directory is our own and stays writable to us; needs root to test");

        QCOMPARE(output, message);
        QCOMPARE(code, exitCode);
        const QStringList expectedEntries =
            fileMode >= 0 ? QStringList{"config.txt"} : QStringList{};
        QCOMPARE(QDir(dir().path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 expectedEntries);
        if (fileMode >= 0)
            QCOMPARE(ReadAll(Path("config.txt")), rewritten ? kDefaultText : old);
    }

    // Each row sets up a directory as a hostile user or environment would, runs the writer
    // and checks what it says and what is left on disk. The new text is always either in place
    // or nowhere, and no temporary file is ever left behind. The case's setup, run and check
    // are the functions named after it in config_file_cases.sh.
    void holdsInHostileSetups_data()
    {
        QTest::addColumn<bool>("needsRoot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("failed flush of the new file keeps the old one")
            << false << QString("new_file_flush_fails")
            << QByteArray("config.txt: Input/output error");
        QTest::newRow("failed flush of a first file leaves nothing")
            << false << QString("first_file_flush_fails") << kFull;
        QTest::newRow("failed flush of the directory is reported")
            << false << QString("directory_flush_fails")
            << QByteArray("config.txt: Input/output error");
        QTest::newRow("links another user planted in a sticky or a shared folder are not followed")
            << true << QString("planted_links")
            << QByteArray("config.txt: a link owned by another user, not followed: ./config.txt "
                          "belongs to user nobody\nconfig.txt: a link owned by another user, not "
                          "followed: ./config.txt belongs to user nobody");
        QTest::newRow("link loop") << false << QString("link_loop")
                                   << QByteArray("config.txt: Too many levels of symbolic links");
        QTest::newRow("full device is written through, not replaced")
            << true << QString("full_device") << kFull;
        QTest::newRow("link to a null device stays a link to it")
            << true << QString("link_to_null_device") << QByteArray();
        QTest::newRow("FIFO without a reader fails at once")
            << false << QString("fifo_without_reader")
            << QByteArray("config.txt: No such device or address");
        QTest::newRow("append-only directory: rewritten in place or created")
            << true << QString("append_only_directory") << QByteArray();
        QTest::newRow("append-only directory we may write but not read: rewritten in place")
            << true << QString("append_only_unreadable_directory") << QByteArray();
        QTest::newRow("sticky directory, another user's writable file: rewritten in place")
            << true << QString("others_file_in_sticky_directory") << QByteArray();
        QTest::newRow("ACL entries, deny ones too, and attributes are kept; defaults not added")
            << false << QString("acl_and_attributes") << QByteArray();
        QTest::newRow("FUSE mount that denies chmod: rewritten in place, every time")
            << true << QString("fuse_denies_chmod") << QByteArray();
        QTest::newRow("in place, no room for the new text: the old text stays whole")
            << true << QString("in_place_without_room")
            << QByteArray("config.txt: File too large\nconfig.txt: Disk quota exceeded; your disk "
                          "quota here is used up: delete some of your files on this drive, or ask "
                          "its administrator for more space");
        QTest::newRow("killed while writing: nothing left beside the old file")
            << false << QString("killed_while_writing") << QByteArray();
        QTest::newRow("link to a name near the length limit")
            << false << QString("link_to_long_name") << QByteArray();
        QTest::newRow("root keeps a user's owner, group and mode")
            << true << QString("root_keeps_owner") << QByteArray();
        QTest::newRow("Latin-1 directory names, directly and through a link")
            << false << QString("latin1_directory_names") << QByteArray();
        QTest::newRow("ancestor we may not search: still replaced atomically")
            << false << QString("unsearchable_ancestor") << QByteArray();
        QTest::newRow("file-size limit")
            << false << QString("file_size_limit") << QByteArray("config.txt: File too large");
        QTest::newRow("deleted working directory")
            << false << QString("deleted_working_directory")
            << QByteArray("config.txt: No such file or directory");
    }
    void holdsInHostileSetups()
    {
        QFETCH(bool, needsRoot);
        QFETCH(QString, name);
        QFETCH(QByteArray, message);
        if (needsRoot && !IsRoot())
            QSKIP("needs root");
        const QString cases = QFINDTESTDATA("config_file_cases.sh");
        QVERIFY(!cases.isEmpty());
        auto clean = qScopeGuard([&] { RunCase(dir().path(), cases, name, "clean"); });

        const auto [setupStatus, setupOutput] = RunCase(dir().path(), cases, name, "setup");
        if (setupStatus == 77)
            QSKIP(("this machine cannot set the case up: " + setupOutput.trimmed()).constData());
        QVERIFY2(setupStatus == 0, setupOutput.constData());
        QCOMPARE(RunCase(dir().path(), cases, name, "run").second, message);
        const auto [checkStatus, listing] = RunCase(dir().path(), cases, name, "check");
        QVERIFY2(checkStatus == 0, listing.constData());
    }

    void fullFilesystemKeepsOldFile()
    {
        if (!IsRoot())
            QSKIP("mounting a small tmpfs needs root");
        QVERIFY(QDir(dir().path()).mkdir("small"));
        const QString mountPoint = Path("small");
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint}),
                 0);
        auto unmount = qScopeGuard([&] {
            QDir::setCurrent(dir().path());
            QProcess::execute("umount", {mountPoint});
        });
        QVERIFY(QDir::setCurrent(mountPoint));
        const QByteArray old = QByteArray(200, 'o');
        WriteBytes("config.txt", old);
        {
            // Fill every remaining block, so the next write has nowhere to go.
            QFile filler("filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
        }
        try {
            vexalo::WriteConfigFile(Defaults(), kDesktop1280);
            QFAIL("a full disk was reported as success");
        } catch (const vexalo::Error& e) {
            QCOMPARE(e.code().value(), ENOSPC);
        }
        QCOMPARE(ReadAll("config.txt"), old);
        QCOMPARE(QDir(mountPoint).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 (QStringList{"config.txt", "filler"}));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_config_file.moc"
