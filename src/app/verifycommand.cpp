#include "verifycommand.h"

#include "batch/nativepath.h"
#include "checksum/nameverification.h"
#include "commandline.h"
#include "datafile/systemerror.h"

#include <QString>

#include <algorithm>
#include <cerrno>

#if defined(Q_OS_WIN)
#include <QDir>
#include <QFileInfo>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace quillet::app {

using namespace Qt::Literals::StringLiterals;

namespace {

class NoProgress final : public checksum::ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

class Verifier {
public:
    Verifier(const std::function<void(const QByteArray&)>& out)
        : m_out(out)
    {
    }

    // `shown` is how the user named it, `path` the item itself.
    void verifyArgument(const QByteArray& shown, const QString& path)
    {
        switch (kindOf(path)) {
        case Kind::Missing: report(shown, unreadable(datafile::systemErrorReason(ENOENT))); break;
        case Kind::Folder: verifyFolder(shown, path); break;
        case Kind::Other:
        case Kind::File: verifyFile(shown, path); break;
        }
    }

    [[nodiscard]] const checksum::VerdictCounts& counts() const { return m_counts; }

private:
    enum class Kind { Missing, File, Folder, Other };

    static checksum::NameVerdict unreadable(const QString& reason)
    {
        return {checksum::NameVerdict::Kind::Unreadable, {}, {}, reason};
    }

    // What the path names, links followed (an argument is taken as the user named it).
    static Kind kindOf(const QString& path)
    {
#if defined(Q_OS_WIN)
        const QFileInfo info(path);
        return !info.exists() ? Kind::Missing : info.isDir() ? Kind::Folder : Kind::File;
#else
        struct stat status {};
        if (::stat(batch::nativeBytesFromPath(path).constData(), &status) != 0)
            return errno == ENOENT ? Kind::Missing : Kind::Other;
        return S_ISDIR(status.st_mode) ? Kind::Folder : Kind::File;
#endif
    }

    void verifyFile(const QByteArray& shown, const QString& path)
    {
        report(shown, checksum::verifyNamedChecksum(path, u'/', m_progress));
    }

    // The folder's files and subfolders in name order, byte for byte; links are left alone.
    void verifyFolder(const QByteArray& shown, const QString& path)
    {
        QList<QByteArray> names;
        const QByteArray folder = batch::nativeBytesFromPath(path);
#if defined(Q_OS_WIN)
        for (const QString& name : QDir(path).entryList(
                 QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            names.append(QFile::encodeName(name));
#else
        DIR* dir = ::opendir(folder.constData());
        if (!dir) {
            report(shown, unreadable(datafile::systemErrorReason(errno)));
            return;
        }
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
#endif
        std::sort(names.begin(), names.end());
        const QByteArray shownFolder = shown.endsWith('/') ? shown : shown + '/';
        for (const QByteArray& name : names) {
            const QString child = batch::pathFromNativeBytes(folder + '/' + name);
#if defined(Q_OS_WIN)
            const QFileInfo info(child);
            if (info.isSymLink())
                continue;
            if (info.isDir())
                verifyFolder(shownFolder + name, child);
            else if (info.isFile())
                verifyFile(shownFolder + name, child);
#else
            struct stat status {};
            if (::lstat((folder + '/' + name).constData(), &status) != 0)
                report(shownFolder + name, unreadable(datafile::systemErrorReason(errno)));
            else if (S_ISDIR(status.st_mode))
                verifyFolder(shownFolder + name, child);
            else if (S_ISREG(status.st_mode))
                verifyFile(shownFolder + name, child);
#endif
        }
    }

    void report(const QByteArray& shown, const checksum::NameVerdict& verdict)
    {
        // A folder named as an argument is walked, never reported; one reached by a link is
        // no file with a checksum.
        const checksum::NameVerdict::Kind kind = verdict.kind == checksum::NameVerdict::Kind::Folder
                                                     ? checksum::NameVerdict::Kind::NoChecksum
                                                     : verdict.kind;
        m_counts.add(kind);
        m_out(checksum::verdictWord(verdict).toLocal8Bit() + '\t' + shown + '\n');
    }

    const std::function<void(const QByteArray&)>& m_out;
    NoProgress m_progress;
    checksum::VerdictCounts m_counts;
};

} // namespace

int verifyNamedChecksums(const QList<const char*>& arguments, const QByteArray& workingFolder,
                         const std::function<void(const QByteArray&)>& out,
                         const std::function<void(const QByteArray&)>& err)
{
    Verifier verifier(out);
    for (const char* argument : arguments)
        verifier.verifyArgument(QByteArray(argument), pathOfArgument(argument, workingFolder));
    const checksum::VerdictCounts& counts = verifier.counts();
    err(counts.summary().toLocal8Bit() + '\n');
    using Kind = checksum::NameVerdict::Kind;
    return counts.of(Kind::Mismatch) + counts.of(Kind::Unreadable) > 0 ? 1 : 0;
}

} // namespace quillet::app
