// SPDX-License-Identifier: MIT
#include "core/config_file.h"
#include "core/error.h"
#include "dialog/commands.h"
#include "dialog/form1.h"
#include "dialog/native_window.h"
#include "dialog/progress.h"
#include "launch/launch.h"
#include "tests/test_files.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using vexalo::Form1;
using enum vexalo::LaunchError;

Q_DECLARE_METATYPE(std::error_code)

namespace {

// The stand-in renderer: records its arguments, directory, environment and the config.txt it
// found, then keeps running as a real renderer would.
const QByteArray kRendererScript = ReadAll(QStringLiteral(RENDERER_STANDIN));

// Dismisses the tool's message boxes as they appear and keeps what they said.
class ReportCatcher : public QObject {
public:
    QStringList texts;
    QList<QMessageBox::Icon> icons;
    QList<Qt::TextFormat> formats; // a name with tags must show as typed

    ReportCatcher()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            icons << box->icon();
            formats << box->findChild<QLabel*>("qt_msgbox_label")->textFormat();
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

class TestCommands : public RendererScratch {
    Q_OBJECT

    std::optional<Form1> form_;

    void Click(const char* name) { form_->findChild<QAbstractButton*>(name)->click(); }

    void PutRendererOnPath(const QByteArray& script, int mode)
    {
        WriteFile(QFile::encodeName(Path("bin/opengl.exe")), script, mode);
    }

private slots:
    void initTestCase()
    {
        // Reports in the system's words as the C locale has them, and no display to ask.
        std::setlocale(LC_ALL, "C");
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
            qunsetenv(name);
    }
    void init()
    {
        Enter();
        form_.emplace();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form_));
    }
    void cleanup()
    {
        form_.reset();
        Leave();
        for (const QByteArray& line : ReadAll(Path("record")).split('\n'))
            if (const qint64 pid = line.startsWith("pid=") ? line.mid(4).toLongLong() : 0; pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGTERM);
    }

    void saveWritesAndKeepsWindowAndChoices()
    {
        Click("Command1");
        // The defaults, and no display to ask (see initTestCase): the fallback desktop.
        QCOMPARE(ReadAll("config.txt"), QByteArray("[VEXALO-CONFIG]\r\n\r\nWIDTH: 1024\r\n"
                                                   "HEIGHT: 768\r\nBPP: 32\r\n"
                                                   "FULLSCREEN? (0=no/1=yes): 1\r\n\r\n"
                                                   "[DESKTOP-CONFIG]\r\nWIDTH: 1024\r\n"
                                                   "HEIGHT: 768\r\nBPP: 32\r\n"));
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

    // Past the bound the progress window says the renderer has not appeared; it closes by its
    // button, or once Wine's start ends after all.
    void progressPastTheBoundTurnsIntoANotice()
    {
        for (const bool wineEnds : {false, true}) {
            int ends[2];
            QCOMPARE(::pipe(ends), 0);
            QString notice;
            QTimer look;
            connect(&look, &QTimer::timeout, this, [&] {
                auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
                if (box && box->isVisible() && notice.isEmpty()) {
                    notice = box->labelText();
                    wineEnds ? void(::write(ends[1], "x", 1))
                             : box->findChild<QPushButton*>()->click();
                }
            });
            look.start(10);
            vexalo::WaitShowingProgress(*form_, ends[0], std::chrono::milliseconds(50));
            QVERIFY2(notice.startsWith("Wine has not shown opengl.exe after a minute."),
                     qPrintable(notice));
            ::close(ends[0]);
            ::close(ends[1]);
        }
    }

    void failureIsReportedOnceThenEnds_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("report"); // as the C locale says it; @: the scratch tree
        QTest::addColumn<bool>("configWritten");
        const auto row = [](const char* name, const char* command, const char* obstacle,
                            const char* report, bool configWritten) {
            QTest::newRow(name) << command << obstacle << report << configWritten;
        };

        row("save, config.txt is a directory", "Command1", "config dir",
            "@/run/config.txt: Is a directory", false);
        row("save and start, config.txt is a directory", "Command2", "config dir",
            "@/run/config.txt: Is a directory", false);
        row("renderer missing", "Command2", "no renderer",
            "opengl.exe: not found beside vexalo-config (" QT_TESTCASE_BUILDDIR
            "), in the working directory (@/run) or in PATH (@/bin:/usr/bin:/bin). Open the tool "
            "on the renderer's folder: vexalo-config FOLDER in a terminal, a launcher whose "
            "command names the folder, or the folder dropped on the tool's launcher",
            true);
        row("renderer not executable", "Command2", "plain renderer",
            "opengl.exe: Permission denied", true);
        row("renderer not a program", "Command2", "garbage renderer",
            "opengl.exe: Exec format error", true);
    }
    void failureIsReportedOnceThenEnds()
    {
        QFETCH(QString, command);
        QFETCH(QString, obstacle);
        QFETCH(QString, report);
        QFETCH(bool, configWritten);
        report.replace('@', Top());

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
        QCOMPARE(reports.formats, QList<Qt::TextFormat>{Qt::PlainText});
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
