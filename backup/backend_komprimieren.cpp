#include "backup/backend_komprimieren.h"

#include "platform/Dateien.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <QThread>

#include <sqlite3.h>

#include <cstdlib>
#include <functional>
#include <future>

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
//
// A damaged database must never replace the last good backup. VACUUM INTO
// copies what the engine can still read and may silently leave out rows of a
// damaged page. So the original gets a full integrity check and its rows are
// counted table by table; the copy must hold the same numbers. The check of
// the original runs on a second connection while the copy is written, so it
// costs hardly any time on a machine with more than one core.

namespace backup {

namespace {

const char* const kInBenutzung =
    "Die Datenbank %1 wird noch von einem anderen Programm benutzt.\n\n"
    "Bitte beenden Sie Ordavo und klicken Sie dann erneut auf \"Jetzt sichern\".";

const char* const kNichtsGesichert =
    "\n\nEs wurde nichts gesichert und nichts verändert; die letzte Sicherung bleibt erhalten.";

// The tables every database of the program has.
const char* const kTabellen[] = {"t_adressen", "t_einheit", "t_kategorie", "t_artikel",
                                 "t_lieferschein", "t_lieferschein_artikel", "t_stammdaten"};

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
        QThread::msleep(100);
    }
    return true;
}

class Verbindung {
public:
    ~Verbindung() { schliessen(); }

    bool oeffnen(const QString& pfad, int wartezeitMs, int art = SQLITE_OPEN_READWRITE)
    {
        // Never create: a missing file is an error, not a new database.
        if (sqlite3_open_v2(pfad.toUtf8().constData(), &m_db, art, nullptr) != SQLITE_OK) return false;
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
    int code() const { return m_db ? sqlite3_errcode(m_db) & 0xff : SQLITE_NOMEM; }

    // Runs `sql` (with `parameter` bound to ?1 if given); each result row's
    // first column goes to `zeile`.
    bool ausfuehren(const QString& sql, const QString& parameter = QString(),
                    const std::function<void(const QString&)>& zeile = {})
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) return false;
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

    QString wert(const QString& sql)
    {
        QString ergebnis;
        ausfuehren(sql, QString(), [&](const QString& w) {
            if (ergebnis.isNull()) ergebnis = w;
        });
        return ergebnis;
    }

