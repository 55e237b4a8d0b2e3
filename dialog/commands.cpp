// SPDX-License-Identifier: MIT
#include "dialog/commands.h"

#include "core/config_file.h"
#include "dialog/desktop_target.h"
#include "dialog/form1.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <cerrno>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vexalo {
namespace {

[[noreturn]] void FailToStart(const QString& description)
{
    throw RendererError(std::string(kRendererName) + ": " + description.toStdString());
}

// One modal report of what failed; once it is dismissed the program ends with status 1.
void ReportAndEnd(Form1& form, const std::exception& failure)
{
    QMessageBox::critical(&form, form.windowTitle(), QString::fromLocal8Bit(failure.what()));
    form.Unload(1);
}

} // namespace

QString FindRenderer(const QString& ownDirectory, const QString& searchPath)
{
    QStringList directories{ownDirectory};
    // Empty and relative entries would mean the current directory, and running a program
    // from wherever the user happens to stand, unasked, is how untrusted code gets run.
    for (const QString& entry : searchPath.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(entry))
            directories.append(entry);
    }

    // As execvp does: a match we may not execute is remembered, and the search goes on.
    int error = ENOENT;
    for (const QString& directory : directories) {
        const QString candidate = QDir(directory).absoluteFilePath(QLatin1String(kRendererName));
        const QByteArray native = QFile::encodeName(candidate);
        struct stat status {};
        if (::stat(native.constData(), &status) != 0)
            continue;
        if (S_ISREG(status.st_mode) && ::access(native.constData(), X_OK) == 0)
            return candidate;
        error = EACCES;
    }
    FailToStart(QString::fromStdString(std::generic_category().message(error)));
}

void StartRenderer()
{
    QProcess renderer;
    renderer.setProgram(
        FindRenderer(QCoreApplication::applicationDirPath(), qEnvironmentVariable("PATH")));
    // startDetached with a pid reports a failed exec before it returns, with its reason;
    // the renderer then runs in its own session and outlives the tool.
    qint64 pid = 0;
    // Qt words it "execv: Exec format error"; the system's description is the last part.
    if (!renderer.startDetached(&pid))
        FailToStart(renderer.errorString().section(QStringLiteral(": "), -1));
}

void Save(Form1& form)
{
    try {
        WriteConfigFile(form.choices(), QueryDesktopMode(DesktopTargetOf(form)));
    } catch (const ConfigFileError& failure) {
        ReportAndEnd(form, failure);
    }
}

void SaveAndStart(Form1& form)
{
    try {
        WriteConfigFile(form.choices(), QueryDesktopMode(DesktopTargetOf(form)));
        StartRenderer();
    } catch (const std::runtime_error& failure) {
        ReportAndEnd(form, failure);
        return;
    }
    form.Unload(0);
}

void Cancel(Form1& form)
{
    form.Unload(0);
}

} // namespace vexalo
