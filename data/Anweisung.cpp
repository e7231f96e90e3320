#include "data/Anweisung.h"

#include "data/Fehler.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace data {

void Binde(sqlite3_stmt* st, int index, const QVariant& wert)
{
    if (!wert.isValid() || wert.isNull()) {
        sqlite3_bind_null(st, index);
        return;
    }
    auto text = [&](const QString& s) {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    };
    switch (wert.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: sqlite3_bind_int64(st, index, wert.toLongLong()); return;
    case QMetaType::Bool: sqlite3_bind_int(st, index, wert.toBool() ? -1 : 0); return;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(st, index, wert.toDouble()); return;
    case QMetaType::QDate: text(wert.toDate().toString(Qt::ISODate)); return;
    case QMetaType::QDateTime: text(wert.toDateTime().date().toString(Qt::ISODate)); return;
    case QMetaType::QByteArray: {
        const QByteArray b = wert.toByteArray();
        sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: text(wert.toString()); return;
    }
}

namespace {

QString Dateiname(const QString& datei)
{
    return datei.isEmpty() ? QStringLiteral("ordavo_tab.mdb") : QFileInfo(datei).fileName();
}

// "UNIQUE constraint failed: t_PLU.PLU" names the table and the column.
QString Doppelt(const QString& engineText, const Wertsuche& werte)
{
    static const QRegularExpression re(QStringLiteral("constraint failed: ([A-Za-z_0-9]+)\\.([A-Za-z_0-9]+)"));
    const QRegularExpressionMatch m = re.match(engineText);
    QString tabelle, spalte;
    QVariant wert;
    if (m.hasMatch()) {
        tabelle = m.captured(1);
        spalte = m.captured(2);
        if (werte) wert = werte(tabelle, spalte);
    }
    const QString w = wert.isNull() ? QString() : wert.toString();
    if (tabelle.compare(QLatin1String("t_PLU"), Qt::CaseInsensitive) == 0 && spalte.compare(QLatin1String("PLU"), Qt::CaseInsensitive) == 0)
        return w.isEmpty() ? QStringLiteral("Dieser PLU-Code ist schon vergeben.") : QStringLiteral("Der PLU-Code %1 ist schon vergeben.").arg(w);
    if (spalte.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
        return w.isEmpty() ? QStringLiteral("Diese Nummer ist schon vergeben. Bitte laden Sie die Daten neu und versuchen Sie es noch einmal.")
                           : QStringLiteral("Die Nummer %1 ist schon vergeben. Bitte laden Sie die Daten neu und versuchen Sie es noch einmal.").arg(w);
    return w.isEmpty() ? QStringLiteral("Dieser Wert ist schon vergeben. Bitte geben Sie einen anderen ein.")
                       : QStringLiteral("Der Wert %1 ist schon vergeben. Bitte geben Sie einen anderen ein.").arg(w);
}

}  // namespace

QString Datenbankmeldung(int rc, const QString& engineText, const QString& datei, const Wertsuche& werte)
{
    const QString name = Dateiname(datei);
    QString satz;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        satz = QStringLiteral("Die Datenbank wird gerade von einem anderen Programm benutzt. "
                              "Bitte warten Sie einen Augenblick und versuchen Sie es dann noch einmal.");
        break;
    case SQLITE_READONLY:
        satz = QStringLiteral("Die Datenbank ist schreibgeschützt, Änderungen können nicht gespeichert werden. "
                              "Bitte prüfen Sie, ob Sie die Datei %1 ändern dürfen.").arg(name);
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        satz = QStringLiteral("Die Datei %1 ist keine Ordavo-Datenbank oder sie ist beschädigt. "
                              "Bitte spielen Sie eine Datensicherung zurück.").arg(name);
        break;
    case SQLITE_FULL:
        satz = QStringLiteral("Der Datenträger ist voll, die Änderung wurde nicht gespeichert. "
                              "Bitte schaffen Sie Platz und versuchen Sie es dann noch einmal.");
        break;
    case SQLITE_CANTOPEN:
        satz = QStringLiteral("Die Datenbank %1 konnte nicht geöffnet werden. "
                              "Bitte prüfen Sie, ob die Datei vorhanden ist und ob Sie sie lesen und ändern dürfen.").arg(name);
        break;
    case SQLITE_IOERR:
        satz = QStringLiteral("Die Datenbank %1 konnte nicht gelesen oder geschrieben werden. "
                              "Bitte prüfen Sie den Datenträger.").arg(name);
        break;
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) satz = Doppelt(engineText, werte);
        else if (rc == SQLITE_CONSTRAINT_FOREIGNKEY)
            satz = QStringLiteral("Der Datensatz gehört zu Daten, die es nicht (mehr) gibt, oder wird noch von anderen Daten verwendet.");
        else
            satz = QStringLiteral("Die Datenbank hat einen Wert abgelehnt, der nicht zu ihr passt.");
        break;
    default: break;
    }
    return satz.isEmpty() ? engineText : satz + QLatin1Char('\n') + engineText;
}

QString Datenbankmeldung(sqlite3* db, int rc, const Wertsuche& werte)
{
    const int erweitert = db ? sqlite3_extended_errcode(db) : rc;
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const char* datei = db ? sqlite3_db_filename(db, "main") : nullptr;
    return Datenbankmeldung(erweitert ? erweitert : rc, text, datei ? QString::fromUtf8(datei) : QString(), werte);
}

// ---- Anweisung ----

Anweisung::Anweisung(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray b = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, b.constData(), int(b.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) Fehlschlag(rc);
}

Anweisung::Anweisung(sqlite3* db, const char*& rest) : m_db(db)
{
    const char* naechstes = nullptr;
    const int rc = sqlite3_prepare_v2(db, rest, -1, &m_st, &naechstes);
    if (rc != SQLITE_OK) Fehlschlag(rc);
    rest = naechstes;
}

Anweisung::~Anweisung() { sqlite3_finalize(m_st); }

void Anweisung::Fehlschlag(int rc) const { throw Fehler(Datenbankmeldung(m_db, rc, m_werte)); }

void Anweisung::binde(int index, const QVariant& wert) { Binde(m_st, index, wert); }

void Anweisung::zuruecksetzen()
{
    sqlite3_reset(m_st);
    sqlite3_clear_bindings(m_st);
}

bool Anweisung::schritt()
{
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fehlschlag(rc);
}

int Anweisung::ausfuehren()
{
    while (schritt()) {}
    return sqlite3_changes(m_db);
}

// ---- Transaktion ----

Transaktion::Transaktion(sqlite3* db) : m_db(db) { Ausfuehren(db, QStringLiteral("SAVEPOINT ordavo")); }

Transaktion::~Transaktion()
{
    if (!m_offen) return;
    sqlite3_exec(m_db, "ROLLBACK TO ordavo", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db, "RELEASE ordavo", nullptr, nullptr, nullptr);
}

void Transaktion::commit()
{
    Ausfuehren(m_db, QStringLiteral("RELEASE ordavo"));
    m_offen = false;
}

void Ausfuehren(sqlite3* db, const QString& sql)
{
    const QByteArray b = sql.toUtf8();
    const char* rest = b.constData();
    while (rest && *rest) {
        Anweisung a(db, rest);
        if (!a.leer()) a.ausfuehren();
    }
}

}  // namespace data