    // The ordinary tables (not the engine's own).
    bool tabellen(QStringList* namen)
    {
        return ausfuehren(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table'"
                                         " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"),
                          QString(), [&](const QString& n) { *namen << n; });
    }

    bool zeilen(const QStringList& tabellen, QMap<QString, qint64>* anzahl)
    {
        for (const QString& t : tabellen) {
            const QString n = wert(QStringLiteral("SELECT count(*) FROM %1").arg(Bezeichner(t)));
            if (n.isNull()) return false;
            (*anzahl)[t] = n.toLongLong();
        }
        return true;
    }

    static QString Bezeichner(QString name)
    {
        return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
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

QString Beschaedigt(const QString& datei, const QString& befund)
{
    return QStringLiteral("Die Datenbank %1 ist beschädigt:\n%2%3\n\n"
                          "Die beschädigte Datei bleibt für die Reparatur, wie sie ist. Bitte arbeiten Sie nicht "
                          "weiter mit Ordavo: Lassen Sie die Datenbank reparieren oder spielen Sie die letzte "
                          "Sicherung zurück.")
        .arg(QDir::toNativeSeparators(datei), befund, QString::fromUtf8(kNichtsGesichert));
}

bool IstBesetzt(sqlite3* db)
{
    const int rc = sqlite3_errcode(db);
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

// Calls `meldung` with the share done at most every 100 ms worth of work.
struct Melder {
    std::function<double()> anteil;
    const Fortschrittsmeldung* meldung = nullptr;
    static int Rufen(void* selbst)
    {
        auto* m = static_cast<Melder*>(selbst);
        if (m->meldung && *m->meldung) (*m->meldung)(qBound(0.0, m->anteil(), 1.0));
        return 0;
    }
};

// What the check of the original found: an empty `befund` means sound.
struct Pruefung {
    QString befund;
    QString fehler;  // the check itself failed
    bool unlesbar = false;  // ... because the file is damaged
    QMap<QString, qint64> zeilen;
};

// The full integrity check of the original, table by table so that its
// progress can be shown, then the structure of the whole file (free pages,
// pages that belong to nothing). The rows are counted in the same read
// transaction.
Pruefung PruefeOriginal(const QString& datei, const QStringList& tabellen, int wartezeitMs,
                        const Fortschrittsmeldung& fortschritt)
{
    Pruefung p;
    Verbindung db;
    // Read and write, though it only reads: on a read-only connection the
    // engine skips the CHECK constraints.
    if (!db.oeffnen(datei, wartezeitMs)) {
        p.fehler = db.fehler();
        return p;
    }
    auto fehlgeschlagen = [&] {
        p.fehler = db.fehler();
        p.unlesbar = db.code() == SQLITE_CORRUPT || db.code() == SQLITE_NOTADB;
        return p;
    };
    if (!db.ausfuehren(QStringLiteral("BEGIN")) || !db.zeilen(tabellen, &p.zeilen)) return fehlgeschlagen();
    // The big tables and those with many indexes take longest.
    QMap<QString, double> gewicht;
    double gesamt = 1.0;
    for (const QString& t : tabellen) {
        int indizes = 0;
        db.ausfuehren(QStringLiteral("SELECT count(*) FROM pragma_index_list(?1)"), t,
                      [&](const QString& n) { indizes = n.toInt(); });
        gewicht[t] = double(p.zeilen.value(t) + 1) * double(1 + indizes);
        gesamt += gewicht[t];
    }
    double fertig = 0;
    auto befund = [&](const QString& sql) {
        QStringList zeilen;
        if (!db.ausfuehren(sql, QString(), [&](const QString& z) { zeilen << z; })) {
            fehlgeschlagen();
            return false;
        }
        if (zeilen != QStringList{QStringLiteral("ok")}) p.befund = zeilen.mid(0, 10).join(QLatin1Char('\n'));
        return p.befund.isEmpty();
    };
    for (const QString& t : tabellen) {
        if (!befund(QStringLiteral("PRAGMA integrity_check(%1)").arg(Verbindung::Bezeichner(t)))) return p;
        fertig += gewicht[t];
        if (fortschritt) fortschritt(fertig / gesamt);
    }
    if (!befund(QStringLiteral("PRAGMA quick_check"))) return p;
    db.ausfuehren(QStringLiteral("COMMIT"));
    if (fortschritt) fortschritt(1.0);
    return p;
}

QString TempName(const QFileInfo& datenbank)
{
    return datenbank.absolutePath() + QLatin1Char('/') + datenbank.completeBaseName() + QStringLiteral(".$$$");
}

// A leftover of ours is a plain file under our name, never a folder or link.
bool EntferneRest(const QString& pfad)
{
    const QFileInfo info(pfad);
    if (!info.exists() && !info.isSymLink()) return true;
    if (info.isSymLink() || !info.isFile()) return false;
    return QFile::remove(pfad);
}

}  // namespace

struct Verdichtung::Daten {
    QString datenbank;  // as given
    QString datei;      // the file itself, through links
    QString temp;
    int wartezeitMs = 10000;
    Verbindung db;
    QString versionVorher;
    bool kopieDa = false;
};

Verdichtung::Verdichtung(const QString& datenbankdatei, int wartezeitMs) : d(std::make_unique<Daten>())
{
    d->datenbank = datenbankdatei;
    d->wartezeitMs = wartezeitMs;
}

Verdichtung::~Verdichtung()
{
    if (d->kopieDa) {
        QFile::remove(d->temp);
        QFile::remove(d->temp + QStringLiteral("-journal"));
    }
}

QString Verdichtung::kopie() const
{
    return d->temp;
}

bool Verdichtung::kopieErstellen(QString* fehlertext, const Fortschrittsmeldung& pruefen,
                                 const Fortschrittsmeldung& verdichten)
{
    QFileInfo info(d->datenbank);
    if (!info.exists())
        return Fehler(fehlertext, QStringLiteral("Die Datenbank %1 wurde nicht gefunden.")
                                      .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    // Through a link, the file itself is replaced, not the link.
    d->datei = info.canonicalFilePath();
    info = QFileInfo(d->datei);
    d->temp = TempName(info);
    const QString& datei = d->datei;
    const QString& temp = d->temp;
    const QString nativ = QDir::toNativeSeparators(datei);
    const QString inBenutzung = QString::fromUtf8(kInBenutzung).arg(nativ);

    if (info.size() == 0)
        return Fehler(fehlertext, QStringLiteral("Die Datenbank %1 ist leer (0 Byte).%2\n\n"
                                                 "Bitte spielen Sie die letzte Sicherung zurück.")
                                      .arg(nativ, QString::fromUtf8(kNichtsGesichert)));

    if (!EntferneRest(temp) || !EntferneRest(temp + QStringLiteral("-journal")))
        return Fehler(fehlertext, Komprimierfehler(QStringLiteral("%1 kann nicht gelöscht werden.")
                                                       .arg(QDir::toNativeSeparators(temp))));
    // From here on a copy may exist; whatever fails removes it again.
    d->kopieDa = true;

    if (!WarteBisFrei(datei, d->wartezeitMs)) return Fehler(fehlertext, inBenutzung);

    Verbindung& db = d->db;
    if (!db.oeffnen(datei, d->wartezeitMs)) return Fehler(fehlertext, Komprimierfehler(db.fehler()));

    QStringList tabellen;
    if (!db.tabellen(&tabellen)) {
        if (IstBesetzt(db.handle())) return Fehler(fehlertext, inBenutzung);
        if (db.code() == SQLITE_NOTADB || db.code() == SQLITE_CORRUPT)
            return Fehler(fehlertext,
                          QStringLiteral("Die Datei %1 ist keine Datenbank von Ordavo oder so beschädigt, dass "
                                         "sie nicht gelesen werden kann.%2\n\n"
                                         "Bitte spielen Sie die letzte Sicherung zurück oder lassen Sie die "
                                         "Datei reparieren.")
                              .arg(nativ, QString::fromUtf8(kNichtsGesichert)));
        return Fehler(fehlertext, Komprimierfehler(db.fehler()));
    }
    QStringList fehlend;
    for (const char* t : kTabellen)
        if (!tabellen.contains(QString::fromLatin1(t))) fehlend << QString::fromLatin1(t);
    if (!fehlend.isEmpty())
        return Fehler(fehlertext, QStringLiteral("Die Datei %1 ist keine Datenbank von Ordavo: Ihr fehlen die "
                                                 "Tabellen %2.%3\n\n"
                                                 "Bitte prüfen Sie, ob die richtige Datei im Programmordner liegt, "
                                                 "oder spielen Sie die letzte Sicherung zurück.")
                                      .arg(nativ, fehlend.join(QStringLiteral(", ")),
                                           QString::fromUtf8(kNichtsGesichert)));

    if (db.wert(QStringLiteral("PRAGMA journal_mode")).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
        && db.wert(QStringLiteral("PRAGMA journal_mode=DELETE")).compare(QLatin1String("delete"), Qt::CaseInsensitive)
               != 0)
        return Fehler(fehlertext, inBenutzung);

    d->versionVorher = db.wert(QStringLiteral("PRAGMA data_version"));

    // The original is checked on a second connection while the copy is written.
    std::future<Pruefung> pruefung =
        std::async(std::launch::async, PruefeOriginal, datei, tabellen, d->wartezeitMs, pruefen);

    const double erwartet = qMax(1.0, db.wert(QStringLiteral("PRAGMA page_size")).toDouble()
                                          * (db.wert(QStringLiteral("PRAGMA page_count")).toDouble()
                                             - db.wert(QStringLiteral("PRAGMA freelist_count")).toDouble()));
    Melder melder{[&] { return double(QFileInfo(temp).size()) / erwartet; }, &verdichten};
    sqlite3_progress_handler(db.handle(), 200000, &Melder::Rufen, &melder);
    const bool kopiert = db.ausfuehren(QStringLiteral("VACUUM INTO ?1"), temp);
    sqlite3_progress_handler(db.handle(), 0, nullptr, nullptr);
    const bool besetzt = !kopiert && IstBesetzt(db.handle());
    const QString vacuumFehler = kopiert ? QString() : db.fehler();

    // The copy: its structure, its rows, and statistics for the planner.
    QMap<QString, qint64> zeilenKopie;
    QString kopiefehler;
    if (kopiert) {
        Verbindung kopie;
        QStringList befund;
        if (!kopie.oeffnen(temp, d->wartezeitMs)
            // Nobody else uses the copy, and a failed copy is thrown away.
            || !kopie.ausfuehren(QStringLiteral("PRAGMA journal_mode=OFF"))
            || !kopie.ausfuehren(QStringLiteral("PRAGMA quick_check"), QString(),
                                 [&](const QString& z) { befund << z; })
            || !kopie.zeilen(tabellen, &zeilenKopie))
            kopiefehler = Komprimierfehler(kopie.fehler());
        else if (befund != QStringList{QStringLiteral("ok")})
            kopiefehler = Komprimierfehler(
                QStringLiteral("Die komprimierte Kopie ist fehlerhaft; die Datenbank bleibt, wie sie war.\n%1")
                    .arg(befund.mid(0, 10).join(QLatin1Char('\n'))));
        // The planner needs statistics, or it may choose an index that is
        // slower than reading the whole table.
        else if (!kopie.ausfuehren(QStringLiteral("ANALYZE")))
            kopiefehler = Komprimierfehler(kopie.fehler());
        else if (!kopie.schliessen())
            kopiefehler = Komprimierfehler(QStringLiteral("Die Kopie konnte nicht geschlossen werden."));
    }
    if (verdichten) verdichten(1.0);

    const Pruefung original = pruefung.get();
    if (!original.befund.isEmpty()) return Fehler(fehlertext, Beschaedigt(datei, original.befund));
    if (!original.fehler.isEmpty()) {
        if (original.unlesbar) return Fehler(fehlertext, Beschaedigt(datei, original.fehler));
        return Fehler(fehlertext, Komprimierfehler(original.fehler));
    }
    if (!kopiert) return Fehler(fehlertext, besetzt ? inBenutzung : Komprimierfehler(vacuumFehler));
    if (!kopiefehler.isEmpty()) return Fehler(fehlertext, kopiefehler);
    if (zeilenKopie != original.zeilen) {
        // A commit between the counts is no damage, only another program at work.
        if (db.wert(QStringLiteral("PRAGMA data_version")) != d->versionVorher || AndereHabenOffen(datei))
            return Fehler(fehlertext, inBenutzung);
        QStringList unterschiede;
        for (auto it = original.zeilen.cbegin(); it != original.zeilen.cend(); ++it)
            if (zeilenKopie.value(it.key()) != it.value())
                unterschiede << QStringLiteral("%1: %2 Zeilen in der Datenbank, %3 in der Kopie")
                                    .arg(it.key())
                                    .arg(it.value())
                                    .arg(zeilenKopie.value(it.key()));
        return Fehler(fehlertext,
                      Beschaedigt(datei, QStringLiteral("Beim Komprimieren gingen Zeilen verloren.\n%1")
                                             .arg(unterschiede.join(QLatin1Char('\n')))));
    }

    QFile::setPermissions(temp, QFile::permissions(datei));
    if (!platform::AufPlatteSchreiben(temp))
        return Fehler(fehlertext, Komprimierfehler(QStringLiteral("%1 kann nicht geschrieben werden.")
                                                       .arg(QDir::toNativeSeparators(temp))));
    return true;
}

bool Verdichtung::einsetzen(QString* fehlertext)
{
    Verbindung& db = d->db;
    const QString inBenutzung = QString::fromUtf8(kInBenutzung).arg(QDir::toNativeSeparators(d->datei));
    // Hold the write lock from here until the copy is in place.
    if (!db.ausfuehren(QStringLiteral("BEGIN IMMEDIATE"))) return Fehler(fehlertext, inBenutzung);
    const bool unveraendert = db.wert(QStringLiteral("PRAGMA data_version")) == d->versionVorher;
    if (!unveraendert || AndereHabenOffen(d->datei)) {
        db.ausfuehren(QStringLiteral("ROLLBACK"));
        return Fehler(fehlertext, inBenutzung);
    }
    QString grund;
    if (!platform::ErsetzeDatei(d->temp, d->datei, &grund)) {
        db.ausfuehren(QStringLiteral("ROLLBACK"));
        return Fehler(fehlertext, Komprimierfehler(grund));
    }
    d->kopieDa = false;
    platform::AufPlatteSchreiben(d->datei);
    db.ausfuehren(QStringLiteral("ROLLBACK"));
    db.schliessen();
    return true;
}

bool DatenbankKomprimieren(const QString& datenbankdatei, QString* fehlertext, int wartezeitMs)
{
    Verdichtung v(datenbankdatei, wartezeitMs);
    return v.kopieErstellen(fehlertext) && v.einsetzen(fehlertext);
}

QStringList Programmtabellen()
{
    QStringList tabellen;
    for (const char* t : kTabellen) tabellen << QString::fromLatin1(t);
    return tabellen;
}

void VerdichtungsresteEntfernen(const QString& datenbankdatei)
{
    const QFileInfo info(datenbankdatei);
    const QString temp = TempName(info);
    // The journal only together with its copy: it belongs to nothing else.
    if (EntferneRest(temp)) EntferneRest(temp + QStringLiteral("-journal"));
}

}  // namespace backup
