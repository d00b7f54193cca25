#pragma once

// A FAT file system of a few MiB, mounted through FUSE in a temporary folder for one test: a
// real case-insensitive disk with the rules of a USB stick. Where the machine cannot mount one
// (no fusefat, no /dev/fuse, no FUSE access for this user) it is not mounted and says why.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace quillet::test {

class FatMount {
public:
    FatMount()
    {
        using namespace Qt::Literals::StringLiterals;
        const QString mkfs =
            QStandardPaths::findExecutable(u"mkfs.vfat"_s, {u"/usr/sbin"_s, u"/sbin"_s});
        const QString fusefat = QStandardPaths::findExecutable(u"fusefat"_s);
        if (mkfs.isEmpty() || fusefat.isEmpty() || !QFile::exists(u"/dev/fuse"_s)) {
            m_why = "no FAT file system can be mounted here (mkfs.vfat, fusefat or /dev/fuse "
                    "is missing)";
            return;
        }
        const QString image = m_dir.filePath(u"fat.img"_s);
        m_path = m_dir.filePath(u"mnt"_s);
        QFile imageFile(image);
        if (!imageFile.open(QIODevice::WriteOnly) || !imageFile.resize(8 << 20)
            || !QDir(m_dir.path()).mkdir(u"mnt"_s)) {
            m_why = "no room for a FAT image";
            return;
        }
        imageFile.close();
        // fusefat may report success without mounting (no FUSE access as a user): trust only
        // the mount table.
        run(mkfs, {image});
        run(fusefat, {u"-o"_s, u"rw+"_s, image, m_path});
        m_mounted = isMounted(m_path);
        if (!m_mounted)
            m_why = "mounting a FAT image failed here";
    }
    ~FatMount()
    {
        if (m_mounted)
            run(QStringLiteral("fusermount"), {QStringLiteral("-u"), m_path});
    }
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;

    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] const char* why() const { return m_why; }
    [[nodiscard]] const QString& path() const { return m_path; }

    static bool run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

    static bool isMounted(const QString& mountPoint)
    {
        QFile mounts(QStringLiteral("/proc/mounts"));
        if (!mounts.open(QIODevice::ReadOnly))
            return false;
        const QByteArray point = QFile::encodeName(QDir(mountPoint).canonicalPath());
        for (const QByteArray& line : mounts.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 1 && fields.at(1) == point)
                return true;
        }
        return false;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
    const char* m_why = "";
};

} // namespace quillet::test
