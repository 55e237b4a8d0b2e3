// SPDX-License-Identifier: MIT
#pragma once

// A private Xvfb for one test: it picks a free display number itself (-displayfd), so tests
// never collide with each other or with a desktop the developer is using.

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

class Xvfb {
public:
    // Starts Xvfb with one screen of `geometry`, e.g. "1920x1080x16". Returns false on failure.
    bool start(const QString& geometry, const QStringList& extraArgs = {})
    {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start("Xvfb", QStringList{"-displayfd", "1", "-screen", "0", geometry, "-nolisten",
                                           "tcp", "-noreset"} +
                                   extraArgs);
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
    QProcess process_;
    QString display_;
};
