// SPDX-License-Identifier: MIT
#pragma once

// A private weston for one test, in a runtime directory of its own (0700, as a session's).

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Weston {
public:
    // Starts weston with `args` (backend, outputs); `xDisplay` hosts the x11 backend's
    // windows. Returns false unless its socket appears.
    bool start(const QStringList& args, const QString& xDisplay = {})
    {
        if (!runtime_.isValid())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.remove("WAYLAND_DISPLAY");
        if (!xDisplay.isEmpty())
            env.insert("DISPLAY", xDisplay);
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start("weston", QStringList{"--use-pixman", "--idle-time=0", "--socket=wayland",
                                             "--log=" + runtime_.filePath("log")} +
                                     args);
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
            if (process_.state() == QProcess::NotRunning)
                return false;
            if (QFileInfo(socket()).exists())
                return true;
            process_.waitForFinished(20);
        }
        return false;
    }

    // The display of weston's Xwayland (with --xwayland) once it listens; empty before.
    QString xwaylandDisplay() const
    {
        QFile log(runtime_.filePath("log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        const auto match = QRegularExpression("xserver listening on display (:\\d+)")
                               .match(QString::fromUtf8(log.readAll()));
        return match.captured(1);
    }

    // The socket's absolute path, which libwayland takes as a display name.
    QString socket() const { return runtime_.filePath("wayland"); }

    ~Weston()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir runtime_;
    QProcess process_;
};
