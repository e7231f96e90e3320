#include "backup/ServerSicherung.h"

#include "backup/backend_komprimieren.h"
#include "data/Fehler.h"
#include "server/PgVerbindung.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>

namespace backup {

namespace {

const char* const kNichtsVomServerGesichert = "\n\nEs wurde nichts gesichert; die letzte Sicherung bleibt erhalten.";

bool ScheitertServer(QString* fehler, const QString& text)
{
    if (fehler) *fehler = text + QString::fromUtf8(kNichtsVomServerGesichert);
    return false;
}

// What pg_dump wrote to its error output, from its own first line on:
// Debian's wrapper script may warn about the locale before it. The last
// lines are enough to name the cause.
QString Fehlerausgabe(const QByteArray& ausgabe)
{
    QStringList zeilen = QString::fromLocal8Bit(ausgabe).trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < zeilen.size(); ++i)
        if (zeilen[i].startsWith(QLatin1String("pg_dump:"))) {
            zeilen = zeilen.mid(i);
            break;
        }
    if (zeilen.size() > 8) zeilen = zeilen.mid(zeilen.size() - 8);
    return zeilen.join(QLatin1Char('\n')).left(2000);
}

// Reads the dump once: the tables it creates, and whether pg_dump wrote its
// closing line (a dump cut short lacks it).
bool DumpLesen(const QString& datei, QSet<QString>* tabellen, bool* vollstaendig)
{
    static const QRegularExpression tabelle(QStringLiteral("^CREATE TABLE (?:\\S+\\.)?\"?([^\".\\s]+)\"? \\("));
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly)) return false;
    *vollstaendig = false;
    while (!f.atEnd()) {
        const QByteArray zeile = f.readLine();
        if (zeile.startsWith("CREATE TABLE ")) {
            const QRegularExpressionMatch m = tabelle.match(QString::fromUtf8(zeile));
            if (m.hasMatch()) tabellen->insert(m.captured(1).toLower());
        } else if (zeile.startsWith("-- PostgreSQL database dump complete")) {
            *vollstaendig = true;
        }
    }
    return f.error() == QFileDevice::NoError;
}

}  // namespace

bool ServerAuslesen(const QString& angabe, const QString& datei, QString* fehler,
                    const std::function<void(qint64)>& fortschritt)
{
    QString datenbank;
    try {
        datenbank = server::VerbindungsangabePruefen(angabe);
    } catch (const data::Fehler& f) {
        return ScheitertServer(fehler, f.text());
    }

    const QString programm = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (programm.isEmpty())
        return ScheitertServer(fehler, QStringLiteral("Das Programm pg_dump wurde nicht gefunden. Die Datensicherung der "
                                             "Datenbank auf dem Server braucht es: Bitte installieren Sie die "
                                             "Client-Programme von PostgreSQL (unter Debian das Paket "
                                             "postgresql-client)."));

    QProcess dump;
    dump.setProgram(programm);
    dump.setArguments({QStringLiteral("--format=plain"), QStringLiteral("--no-owner"),
                       QStringLiteral("--no-privileges"), QStringLiteral("--encoding=UTF8"),
                       // No terminal to ask on: a missing password is an error, not a hang.
                       QStringLiteral("--no-password"), QStringLiteral("--lock-wait-timeout=60000"),
                       QStringLiteral("--file=") + datei, QStringLiteral("--dbname=") + angabe});
    QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
    // A server that does not answer must not hold the backup for minutes; a
    // connect_timeout in the connection string still wins.
    if (!umgebung.contains(QStringLiteral("PGCONNECT_TIMEOUT")))
        umgebung.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("15"));
    dump.setProcessEnvironment(umgebung);
    dump.setStandardInputFile(QProcess::nullDevice());
    dump.setStandardOutputFile(QProcess::nullDevice());
    dump.start();
    if (!dump.waitForStarted(-1))
        return ScheitertServer(fehler, QStringLiteral("Das Programm %1 konnte nicht gestartet werden: %2")
                                  .arg(programm, dump.errorString()));
    while (!dump.waitForFinished(100) && dump.state() != QProcess::NotRunning)
        if (fortschritt) fortschritt(QFileInfo(datei).size());

    const QString ausgabe = Fehlerausgabe(dump.readAllStandardError());
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        QString grund = ausgabe;
        if (grund.isEmpty())
            grund = dump.exitStatus() != QProcess::NormalExit
                        ? QStringLiteral("pg_dump wurde abgebrochen.")
                        : QStringLiteral("pg_dump endete mit dem Fehlercode %1.").arg(dump.exitCode());
        return ScheitertServer(fehler, QStringLiteral("Die Datenbank auf dem Server konnte nicht gesichert werden:\n%1")
                                  .arg(grund));
    }
    if (fortschritt) fortschritt(QFileInfo(datei).size());

    QSet<QString> tabellen;
    bool vollstaendig = false;
    if (!DumpLesen(datei, &tabellen, &vollstaendig))
        return ScheitertServer(fehler, QStringLiteral("Die Ausgabe von pg_dump (%1) kann nicht gelesen werden.").arg(datei));
    if (!vollstaendig)
        return ScheitertServer(fehler, QStringLiteral("Die Datenbank auf dem Server konnte nicht gesichert werden: Die "
                                             "Ausgabe von pg_dump ist unvollständig.\n%1")
                                  .arg(ausgabe));
    QStringList fehlend;
    for (const QString& t : Programmtabellen())
        if (!tabellen.contains(t)) fehlend << t;
    if (!fehlend.isEmpty())
        return ScheitertServer(fehler, QStringLiteral("Die Datenbank %1 auf dem Server ist keine Datenbank von Ordavo: Ihr "
                                             "fehlen die Tabellen %2.\n\nBitte prüfen Sie den Eintrag „Server“ im "
                                             "Abschnitt [Datenbank] der Datei Ordavo.ini.")
                                  .arg(datenbank.isEmpty() ? angabe : datenbank, fehlend.join(QStringLiteral(", "))));
    return true;
}

}  // namespace backup
