#pragma once
// The period selection shared by the four statistics windows: a year field
// with spinner, two month calendars and the buttons "Jahr anzeigen",
// "anzeigen" and "Alle anzeigen". Each window's form holds the controls (by
// their names); the window says what a chosen period evaluates.
#include "ui/Formular.h"

#include <QDate>

class QCalendarWidget;
class QLineEdit;
class QPushButton;

namespace stats {

class UpDown;

class Zeitraumfenster : public ui::Formular {
    Q_OBJECT
public:
    enum class Zuruecksetzen { BeimZeigen, BeimAktivieren };
    struct Art {
        bool modal = false;           // BitBtn2 closes with Abbrechen instead of plainly
        bool kalenderregel = true;    // keep the start day not after the end day
        Zuruecksetzen zuruecksetzen = Zuruecksetzen::BeimZeigen;
    };

    explicit Zeitraumfenster(QWidget* parent = nullptr);

    // The year of EditJahr; throws data::Fehler with the program's messages
    // when it is no whole number or no year from 1 to 9999.
    int Jahr() const;

    // The button handlers.
    void BitBtn3Click();              // "Jahr anzeigen"
    void SchalterDatumClick();        // "anzeigen"
    void SchalteralleAnzeigenClick(); // "Alle anzeigen"
    void BitBtn2Click();              // "Schließen" / "Abbrechen"
    void MonthCalendar1Click();
    void MonthCalendar2Click();

protected:
    // Call after setupUi: finds the controls and connects them.
    void Einrichten(const Art& art);

    // Evaluates the period; `ZeitraumZeigen` says whether the report prints it.
    virtual void Auswerten(bool ZeitraumZeigen, const QDate& von, const QDate& bis) = 0;

    void FormShow() override;
    void FormActivate() override;
    bool FormKeyDown(QKeyEvent* ereignis) override;

    // Current year in the year field, today in both calendars.
    void Grundstellung();

    QLineEdit* EditJahr = nullptr;
    UpDown* UpDown1 = nullptr;
    QCalendarWidget* MonthCalendar1 = nullptr;
    QCalendarWidget* MonthCalendar2 = nullptr;

private:
    void Zentrieren();
    void NachDerAuswertung();
    Art m_art;
};

}  // namespace stats
