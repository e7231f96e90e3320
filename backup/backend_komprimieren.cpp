#include "backup/backend_komprimieren.h"

#include "platform/Dateien.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <cstdlib>
#include <functional>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Why the compaction is made the way it is
// ----------------------------------------
// VACUUM INTO writes the compacted copy; the copy then replaces the database
// by rename. A rename does not reach programs that still have the old file
// open: what they write afterwards would go into the replaced file and be
// lost. So the database is only replaced when nobody else has it open:
//
// - Open connections are found from outside (Linux: the open files of the
//   user's processes). SQLite's own locks cannot show them, because an idle
//   connection holds no lock. The main program is closing when it starts the
//   backup, so it is waited for a few seconds before the backup is refused.
// - While the copy is checked and renamed, our connection holds the write
//   lock (BEGIN IMMEDIATE), so no other connection can commit meanwhile, and
//   PRAGMA data_version proves that no commit came in after the copy began.
//   (VACUUM INTO itself cannot run inside that transaction.)
// - Should a program still open the old file in the last moment, SQLite
//   refuses its writes once the file has been replaced (the file "has moved"),
//   instead of writing them into the replaced file. That holds for the
//   rollback journal; a write-ahead log is named after the database and would
//   be applied to the new file, so a database in WAL mode is switched back to
//   the rollback journal first -- which SQLite allows only when no other
//   connection is open.

