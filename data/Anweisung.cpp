#include "data/Anweisung.h"

#include "data/Fehler.h"
#include "data/Motor.h"
#include "data/Verbindung.h"

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
bool DoppeltGenannt(const QString& engineText, QString& tabelle, QString& spalte)
{
    static const QRegularExpression re(QStringLiteral("constraint failed: ([A-Za-z_0-9]+)\\.([A-Za-z_0-9]+)"));
    const QRegularExpressionMatch m = re.match(engineText);
    if (!m.hasMatch()) return false;
    tabelle = m.captured(1);
    spalte = m.captured(2);
    return true;
}

QString Doppelt(const QString& tabelle, const QString& spalte, const Wertsuche& werte)
{
    QVariant wert;
    if (!tabelle.isEmpty() && werte) wert = werte(tabelle, spalte);
    const QString w = wert.isNull() ? QString() : wert.toString();
    if (tabelle.compare(QLatin1String("t_PLU"), Qt::CaseInsensitive) == 0 && spalte.compare(QLatin1String("PLU"), Qt::CaseInsensitive) == 0)
        return w.isEmpty() ? QStringLiteral("Dieser PLU-Code ist schon vergeben.") : QStringLiteral("Der PLU-Code %1 ist schon vergeben.").arg(w);
    if (spalte.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
        return w.isEmpty() ? QStringLiteral("Diese Nummer ist schon vergeben. Bitte laden Sie die Daten neu und versuchen Sie es noch einmal.")
                           : QStringLiteral("Die Nummer %1 ist schon vergeben. Bitte laden Sie die Daten neu und versuchen Sie es noch einmal.").arg(w);
    return w.isEmpty() ? QStringLiteral("Dieser Wert ist schon vergeben. Bitte geben Sie einen anderen ein.")
                       : QStringLiteral("Der Wert %1 ist schon vergeben. Bitte geben Sie einen anderen ein.").arg(w);
}

QString Belegt()
{
    return QStringLiteral("Die Datenbank wird gerade von einem anderen Programm benutzt. "
                          "Bitte warten Sie einen Augenblick und versuchen Sie es dann noch einmal.");
}
QString Voll()
{
    return QStringLiteral("Der Datenträger ist voll, die Änderung wurde nicht gespeichert. "
                          "Bitte schaffen Sie Platz und versuchen Sie es dann noch einmal.");
}
QString Fremdschluessel()
{
    return QStringLiteral("Der Datensatz gehört zu Daten, die es nicht (mehr) gibt, oder wird noch von anderen Daten verwendet.");
}
QString Abgelehnt() { return QStringLiteral("Die Datenbank hat einen Wert abgelehnt, der nicht zu ihr passt."); }

QString MitText(const QString& satz, const QString& engineText)
{
    return satz.isEmpty() ? engineText : satz + QLatin1Char('\n') + engineText;
}

}  // namespace

QString Datenbankmeldung(int rc, const QString& engineText, const QString& datei, const Wertsuche& werte)
{
    const QString name = Dateiname(datei);
    QString satz;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: satz = Belegt(); break;
    case SQLITE_READONLY:
        satz = QStringLiteral("Die Datenbank ist schreibgeschützt, Änderungen können nicht gespeichert werden. "
                              "Bitte prüfen Sie, ob Sie die Datei %1 ändern dürfen.").arg(name);
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        satz = QStringLiteral("Die Datei %1 ist keine Ordavo-Datenbank oder sie ist beschädigt. "
                              "Bitte spielen Sie eine Datensicherung zurück.").arg(name);
        break;
    case SQLITE_FULL: satz = Voll(); break;
    case SQLITE_CANTOPEN:
        satz = QStringLiteral("Die Datenbank %1 konnte nicht geöffnet werden. "
                              "Bitte prüfen Sie, ob die Datei vorhanden ist und ob Sie sie lesen und ändern dürfen.").arg(name);
        break;
    case SQLITE_IOERR:
        satz = QStringLiteral("Die Datenbank %1 konnte nicht gelesen oder geschrieben werden. "
                              "Bitte prüfen Sie den Datenträger.").arg(name);
        break;
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
            QString tabelle, spalte;
            DoppeltGenannt(engineText, tabelle, spalte);
            satz = Doppelt(tabelle, spalte, werte);
        } else if (rc == SQLITE_CONSTRAINT_FOREIGNKEY) {
            satz = Fremdschluessel();
        } else {
            satz = Abgelehnt();
        }
        break;
    default: break;
    }
    return MitText(satz, engineText);
}

