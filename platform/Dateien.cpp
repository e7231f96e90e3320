#include "platform/Dateien.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

bool ErsetzeDatei(const QString& quelle, const QString& ziel, QString* fehler)
{
#ifdef Q_OS_WIN
    const bool ok = MoveFileExW(reinterpret_cast<const wchar_t*>(quelle.utf16()),
                                reinterpret_cast<const wchar_t*>(ziel.utf16()),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok && fehler) *fehler = QStringLiteral("Fehler %1").arg(GetLastError());
    return ok;
#else
    if (::rename(QFile::encodeName(quelle).constData(), QFile::encodeName(ziel).constData()) == 0)
        return true;
    if (fehler) *fehler = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}

bool AufPlatteSchreiben(const QString& pfad)
{
#ifdef Q_OS_WIN
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadWrite)) return false;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(datei.handle())));
#else
    const int fd = ::open(QFile::encodeName(pfad).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    // The rename that follows or preceded lives in the folder.
    const int ordner =
        ::open(QFile::encodeName(QFileInfo(pfad).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (ordner >= 0) {
        ::fsync(ordner);  // not every file system syncs folders; that is no failure
        ::close(ordner);
    }
    return ok;
#endif
}

bool GleicheDatei(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    const QString ka = QFileInfo(a).canonicalFilePath();
    return !ka.isEmpty() && ka.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#else
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
}

}  // namespace platform