namespace backup {

namespace {

const char* const kInBenutzung =
    "Die Datenbank %1 wird noch von einem anderen Programm benutzt.\n\n"
    "Bitte beenden Sie Ordavo und klicken Sie dann erneut auf \"Jetzt sichern\".";

// The window stays painted during long work; clicks are not taken meanwhile.
void Zwischendurch()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int Fortschritt(void* zuletzt)
{
    auto* timer = static_cast<QElapsedTimer*>(zuletzt);
    if (timer->elapsed() >= 100) {
        Zwischendurch();
        timer->restart();
    }
    return 0;
}

#ifdef Q_OS_LINUX
// True when a process other than this one has the file open.
bool AndereHabenOffen(const QString& pfad)
{
    struct stat datei {};
    if (::stat(QFile::encodeName(pfad).constData(), &datei) != 0) return false;
    const pid_t ich = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    bool gefunden = false;
    while (!gefunden) {
        const dirent* eintrag = ::readdir(proc);
        if (!eintrag) break;
        char* ende = nullptr;
        const long pid = std::strtol(eintrag->d_name, &ende, 10);
        if (*ende != '\0' || pid <= 0 || pid == ich) continue;
        const QByteArray fdOrdner = QByteArray("/proc/") + eintrag->d_name + "/fd";
        DIR* fds = ::opendir(fdOrdner.constData());
        if (!fds) continue;  // ended meanwhile, or another user's process
        const int fdOrdnerFd = ::dirfd(fds);
        while (const dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.') continue;
            struct stat ziel {};
            if (::fstatat(fdOrdnerFd, fd->d_name, &ziel, 0) == 0 && ziel.st_dev == datei.st_dev
                && ziel.st_ino == datei.st_ino) {
                gefunden = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return gefunden;
}
#else
bool AndereHabenOffen(const QString&)
{
    // Windows refuses to replace a file that another program has open.
    return false;
}
#endif

bool WarteBisFrei(const QString& pfad, int wartezeitMs)
{
    QDeadlineTimer frist(wartezeitMs);
    while (AndereHabenOffen(pfad)) {
        if (frist.hasExpired()) return false;
        Zwischendurch();
        QThread::msleep(100);
    }
    return true;
}

class Verbindung {
public:
    ~Verbindung() { schliessen(); }

    bool oeffnen(const QString& pfad, int wartezeitMs)
    {
        // Read-write, never create: a missing file is an error, not a new database.
        if (sqlite3_open_v2(pfad.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return false;
        sqlite3_busy_timeout(m_db, wartezeitMs);
        sqlite3_extended_result_codes(m_db, 1);
        return true;
    }

    bool schliessen()
    {
        const bool ok = sqlite3_close(m_db) == SQLITE_OK;
        m_db = nullptr;
        return ok;
    }

    sqlite3* handle() const { return m_db; }

    QString fehler() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
    }

    // Runs `sql` (with `parameter` bound to ?1 if given); each result row's
    // first column goes to `zeile`.
    bool ausfuehren(const char* sql, const QString& parameter = QString(),
                    const std::function<void(const QString&)>& zeile = {})
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) return false;
        if (!parameter.isNull()) {
            const QByteArray text = parameter.toUtf8();
            sqlite3_bind_text(stmt, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (zeile)
                zeile(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
        }
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE;
    }

    QString wert(const char* sql)
    {
        QString ergebnis;
        ausfuehren(sql, QString(), [&](const QString& w) {
            if (ergebnis.isNull()) ergebnis = w;
        });
        return ergebnis;
    }

private:
    sqlite3* m_db = nullptr;
};

bool Fehler(QString* fehlertext, const QString& text)
{
    if (fehlertext) *fehlertext = text;
    return false;
}

QString Komprimierfehler(const QString& grund)
{
    return QStringLiteral("Die Datenbank konnte nicht komprimiert werden:\n%1").arg(grund);
}

bool IstBesetzt(sqlite3* db)
{
    const int rc = sqlite3_errcode(db);
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

}  // namespace

bool DatenbankKomprimieren(const QString& datenbankdatei, QString* fehlertext, int wartezeitMs)
{
    QFileInfo info(datenbankdatei);
    if (!info.exists())
        return Fehler(fehlertext, QStringLiteral("Die Datenbank %1 wurde nicht gefunden.")
                                      .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    // Through a link, the file itself is replaced, not the link.
    const QString datei = info.canonicalFilePath();
    info = QFileInfo(datei);
    const QString temp = info.absolutePath() + QLatin1Char('/') + info.completeBaseName()
                         + QStringLiteral(".$$$");
    const QString inBenutzung =
        QString::fromUtf8(kInBenutzung).arg(QDir::toNativeSeparators(datei));

    if (QFileInfo::exists(temp) && !QFile::remove(temp))
        return Fehler(fehlertext, Komprimierfehler(QStringLiteral("%1 kann nicht gelöscht werden.")
                                                       .arg(QDir::toNativeSeparators(temp))));
    // From here on a copy may exist; whatever fails removes it again.
    auto abbrechen = [&](const QString& text) {
        QFile::remove(temp);
        return Fehler(fehlertext, text);
    };

    if (!WarteBisFrei(datei, wartezeitMs)) return Fehler(fehlertext, inBenutzung);

    Verbindung db;
    if (!db.oeffnen(datei, wartezeitMs)) return Fehler(fehlertext, Komprimierfehler(db.fehler()));

    if (db.wert("PRAGMA journal_mode").compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
        && db.wert("PRAGMA journal_mode=DELETE").compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
        return Fehler(fehlertext, inBenutzung);

    const QString versionVorher = db.wert("PRAGMA data_version");

    QElapsedTimer zuletzt;
    zuletzt.start();
    sqlite3_progress_handler(db.handle(), 20000, &Fortschritt, &zuletzt);
    if (!db.ausfuehren("VACUUM INTO ?1", temp))
        return abbrechen(IstBesetzt(db.handle()) ? inBenutzung : Komprimierfehler(db.fehler()));

    {
        Verbindung kopie;
        if (!kopie.oeffnen(temp, wartezeitMs)) return abbrechen(Komprimierfehler(kopie.fehler()));
        sqlite3_progress_handler(kopie.handle(), 20000, &Fortschritt, &zuletzt);
        QStringList befund;
        if (!kopie.ausfuehren("PRAGMA integrity_check", QString(),
                              [&](const QString& z) { befund << z; }))
            return abbrechen(Komprimierfehler(kopie.fehler()));
        if (befund != QStringList{QStringLiteral("ok")})
            return abbrechen(Komprimierfehler(
                QStringLiteral("Die komprimierte Kopie ist fehlerhaft; die Datenbank bleibt, wie sie war.\n%1")
                    .arg(befund.mid(0, 10).join(QLatin1Char('\n')))));
        // The planner needs statistics, or it may choose an index that is
        // slower than reading the whole table.
        if (!kopie.ausfuehren("ANALYZE")) return abbrechen(Komprimierfehler(kopie.fehler()));
        if (!kopie.schliessen()) return abbrechen(Komprimierfehler(QStringLiteral("Die Kopie konnte nicht geschlossen werden.")));
    }
    QFile::setPermissions(temp, QFile::permissions(datei));
    if (!platform::AufPlatteSchreiben(temp))
        return abbrechen(Komprimierfehler(QStringLiteral("%1 kann nicht geschrieben werden.")
                                              .arg(QDir::toNativeSeparators(temp))));

    // Hold the write lock from here until the copy is in place.
    if (!db.ausfuehren("BEGIN IMMEDIATE")) return abbrechen(inBenutzung);
    const bool unveraendert = db.wert("PRAGMA data_version") == versionVorher;
    if (!unveraendert || AndereHabenOffen(datei)) {
        db.ausfuehren("ROLLBACK");
        return abbrechen(inBenutzung);
    }
    QString grund;
    if (!platform::ErsetzeDatei(temp, datei, &grund)) {
        db.ausfuehren("ROLLBACK");
        return abbrechen(Komprimierfehler(grund));
    }
    platform::AufPlatteSchreiben(datei);
    db.ausfuehren("ROLLBACK");
    return true;
}

}  // namespace backup