QString Datenbankmeldung(Fehlerart art, const QString& engineText, const QString& tabelle, const QString& spalte, const Wertsuche& werte)
{
    switch (art) {
    case Fehlerart::Belegt: return MitText(Belegt(), engineText);
    case Fehlerart::Schreibgeschuetzt:
        return MitText(QStringLiteral("Die Datenbank ist schreibgeschützt, Änderungen können nicht gespeichert werden."), engineText);
    case Fehlerart::Voll: return MitText(Voll(), engineText);
    case Fehlerart::Doppelt: return MitText(Doppelt(tabelle, spalte, werte), engineText);
    case Fehlerart::Fremdschluessel: return MitText(Fremdschluessel(), engineText);
    case Fehlerart::Abgelehnt: return MitText(Abgelehnt(), engineText);
    case Fehlerart::Sonstiges: break;
    }
    return engineText;
}

QString Datenbankmeldung(sqlite3* db, int rc, const Wertsuche& werte)
{
    const int erweitert = db ? sqlite3_extended_errcode(db) : rc;
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const char* datei = db ? sqlite3_db_filename(db, "main") : nullptr;
    return Datenbankmeldung(erweitert ? erweitert : rc, text, datei ? QString::fromUtf8(datei) : QString(), werte);
}

// ---- Anweisung ----

Anweisung::Anweisung(Verbindung& verbindung, const QString& sql)
{
    if (Motor* motor = verbindung.Fern()) {
        m_fern = motor->bereite(sql);
        return;
    }
    m_db = verbindung.Handle();
    const QByteArray b = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, b.constData(), int(b.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) Fehlschlag(rc);
}

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

void Anweisung::Fehlschlag(int rc) const
{
    QString doppelt;
    const int erweitert = m_db ? sqlite3_extended_errcode(m_db) : rc;
    if (erweitert == SQLITE_CONSTRAINT_UNIQUE || erweitert == SQLITE_CONSTRAINT_PRIMARYKEY) {
        QString tabelle, spalte;
        if (DoppeltGenannt(QString::fromUtf8(sqlite3_errmsg(m_db)), tabelle, spalte)) doppelt = tabelle + QLatin1Char('.') + spalte;
    }
    throw Fehler(Datenbankmeldung(m_db, rc, m_werte), doppelt);
}

void Anweisung::setWertsuche(Wertsuche w)
{
    if (m_fern) m_fern->setWertsuche(w);
    m_werte = std::move(w);
}

void Anweisung::binde(int index, const QVariant& wert)
{
    if (m_fern) m_fern->binde(index, wert);
    else Binde(m_st, index, wert);
}

int Anweisung::parameterAnzahl() const { return m_fern ? m_fern->parameterAnzahl() : sqlite3_bind_parameter_count(m_st); }

QString Anweisung::parameterName(int index) const
{
    if (m_fern) return m_fern->parameterName(index);
    const char* n = sqlite3_bind_parameter_name(m_st, index);
    return n && (*n == ':' || *n == '@' || *n == '$') ? QString::fromUtf8(n + 1) : QString();
}

int Anweisung::spaltenAnzahl() { return m_fern ? m_fern->spaltenAnzahl() : sqlite3_column_count(m_st); }

QString Anweisung::spaltenname(int spalte)
{
    return m_fern ? m_fern->spaltenname(spalte) : QString::fromUtf8(sqlite3_column_name(m_st, spalte));
}

QString Anweisung::tabelle(int spalte)
{
    if (m_fern) return m_fern->tabelle(spalte);
    const char* t = sqlite3_column_table_name(m_st, spalte);
    return t ? QString::fromUtf8(t) : QString();
}

QString Anweisung::herkunft(int spalte)
{
    if (m_fern) return m_fern->herkunft(spalte);
    const char* o = sqlite3_column_origin_name(m_st, spalte);
    return o ? QString::fromUtf8(o) : QString();
}

