// SPDX-License-Identifier: MIT
#pragma once

// Real files for the tests, read and written whole.

#include <QByteArray>
#include <QFile>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// By the kernel's bytes: a name need not be valid in the locale's encoding.
inline void WriteFile(const QByteArray& path, const QByteArray& bytes, int mode)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    QCOMPARE(::fchmod(fd, static_cast<mode_t>(mode)), 0);
    ::close(fd);
}
