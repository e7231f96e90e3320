#include "print/Geschaeftsdokument.h"

#include "data/Dataset.h"
#include "data/Fehler.h"
#include "data/Regional.h"
#include "data/dm_ordavo.h"
#include "report/Vorschau.h"
#include "ui/Anwendung.h"

namespace print {

using report::Maske;
using report::Schrift;
using report::Strich;
using report::Textfluss;

namespace {

// The page header starts at the top margin; its elements are given from the
// top of the sheet.
constexpr double kOben = 10.0;
QRectF Kopfbox(double x, double y, double breite = 0, double hoehe = 0)
{
    return QRectF(x, y - kOben, breite, hoehe);
}
// A box given by its left and right edge.
QRectF Von(double x1, double x2, double y) { return QRectF(x1, y, x2 - x1, 0); }

TDMOrdavo& Datenmodul()
{
    TDMOrdavo* dm = App().DMOrdavo;
    if (!dm) throw data::Fehler(QStringLiteral("Die Datenbank ist nicht geöffnet."));
    return *dm;
}

bool Gesetzt(data::Dataset* ds, const QString& feld)
{
    if (!ds || !ds->Active() || ds->RecNo() < 0) return false;
    const data::Field f = ds->FindField(feld);
    return f.gueltig() && !f.isNull() && f.asInteger() == -1;
}

}  // namespace

Geschaeftsdokument::Geschaeftsdokument(Art art, QObject* parent) : QObject(parent), m_art(art)
{
    m_bericht.setRaender(10, 10, 10, 20);
    m_bericht.setStandardschrift(Schrift(10));
    Kopf();
    Positionen();
    Summen();
    Schluss();
}

void Geschaeftsdokument::Kopf()
{
    report::Band& b = m_bericht.seitenkopf();
    PageHeaderBand1 = &b;
    b.setName(QStringLiteral("PageHeaderBand1"));
    b.setHoehe(120.0);
    b.setRahmenUnten(Strich::Einfach);

    const QFont f10 = Schrift(10);
    const QFont k8 = Schrift(8);
    const QFont k8fett = Schrift(8, true);
    const QFont f12 = Schrift(12);

    labelFirma = b.label(QStringLiteral("labelFirma"), QString(), Kopfbox(20.6, 16.3), f10);
    LabelName = b.label(QStringLiteral("LabelName"), QString(), Kopfbox(20.6, 21.4), f10);
    LabelAdresse = b.label(QStringLiteral("LabelAdresse"), QString(), Kopfbox(20.6, 26.7), f10);
    LabelStammd_plzort = b.label(QStringLiteral("LabelStammd_plzort"), QString(), Kopfbox(20.6, 31.7), f10);

    LabelT = b.label(QStringLiteral("LabelT"), QStringLiteral("T"), Kopfbox(139.1, 54.5), k8fett);
    labelTel = b.label(QStringLiteral("labelTel"), QString(), Kopfbox(143.6, 54.5), k8);
    LabelF = b.label(QStringLiteral("LabelF"), QStringLiteral("F"), Kopfbox(139.1, 58.7), k8fett);
    LabelFax = b.label(QStringLiteral("LabelFax"), QString(), Kopfbox(143.6, 58.7), k8);
    LabelM = b.label(QStringLiteral("LabelM"), QStringLiteral("M"), Kopfbox(139.1, 62.9), k8fett);
    LabelMobil = b.label(QStringLiteral("LabelMobil"), QString(), Kopfbox(143.6, 62.9), k8);
    LabelE = b.label(QStringLiteral("LabelE"), QStringLiteral("E"), Kopfbox(139.1, 67.1), k8fett);
    LabelEmail = b.label(QStringLiteral("LabelEmail"), QString(), Kopfbox(143.6, 67.1), k8);
    LabelUID = b.label(QStringLiteral("LabelUID"), QStringLiteral("UID"), Kopfbox(137.0, 71.1), k8fett);
    LabelUIDNummer = b.label(QStringLiteral("LabelUIDNummer"), QString(), Kopfbox(143.6, 71.1), k8);

    // Recipient, placed for the window of a DIN envelope. Each line is cut at
    // the window's right edge rather than running into the contact lines.
    LabelAdr_Firma = b.label(QStringLiteral("LabelAdr_Firma"), QString(), Kopfbox(20.3, 54.7, 85.0), f12);
    LabelAdr_Name = b.label(QStringLiteral("LabelAdr_Name"), QString(), Kopfbox(20.6, 61.3, 85.0), f12);
    LabelAdr_Adresse = b.label(QStringLiteral("LabelAdr_Adresse"), QString(), Kopfbox(20.3, 67.9, 85.0), f12);
    LabelAdr_PlzOrt = b.label(QStringLiteral("LabelAdr_PlzOrt"), QString(), Kopfbox(20.6, 74.6, 85.0), f12);
    for (report::Text* z : {LabelAdr_Firma, LabelAdr_Name, LabelAdr_Adresse, LabelAdr_PlzOrt})
        z->setFluss(Textfluss::Abschneiden);

    LabelOrt = b.label(QStringLiteral("LabelOrt"), QString(), Kopfbox(122.7, 93.1, 141.2 - 122.7), f10, Qt::AlignRight);
    b.label(QStringLiteral("LabelKomma"), QStringLiteral(","), Kopfbox(141.2, 93.1), f10);
    LabelDatum = b.label(QStringLiteral("LabelDatum"), QString(), Kopfbox(143.3, 93.1), f10);
    b.linie(QStringLiteral("Falzmarke"), 10.0, 100.2 - kOben, 4.5);

    struct Titel {
        const char* text;
        double x, y, nrX, nummerX, nrY;
    };
    const Titel t = m_art == Art::Lieferschein ? Titel{"Lieferschein", 14.2, 113.7, 50.2, 56.6, 115.8}
                    : m_art == Art::Rechnung   ? Titel{"Rechnung", 14.2, 113.7, 43.9, 50.2, 115.8}
                                               : Titel{"Mahnung", 12.1, 112.9, 39.6, 46.0, 115.0};
    LabelTitel = b.label(QStringLiteral("LabelTitel"), QString::fromUtf8(t.text), Kopfbox(t.x, t.y), Schrift(16, true));
    LabelNr = b.label(QStringLiteral("LabelNr"), QStringLiteral("Nr."), Kopfbox(t.nrX, t.nrY), f10);
    LabelNummer = b.label(QStringLiteral("LabelNummer"), QString(), Kopfbox(t.nummerX, t.nrY), f10);

    const double yS = 124.3;
    b.label(QStringLiteral("LabelSpalteArtNr"), QStringLiteral("Art.-Nr."), Kopfbox(20.6, yS), f10);
    b.label(QStringLiteral("LabelSpalteBezeichnung"), QStringLiteral("Artikelbezeichnung"), Kopfbox(41.8, yS), f10);
    b.label(QStringLiteral("LabelSpalteMenge"), QStringLiteral("Menge"), Kopfbox(94.1, yS), f10);
    b.label(QStringLiteral("LabelSpalteMwSt"), QStringLiteral("MwSt"), Kopfbox(115.8, yS), f10);
    b.label(QStringLiteral("LabelSpalteEinzelpreis"), QStringLiteral("Einzelpreis"), Kopfbox(134.9, yS), f10);
    b.label(QStringLiteral("LabelSpalteSumme"), QStringLiteral("Summe"), Kopfbox(169.5, yS), f10);

    b.vorDemDruck = [this](report::Band& band, bool& drucken) { PageHeaderBand1BeforePrint(band, drucken); };

    // One delivery note per group; each starts on a new page.
    QRGroup1 = &m_bericht.neueGruppe(QStringLiteral("QRGroup1"),
                                     report::Gruppe::NachFeld(QStringLiteral("la_lieferschein_id")));
    QRGroup1->neueSeite = true;
    QRGroup1->kopf.setHoehe(0.0);
    QRGroup1->kopf.setRahmenUnten(Strich::Einfach);
}

void Geschaeftsdokument::Positionen()
{
    report::Band& b = m_bericht.detail();
    QRBand1 = &b;
    b.setName(QStringLiteral("QRBand1"));
    b.setHoehe(6.1);
    const double y = 0.8;
    const double xNr = m_art == Art::Mahnung ? 19.3 : 18.5;
    const double xMwSt = m_art == Art::Lieferschein ? 115.3 : 115.8;
    const double xPreis = m_art == Art::Rechnung ? 122.2 : 124.3;

    // Numbers print whole; only the description is cut, also where a long
    // article number or quantity needs more than its column.
    report::Text* nr = b.feld(QStringLiteral("artikel_nr"), QStringLiteral("artikel_nr"), QRectF(xNr, y, 14.3, 0),
                              Maske::Text, std::nullopt, Qt::AlignHCenter);
    report::Text* bez = b.feld(QStringLiteral("artikel_bez"), QStringLiteral("artikel_bez"), Von(41.8, 82.3, y), Maske::Text);
    report::Text* menge = b.feld(QStringLiteral("la_anzahl"), QStringLiteral("la_anzahl"), Von(82.8, 96.8, y), Maske::Zahl,
                                 std::nullopt, Qt::AlignRight);
    bez->setFluss(Textfluss::Abschneiden);
    bez->setNachbarn(nr, menge);
    b.feld(QStringLiteral("einheit"), QStringLiteral("einheit"), Von(98.9, xMwSt - 0.5, y), Maske::Text);
    b.feld(QStringLiteral("artikel_Mwst"), QStringLiteral("artikel_Mwst"), QRectF(xMwSt, y, 9.3, 0), Maske::Prozent,
           std::nullopt, Qt::AlignRight);
    b.feld(QStringLiteral("la_preis"), QStringLiteral("la_preis"), QRectF(xPreis, y, 27.8, 0), Maske::Waehrung,
           std::nullopt, Qt::AlignRight);
    b.feld(QStringLiteral("Nettopreis"), QStringLiteral("Nettopreis"), Von(153.9, 181.7, y), Maske::Waehrung,
           std::nullopt, Qt::AlignRight);
}

void Geschaeftsdokument::Summen()
{
    report::Band& b = QRGroup1->fuss;
    QRBand2 = &b;
    b.setName(QStringLiteral("QRBand2"));
    b.setHoehe(m_art == Art::Lieferschein ? 28.3 : m_art == Art::Rechnung ? 27.5 : 38.1);
    b.setRahmenOben(Strich::Doppelt);

    const bool mahnung = m_art == Art::Mahnung;
    const double yNetto = mahnung ? 4.5 : 4.8;
    const double yMwStText = mahnung ? 10.8 : 11.1;
    const double yMwSt = mahnung ? 10.3 : 10.6;
    const double yBrutto = 19.1;

    b.label(QStringLiteral("LabelNettoText"), QStringLiteral("Netto"), QRectF(134.9, yNetto, 0, 0), Schrift(10));
    LabelNetto = b.label(QStringLiteral("LabelNetto"), QString(), Von(153.9, 181.7, yNetto), Schrift(12), Qt::AlignRight);
    b.label(QStringLiteral("LabelMwStText"), QStringLiteral("MwSt"), QRectF(134.9, yMwStText, 0, 0), Schrift(10));
    LabelMwSt = b.label(QStringLiteral("LabelMwSt"), QString(), Von(153.9, 181.7, yMwSt), Schrift(12), Qt::AlignRight);
    b.linie(QStringLiteral("LinieSumme"), 153.9, 16.1, 32.0, Strich::Doppelt);
    b.label(QStringLiteral("LabelBruttoText"), QStringLiteral("Brutto"), QRectF(134.9, yBrutto, 0, 0), Schrift(10, true));
    LabelBrutto =
        b.label(QStringLiteral("LabelBrutto"), QString(), Von(153.9, 181.7, yBrutto), Schrift(12, true), Qt::AlignRight);
    b.linie(QStringLiteral("LinieBrutto1"), 153.9, 24.6, 32.0, Strich::Doppelt);
    b.linie(QStringLiteral("LinieBrutto2"), 153.9, 25.7, 32.0, Strich::Doppelt);

    if (mahnung)
        b.textbox(QStringLiteral("lief_Mahnungstext"), QStringLiteral("lief_Mahnungstext"),
                  QRectF(14.2, 25.4, 112.4, 10.8), Textfluss::Wachsen, Schrift(10));

    b.vorDemDruck = [this](report::Band& band, bool& drucken) { QRBand2BeforePrint(band, drucken); };
}

void Geschaeftsdokument::Schluss()
{
    if (m_art == Art::Mahnung) return;
    report::Band& b = m_bericht.zusammenfassung();
    QRBand3 = &b;
    b.setName(QStringLiteral("QRBand3"));
    const bool lieferschein = m_art == Art::Lieferschein;
    b.setHoehe(lieferschein ? 38.1 : 33.9);
    const double y0 = lieferschein ? 4.2 : 0.0;
    const char* felder[] = {"lief_zahlungsbed", "lief_Bankverbindungen", "lief_Zusatztext"};
    for (int i = 0; i < 3; ++i) {
        const QString feld = QString::fromLatin1(felder[i]);
        b.textbox(feld, feld, QRectF(14.2, y0 + i * 10.6, 104.0, 10.8), Textfluss::Umbrechen, Schrift(10));
    }
}

QString Geschaeftsdokument::PlzOrt(const QString& plz, const QString& ort)
{
    const QString p = plz.trimmed();
    const QString o = ort.trimmed();
    if (p.isEmpty()) return o;
    if (o.isEmpty()) return p;
    return p + QLatin1Char(' ') + o;
}

QString Geschaeftsdokument::Wert(data::Dataset* ds, const QString& feld)
{
    if (!ds || !ds->Active() || ds->RecNo() < 0) return QString();
    const data::Field f = ds->FindField(feld);
    if (!f.gueltig() || f.isNull()) return QString();
    return f.displayText();
}

QString Geschaeftsdokument::Datum(data::Dataset* ds, const QString& feld)
{
    if (!ds || !ds->Active() || ds->RecNo() < 0) return QString();
    const data::Field f = ds->FindField(feld);
    if (!f.gueltig() || f.isNull()) return QString();
    return data::Datumstext(f.asDate());
}

QString Geschaeftsdokument::Nummer()
{
    return Wert(Datenmodul().ADO_Druck_Lief, QStringLiteral("lief_nr"));
}

void Geschaeftsdokument::PageHeaderBand1BeforePrint(report::Band&, bool&)
{
    TDMOrdavo& dm = Datenmodul();
    data::Dataset* st = dm.ADO_Stammdaten;
    // Master data changed since the start are used.
    if (st->Active())
        st->Requery();
    else
        st->Open();
    if (st->RecordCount() > 0) st->First();

    const auto zeile = [&](report::Text* wert, const char* spalte, const char* flag, report::Text* kennung = nullptr) {
        const bool an = Gesetzt(st, QString::fromLatin1(flag));
        wert->setText(Wert(st, QString::fromLatin1(spalte)));
        wert->setEnabled(an);
        if (kennung) kennung->setEnabled(an);
    };
    zeile(labelFirma, "stammd_firma", "stammd_firma_d");
    zeile(LabelName, "stammd_ganzername", "stammd_ganzername_d");
    zeile(LabelAdresse, "stammd_adresse", "stammd_adresse_d");
    LabelStammd_plzort->setEnabled(Gesetzt(st, QStringLiteral("stammd_plz_d")));
    LabelStammd_plzort->setText(PlzOrt(Wert(st, QStringLiteral("stammd_plz")), Wert(st, QStringLiteral("stammd_ort"))));
    zeile(labelTel, "stammd_tel", "stammd_tel_d", LabelT);
    zeile(LabelFax, "stammd_fax", "stammd_fax_d", LabelF);
    zeile(LabelMobil, "stammd_mobil", "stammd_mobil_d", LabelM);
    zeile(LabelEmail, "stammd_email", "stammd_email_d", LabelE);
    zeile(LabelUIDNummer, "stammd_uidnr", "stammd_uidnr_d", LabelUID);
    LabelOrt->setText(Wert(st, QStringLiteral("stammd_ort")).trimmed());

    data::Dataset* lief = dm.ADO_Lieferschein;
    LabelAdr_Firma->setText(Wert(lief, QStringLiteral("adr_firma")));
    LabelAdr_Name->setText(Wert(lief, QStringLiteral("adr_ganzername")));
    LabelAdr_Adresse->setText(Wert(lief, QStringLiteral("adr_adresse")));
    LabelAdr_PlzOrt->setText(PlzOrt(Wert(lief, QStringLiteral("adr_plz")), Wert(lief, QStringLiteral("adr_ort"))));
    LabelDatum->setText(Datum(lief, QStringLiteral("lief_datum")));
    LabelNummer->setText(Nummer());
}

void Geschaeftsdokument::QRBand2BeforePrint(report::Band&, bool&)
{
    TDMOrdavo& dm = Datenmodul();
    const data::Dataset* druck = dm.ADO_Druck_Lief;
    const qint64 id = const_cast<data::Dataset*>(druck)->FieldByName(QStringLiteral("la_lieferschein_id")).asInteger();
    double netto = 0, steuer = 0;
    dm.LieferscheinSummen(int(id), netto, steuer);
    LabelNetto->setText(data::Waehrung(netto));
    LabelMwSt->setText(data::Waehrung(steuer));
    // The gross amount is the sum of the unrounded amounts.
    LabelBrutto->setText(data::Waehrung(netto + steuer));
}

void Geschaeftsdokument::Vorbereiten()
{
    TDMOrdavo& dm = Datenmodul();
    m_bericht.setDataset(dm.ADO_Druck_Lief);
    QString titel = LabelTitel->text();
    const QString nr = Nummer();
    if (!nr.isEmpty()) titel += QStringLiteral(" Nr. ") + nr;
    m_bericht.setTitel(titel);
}

report::Seiten Geschaeftsdokument::Layout()
{
    Vorbereiten();
    return m_bericht.Layout();
}

void Geschaeftsdokument::Preview()
{
    Vorbereiten();
    report::Vorschau(m_bericht);
}

}  // namespace print
