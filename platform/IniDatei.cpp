#include "platform/IniDatei.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <vector>

namespace platform {

namespace {

// The file is kept as bytes. Names and values are decoded only to compare and
// return them: UTF-8 where the bytes are valid UTF-8, otherwise Latin-1 (a file
// written by an older Windows installation).
QString Dekodiert(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

enum class Art { Leer, Kommentar, Abschnitt, Schluessel, Sonstiges };

struct Zeile {
    qsizetype anfang = 0;    // first byte of the line
    qsizetype ende = 0;      // end of its text, before "\r\n" or "\n"
    qsizetype naechste = 0;  // first byte of the next line
    Art art = Art::Sonstiges;
    QString name;            // section or key name
    qsizetype wertAnfang = 0;  // first byte of the value (after '=' and blanks)
};

bool IstBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Zeile> Zerlegt(const QByteArray& inhalt)
{
    std::vector<Zeile> zeilen;
    qsizetype pos = 0;
    const qsizetype n = inhalt.size();
    while (pos < n) {
        Zeile z;
        z.anfang = pos;
        qsizetype nl = inhalt.indexOf('\n', pos);
        if (nl < 0) {
            z.ende = n;
            z.naechste = n;
        } else {
            z.ende = (nl > pos && inhalt.at(nl - 1) == '\r') ? nl - 1 : nl;
            z.naechste = nl + 1;
        }
        const QByteArray text = inhalt.mid(z.anfang, z.ende - z.anfang);
        const QByteArray getrimmt = text.trimmed();
        const qsizetype gleich = text.indexOf('=');
        if (getrimmt.isEmpty()) {
            z.art = Art::Leer;
        } else if (getrimmt.startsWith(';') || getrimmt.startsWith('#')) {
            z.art = Art::Kommentar;
        } else if (getrimmt.startsWith('[') && getrimmt.indexOf(']') > 0) {
            z.art = Art::Abschnitt;
            z.name = Dekodiert(getrimmt.mid(1, getrimmt.indexOf(']') - 1).trimmed());
        } else if (gleich > 0 && !text.left(gleich).trimmed().isEmpty()) {
            z.art = Art::Schluessel;
            z.name = Dekodiert(text.left(gleich).trimmed());
            qsizetype w = z.anfang + gleich + 1;
            while (w < z.ende && IstBlank(inhalt.at(w))) ++w;
            z.wertAnfang = w;
        }
        zeilen.push_back(z);
        pos = z.naechste;
    }
    return zeilen;
}

// Index of the first section line named `abschnitt`, or -1.
qsizetype AbschnittsZeile(const std::vector<Zeile>& zeilen, const QString& abschnitt)
{
    for (size_t i = 0; i < zeilen.size(); ++i) {
        if (zeilen[i].art == Art::Abschnitt
            && zeilen[i].name.compare(abschnitt, Qt::CaseInsensitive) == 0)
            return qsizetype(i);
    }
    return -1;
}

// One past the last line of the section that starts at line `kopf`.
size_t AbschnittsEnde(const std::vector<Zeile>& zeilen, size_t kopf)
{
    size_t i = kopf + 1;
    while (i < zeilen.size() && zeilen[i].art != Art::Abschnitt) ++i;
    return i;
}

qsizetype SchluesselZeile(const std::vector<Zeile>& zeilen, qsizetype kopf, const QString& schluessel)
{
    if (kopf < 0) return -1;
    const size_t ende = AbschnittsEnde(zeilen, size_t(kopf));
    for (size_t i = size_t(kopf) + 1; i < ende; ++i) {
        if (zeilen[i].art == Art::Schluessel
            && zeilen[i].name.compare(schluessel, Qt::CaseInsensitive) == 0)
            return qsizetype(i);
    }
    return -1;
}

// The file's own line ending, so that added lines look like the others.
QByteArray Zeilenende(const QByteArray& inhalt)
{
    const qsizetype nl = inhalt.indexOf('\n');
    if (nl > 0 && inhalt.at(nl - 1) == '\r') return "\r\n";
    if (nl >= 0) return "\n";
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

}  // namespace

IniDatei::IniDatei(const QString& pfad) : m_pfad(pfad) {}

QString IniDatei::lesen(const QString& abschnitt, const QString& schluessel, const QString& vorgabe) const
{
    QFile datei(m_pfad);
    if (!datei.open(QIODevice::ReadOnly)) return vorgabe;
    const QByteArray inhalt = datei.readAll();
    const std::vector<Zeile> zeilen = Zerlegt(inhalt);
    const qsizetype i = SchluesselZeile(zeilen, AbschnittsZeile(zeilen, abschnitt), schluessel);
    if (i < 0) return vorgabe;
    const Zeile& z = zeilen[size_t(i)];
    return Dekodiert(inhalt.mid(z.wertAnfang, z.ende - z.wertAnfang).trimmed());
}

bool IniDatei::schreiben(const QString& abschnitt, const QString& schluessel, const QString& wert)
{
    QByteArray inhalt;
    {
        QFile datei(m_pfad);
        if (datei.exists()) {
            // A file that exists but cannot be read must not be replaced by a
            // file holding only the one key.
            if (!datei.open(QIODevice::ReadOnly)) return false;
            inhalt = datei.readAll();
            if (datei.error() != QFileDevice::NoError) return false;
            datei.close();
            // A read-only file stays read-only, even where its folder would
            // allow the rename over it. Opening to append changes nothing.
            if (!datei.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
        }
    }

    const QByteArray ende = Zeilenende(inhalt);
    const QByteArray wertBytes = wert.toUtf8();
    const std::vector<Zeile> zeilen = Zerlegt(inhalt);
    const qsizetype kopf = AbschnittsZeile(zeilen, abschnitt);
    const qsizetype i = SchluesselZeile(zeilen, kopf, schluessel);

    if (i >= 0) {
        const Zeile& z = zeilen[size_t(i)];
        // Trailing blanks after the old value go with it.
        inhalt.replace(z.wertAnfang, z.ende - z.wertAnfang, wertBytes);
    } else {
        const QByteArray neueZeile = schluessel.toUtf8() + '=' + wertBytes;
        if (kopf >= 0) {
            // After the section's last non-blank line, so that the blank line
            // before the next section stays where it is.
            size_t letzte = size_t(kopf);
            const size_t abschnittsEnde = AbschnittsEnde(zeilen, size_t(kopf));
            for (size_t k = size_t(kopf) + 1; k < abschnittsEnde; ++k)
                if (zeilen[k].art != Art::Leer) letzte = k;
            const Zeile& z = zeilen[letzte];
            if (z.naechste == z.ende)  // last line of the file, without line ending
                inhalt.insert(z.naechste, ende + neueZeile);
            else
                inhalt.insert(z.naechste, neueZeile + ende);
        } else {
            if (!inhalt.isEmpty() && !inhalt.endsWith('\n')) inhalt += ende;
            inhalt += '[' + abschnitt.toUtf8() + ']' + ende + neueZeile + ende;
        }
    }

    QSaveFile datei(m_pfad);
    datei.setDirectWriteFallback(true);
    if (!datei.open(QIODevice::WriteOnly)) return false;
    if (datei.write(inhalt) != inhalt.size()) {
        datei.cancelWriting();
        return false;
    }
    return datei.commit();
}

}  // namespace platform
