// SPDX-License-Identifier: MIT
#pragma once

// Private display servers for one test: Xvfb (or Xorg with the dummy driver) and weston. Each
// picks what it listens on itself, so tests never collide with each other or with a desktop
// the developer is using, and each is stopped when its object goes.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class ServerProcess {
protected:
    // Starts `program` and polls `ready` until it says yes; false if the server ends first or
    // takes more than 20 seconds.
    bool launch(const QString& program, const QStringList& args, const std::function<bool()>& ready)
    {
        if (!scratch_.isValid())
            return false;
        process_.start(program, args);
        if (!process_.waitForStarted(10000))
            return false;
        for (QDeadlineTimer deadline(20000);
             process_.state() == QProcess::Running && !deadline.hasExpired();)
            if (ready())
                return true;
        return false;
    }

    ~ServerProcess()
    {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(5000);
    }

    QProcess process_;
    QTemporaryDir scratch_;
};

class Xvfb : ServerProcess {
public:
    // Starts Xvfb with one screen of `geometry`, e.g. "1920x1080x16". Returns false on failure.
    bool start(const QString& geometry, const QStringList& extraArgs = {})
    {
        return launchX("Xvfb", QStringList{"-screen", "0", geometry} + extraArgs);
    }

    // Starts Xorg with the dummy driver from `config` (several outputs RandR can arrange).
    // Needs root. Returns false on failure.
    bool startXorgDummy(const QString& config)
    {
        return launchX("Xorg",
                       QStringList{"-config", config, "-configdir", scratch_.path(), "-logfile",
                                   scratch_.filePath("log"), "-novtswitch", "-sharevts"});
    }

    QString display() const { return display_; }

private:
    // The server writes its display number, once it listens, on the descriptor -displayfd names.
    bool launchX(const QString& program, const QStringList& args)
    {
        QByteArray number;
        const bool started = launch(
            program, QStringList{"-displayfd", "1", "-nolisten", "tcp", "-noreset"} + args, [&] {
                process_.waitForReadyRead(100);
                return (number += process_.readAllStandardOutput()).endsWith('\n');
            });
        display_ = started ? ":" + QString::fromLatin1(number.trimmed()) : QString();
        return started;
    }

    QString display_;
};

// In a runtime directory of its own (0700, as a session's).
class Weston : ServerProcess {
public:
    // Starts weston with `args` (backend, outputs); `xDisplay` hosts the x11 backend's
    // windows. Returns false unless its socket appears.
    bool start(const QStringList& args, const QString& xDisplay = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", scratch_.path());
        env.remove("WAYLAND_DISPLAY");
        if (!xDisplay.isEmpty())
            env.insert("DISPLAY", xDisplay);
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        const QStringList options{"--use-pixman", "--idle-time=0", "--socket=wayland",
                                  "--log=" + scratch_.filePath("log")};
        return launch("weston", options + args, [&] {
            process_.waitForFinished(20);
            return QFile::exists(socket());
        });
    }

    // The display of weston's Xwayland (with --xwayland) once it listens; empty before.
    QString xwaylandDisplay() const
    {
        QFile log(scratch_.filePath("log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QRegularExpression("xserver listening on display (:\\d+)")
            .match(QString::fromUtf8(log.readAll()))
            .captured(1);
    }

    // The socket's absolute path, which libwayland takes as a display name.
    QString socket() const { return scratch_.filePath("wayland"); }
};
