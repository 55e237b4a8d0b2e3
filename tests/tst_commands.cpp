// SPDX-License-Identifier: MIT
#include "core/config_file.h"
#include "dialog/commands.h"
#include "dialog/form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <optional>
#include <sys/stat.h>

using vexalo::Form1;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes, int mode)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
}

// A stand-in renderer: records its arguments, directory, environment and the config.txt it
// found, then keeps running as a real renderer would.
const QByteArray kRendererScript = R"(#!/bin/sh
echo "argc=$#" >"$RECORD.part"
pwd >>"$RECORD.part"
env >"$RECORD.env"
echo $$ >"$RECORD.pid"
cp config.txt "$RECORD.config"
mv "$RECORD.part" "$RECORD"
exec sleep 30
)";

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
        WriteFile(Path("bin/opengl.exe"), script, mode);
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
        qputenv("RECORD", Path("record").toLocal8Bit());
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
        if (const qint64 pid = ReadAll(Path("record.pid")).trimmed().toLongLong(); pid > 0)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
    }

    void findRendererLooksBesideToolThenOnPath_data()
    {
        QTest::addColumn<QStringList>("files");  // dir:kind, kind = exec | plain | dir
        QTest::addColumn<QString>("searchPath"); // @ stands for the temporary directory
        QTest::addColumn<QString>("expected");   // a directory, or the failure's text

        QTest::newRow("beside the tool wins") << QStringList{"own:exec", "bin:exec"} << "@/bin"
                                              << "own";
        QTest::newRow("then PATH") << QStringList{"bin:exec"} << "@/other:@/bin"
                                   << "bin";
        QTest::newRow("first PATH entry wins")
            << QStringList{"bin:exec", "other:exec"} << "@/other:@/bin"
            << "other";
        QTest::newRow("non-executable passed over")
            << QStringList{"own:plain", "bin:exec"} << "@/bin"
            << "bin";
        QTest::newRow("only non-executable") << QStringList{"own:plain"} << "@/bin"
                                             << "opengl.exe: Permission denied";
        QTest::newRow("a directory of that name") << QStringList{"bin:dir"} << "@/bin"
                                                  << "opengl.exe: Permission denied";
        QTest::newRow("nowhere") << QStringList{} << "@/bin"
                                 << "opengl.exe: No such file or directory";
        QTest::newRow("current directory is not searched unasked")
            << QStringList{"run:exec"} << "::.:run:./run:@/bin"
            << "opengl.exe: No such file or directory";
        QTest::newRow("current directory named on PATH") << QStringList{"run:exec"} << "@/run"
                                                         << "run";
    }
    void findRendererLooksBesideToolThenOnPath()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, searchPath);
        QFETCH(QString, expected);
        for (const QString& file : files) {
            const QString dir = file.section(':', 0, 0), kind = file.section(':', 1);
            const QString path = Path(dir + "/opengl.exe");
            if (kind == "dir")
                QVERIFY(QDir().mkdir(path));
            else
                WriteFile(path, kRendererScript, kind == "exec" ? 0755 : 0644);
        }
        searchPath.replace('@', tmp_->path());
        try {
            const QString found = vexalo::FindRenderer(Path("own"), searchPath);
            QCOMPARE(found, Path(expected + "/opengl.exe"));
        } catch (const vexalo::RendererError& e) {
            QCOMPARE(QString(e.what()), expected);
        }
    }

    void saveWritesAndKeepsWindowAndChoices()
    {
        Click("Command1");
        const vexalo::DisplayChoices defaults = form_->choices();
        QCOMPARE(ReadAll("config.txt"), QByteArray::fromStdString(vexalo::ConfigFileText(
                                            defaults, vexalo::QueryDesktopMode())));
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
        ReportCatcher reports;
        Click("Option2");
        Click("Command2");
        qunsetenv("VEXALO_TEST_MARKER");
        QVERIFY(!form_->isVisible());
        QCOMPARE(form_->exitStatus(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Path("record")), 10000);
        QCOMPARE(ReadAll(Path("record")), "argc=0\n" + Run().toLocal8Bit() + "\n");
        QVERIFY(ReadAll(Path("record.env")).contains("\nVEXALO_TEST_MARKER=passed-on\n"));
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
        QTest::addColumn<QString>("report");
        QTest::addColumn<bool>("configWritten");

        QTest::newRow("save, config.txt is a directory") << "Command1"
                                                         << "config dir"
                                                         << "config.txt: Is a directory" << false;
        QTest::newRow("save and start, config.txt is a directory")
            << "Command2"
            << "config dir"
            << "config.txt: Is a directory" << false;
        QTest::newRow("renderer missing") << "Command2"
                                          << "no renderer"
                                          << "opengl.exe: No such file or directory" << true;
        QTest::newRow("renderer not executable") << "Command2"
                                                 << "plain renderer"
                                                 << "opengl.exe: Permission denied" << true;
        QTest::newRow("renderer not a program") << "Command2"
                                                << "garbage renderer"
                                                << "opengl.exe: Exec format error" << true;
    }
    void failureIsReportedOnceThenEnds()
    {
        QFETCH(QString, command);
        QFETCH(QString, obstacle);
        QFETCH(QString, report);
        QFETCH(bool, configWritten);

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
