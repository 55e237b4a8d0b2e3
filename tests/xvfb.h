// SPDX-License-Identifier: MIT
#pragma once

// A private X server for one test: it picks a free display number itself (-displayfd), so
// tests never collide with each other or with a desktop the developer is using.

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Xvfb {
public:
    // Starts Xvfb with one screen of `geometry`, e.g. "1920x1080x16". Returns false on failure.
    bool start(const QString& geometry, const QStringList& extraArgs = {})
    {
        return launch("Xvfb", QStringList{"-screen", "0", geometry} + extraArgs);
    }

    // Starts Xorg with the dummy driver from `config` (several outputs RandR can arrange).
    // Needs root. Returns false on failure.
    bool startXorgDummy(const QString& config)
    {
        if (!scratch_.isValid())
            return false;
        return launch("Xorg",
                      QStringList{"-config", config, "-configdir", scratch_.path(), "-logfile",
                                  scratch_.filePath("log"), "-novtswitch", "-sharevts"});
    }

    QString display() const { return display_; }

    ~Xvfb()
    {
        if (process_.state() == QProcess::Running) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    bool launch(const QString& program, const QStringList& args)
    {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(program,
                       QStringList{"-displayfd", "1", "-nolisten", "tcp", "-noreset"} + args);
        if (!process_.waitForStarted(10000))
            return false;
        QByteArray number;
        for (QDeadlineTimer deadline(20000); !number.endsWith('\n') && !deadline.hasExpired();) {
            if (process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(100);
            number += process_.readAllStandardOutput();
        }
        if (!number.endsWith('\n'))
            return false;
        display_ = ":" + QString::fromLatin1(number.trimmed());
        return true;
    }

    QProcess process_;
    QString display_;
    QTemporaryDir scratch_;
};
