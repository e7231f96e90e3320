#pragma once
// The data module: the one connection, every shared dataset and data source,
// and the small operations for next numbers, note totals and default texts.
#include <QObject>
#include <QString>

namespace data {
class Verbindung;
class Dataset;
class DataSource;
}  // namespace data

class TDMOrdavo : public QObject {
    Q_OBJECT
public:
    // Connects to ordavo_tab.mdb in the current directory and opens the
    // datasets used from the start. Throws data::Fehler with the engine's
    // message when that fails.
    explicit TDMOrdavo(QObject* parent = nullptr);
    ~TDMOrdavo() override;

    data::Verbindung* ADO_ordavo;
    data::Dataset* ADO_t_adressen;
    data::DataSource* Data_t_adressen;
    data::Dataset* ADOQuery;
    data::DataSource* Data_artikel;
    data::Dataset* ADO_artikel;
    data::Dataset* ADO_t_Einheit;
    data::DataSource* Data_t_Einheit;
    data::Dataset* ADO_t_Kategorie;
    data::DataSource* Data_t_Kategorie;
    data::Dataset* ADO_Lieferschein;
    data::DataSource* Data_Lieferschein;
    data::Dataset* ADO_Lieferschein_Artikel;
    data::DataSource* Data_Lieferschein_Artikel;
    data::Dataset* ADO_Druck_Lief;
    data::DataSource* Data_Druck_Lief;
    data::Dataset* ADO_suchen_Lieferschein;
    data::DataSource* Data_suchen_Lieferschein;
    data::DataSource* Data_suchen_Adressen;
    data::Dataset* ADO_suchen_Adressen;
    data::DataSource* Data_Stammdaten;
    data::Dataset* ADO_Stammdaten;
    data::Dataset* ADO_Nochnichtbezahlt;
    data::DataSource* Data_Nochnichtbezahlt;
    data::Dataset* ADO_Auswertung_Artikel;
    data::DataSource* Data_Auswertung_Artikel;
    data::Dataset* ADO_Auswertung_Adressen;
    data::DataSource* Data_Auswertung_Adressen;
    data::Dataset* ADO_Auswertung_alle_Adressen;
    data::DataSource* Data_Auswertung_alle_Adressen;
    data::DataSource* Data_PLU;
    data::Dataset* ADO_PLU;
    data::Dataset* Table_PLU;
    data::DataSource* DataTablePlu;
    data::Dataset* ADO_Auswertung_Artikel_summen;
    data::Dataset* ADO_Auswertung_ArtikelKategorie_summen;

    // Highest `id` of the table plus 1; 1 on an empty or unknown table.
    int NaechsteID(const QString& tabelle);
    int NaechsteLiefNr();
    int NaechsteArtikelNr();
    // Net and tax total of a delivery note; 0 and 0 when it has no items.
    void LieferscheinSummen(int lieferscheinId, double& netto, double& steuer);
    QString LeseZahlungsbedingungen();
    QString LeseMahnungstext();
    QString LeseBankverbindungen();
    QString LeseZusatztext();

    // The SQL of the catalogue, as the datasets run it.
    static QString SqlVon(const QString& dataset);

private:
    int NaechsteNummer(const QString& tabelle, const QString& spalte);
    QString LeseText(const QString& sql, const QString& ersatz);
};