Wertart Anweisung::art(int spalte) const
{
    if (m_fern) return m_fern->art(spalte);
    switch (sqlite3_column_type(m_st, spalte)) {
    case SQLITE_INTEGER: return Wertart::Ganzzahl;
    case SQLITE_FLOAT: return Wertart::Zahl;
    case SQLITE_NULL: return Wertart::Null;
    case SQLITE_BLOB: return Wertart::Blob;
    default: return Wertart::Text;
    }
}

qint64 Anweisung::ganzzahl(int spalte) const { return m_fern ? m_fern->ganzzahl(spalte) : sqlite3_column_int64(m_st, spalte); }

double Anweisung::zahl(int spalte) const { return m_fern ? m_fern->zahl(spalte) : sqlite3_column_double(m_st, spalte); }

std::string_view Anweisung::text(int spalte) const
{
    if (m_fern) return m_fern->text(spalte);
    // The pointer first, then the size: asking for the size converts first.
    const char* p = sqlite3_column_type(m_st, spalte) == SQLITE_BLOB ? static_cast<const char*>(sqlite3_column_blob(m_st, spalte))
                                                                      : reinterpret_cast<const char*>(sqlite3_column_text(m_st, spalte));
    return std::string_view(p ? p : "", size_t(sqlite3_column_bytes(m_st, spalte)));
}

QVariant Anweisung::wert(int spalte) const
{
    switch (art(spalte)) {
    case Wertart::Null: return QVariant();
    case Wertart::Ganzzahl: return QVariant(ganzzahl(spalte));
    case Wertart::Zahl: return QVariant(zahl(spalte));
    case Wertart::Blob: {
        const std::string_view t = text(spalte);
        return QByteArray(t.data(), qsizetype(t.size()));
    }
    case Wertart::Text: {
        const std::string_view t = text(spalte);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    }
    return QVariant();
}

void Anweisung::zuruecksetzen()
{
    m_fertig = false;
    if (m_fern) {
        m_fern->zuruecksetzen();
        return;
    }
    sqlite3_reset(m_st);
    sqlite3_clear_bindings(m_st);
}

bool Anweisung::schritt()
{
    // SQLite would run a finished statement again from the start.
    if (m_fertig) return false;
    if (m_fern) {
        m_fertig = !m_fern->schritt();
        return !m_fertig;
    }
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        m_fertig = true;
        return false;
    }
    Fehlschlag(rc);
}

int Anweisung::ausfuehren()
{
    while (schritt()) {}
    return m_fern ? m_fern->geaendert() : sqlite3_changes(m_db);
}

// ---- Transaktion ----

Transaktion::Transaktion(Verbindung& verbindung) : m_motor(verbindung.Fern())
{
    if (m_motor) m_motor->beginnen();
    else {
        m_db = verbindung.Handle();
        Ausfuehren(m_db, QStringLiteral("SAVEPOINT ordavo"));
    }
}

Transaktion::Transaktion(sqlite3* db) : m_db(db) { Ausfuehren(db, QStringLiteral("SAVEPOINT ordavo")); }

Transaktion::~Transaktion()
{
    if (!m_offen) return;
    if (m_motor) {
        m_motor->verwerfen();
        return;
    }
    sqlite3_exec(m_db, "ROLLBACK TO ordavo", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db, "RELEASE ordavo", nullptr, nullptr, nullptr);
}

void Transaktion::commit()
{
    if (m_motor) m_motor->bestaetigen();
    else Ausfuehren(m_db, QStringLiteral("RELEASE ordavo"));
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

QStringList AnweisungenTeilen(const QString& sql)
{
    QStringList teile;
    int start = 0;
    QChar bis;  // the character that ends the quote or bracket we are in
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!bis.isNull()) {
            if (c == bis) bis = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) bis = c;
        else if (c == QLatin1Char('[')) bis = QLatin1Char(']');
        else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('-')) bis = QLatin1Char('\n');
        else if (c == QLatin1Char(';')) {
            const QString t = sql.mid(start, i - start).trimmed();
            if (!t.isEmpty()) teile << t;
            start = i + 1;
        }
    }
    const QString t = sql.mid(start).trimmed();
    if (!t.isEmpty()) teile << t;
    return teile;
}

}  // namespace data
