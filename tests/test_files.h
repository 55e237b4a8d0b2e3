// SPDX-License-Identifier: MIT
#pragma once

// Real files for the tests, read and written whole.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <optional>
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

// A scratch tree for finding and starting the renderer: run/ is the working directory, bin/
// stands first on PATH, own/ and other/ are spare folders; a stand-in renderer records into
// record. The renderer is looked up beside the test binary first; that stays a miss.
class RendererScratch : public QObject {
protected:
    QString Top() const { return tmp_->path(); }
    QString Path(const QString& name) const { return tmp_->filePath(name); }
    QString Run() const { return Path("run"); }

    // For init(): makes the tree and enters run/.
    void Enter()
    {
        tmp_.emplace();
        // Anybody may enter it, as most folders: one only the user may enter would keep
        // everything below it from other users, and so make every file trusted.
        QVERIFY(QFile::setPermissions(tmp_->path(), QFile::permissions(tmp_->path()) |
                                                        QFile::ReadOther | QFile::ExeOther |
                                                        QFile::ReadGroup | QFile::ExeGroup));
        for (const char* dir : {"run", "bin", "own", "other"})
            QVERIFY(QDir(tmp_->path()).mkdir(dir));
        oldCwd_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        // Standard tools stay reachable for the stand-ins.
        qputenv("PATH", Path("bin").toLocal8Bit() + ":/usr/bin:/bin");
        qputenv("RENDERER_RECORD", Path("record").toLocal8Bit());
        QVERIFY(QDir::setCurrent(Run()));
    }
    // For cleanup(): back where the test started.
    void Leave()
    {
        QDir::setCurrent(oldCwd_);
        qputenv("PATH", oldPath_);
    }

private:
    std::optional<QTemporaryDir> tmp_;
    QString oldCwd_;
    QByteArray oldPath_;
};
