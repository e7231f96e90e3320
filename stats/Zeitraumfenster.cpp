#include "stats/Zeitraumfenster.h"

#include "data/Fehler.h"
#include "stats/UpDown.h"
#include "ui/Fehler.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextCharFormat>
#include <limits>

namespace stats {

namespace {

template <typename T>
T* Suche(QObject* in, const char* name)
{
    T* w = in->findChild<T*>(QLatin1String(name));
    if (!w) qFatal("%s: Steuerelement %s fehlt", qPrintable(in->objectName()), name);
    return w;
}

}  // namespace

Zeitraumfenster::Zeitraumfenster(QWidget* parent) : ui::Formular(parent) {}

void Zeitraumfenster::Einrichten(const Art& art)
{
    m_art = art;
    EditJahr = Suche<QLineEdit>(this, "EditJahr");
    UpDown1 = Suche<UpDown>(this, "UpDown1");
    MonthCalendar1 = Suche<QCalendarWidget>(this, "MonthCalendar1");
    MonthCalendar2 = Suche<QCalendarWidget>(this, "MonthCalendar2");

    UpDown1->setBuddy(EditJahr);
    UpDown1->setMinimum(0);
    UpDown1->setMaximum(9000);
    UpDown1->setIncrement(1);

    for (QCalendarWidget* k : {MonthCalendar1, MonthCalendar2}) {
        // Today is not marked: the selected day is what counts.
        k->setDateTextFormat(QDate::currentDate(), QTextCharFormat());
        k->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    }

    ui::Verbinde(Suche<QPushButton>(this, "BitBtn3"), &QPushButton::clicked, this, &Zeitraumfenster::BitBtn3Click);
    ui::Verbinde(Suche<QPushButton>(this, "SchalterDatum"), &QPushButton::clicked, this,
                 &Zeitraumfenster::SchalterDatumClick);
    ui::Verbinde(Suche<QPushButton>(this, "SchalteralleAnzeigen"), &QPushButton::clicked, this,
                 &Zeitraumfenster::SchalteralleAnzeigenClick);
    QPushButton* schliessen = Suche<QPushButton>(this, "BitBtn2");
    if (m_art.modal) SetzeModalErgebnis(schliessen, false);
    else ui::Verbinde(schliessen, &QPushButton::clicked, this, &Zeitraumfenster::BitBtn2Click);
    if (m_art.kalenderregel) {
        // Also keyboard moves in a calendar keep von <= bis for "anzeigen".
        ui::Verbinde(MonthCalendar1, &QCalendarWidget::selectionChanged, this, &Zeitraumfenster::MonthCalendar1Click);
        ui::Verbinde(MonthCalendar2, &QCalendarWidget::selectionChanged, this, &Zeitraumfenster::MonthCalendar2Click);
    }
    setKeyPreview(true);
}

void Zeitraumfenster::Grundstellung()
{
    const QDate heute = QDate::currentDate();
    UpDown1->setPosition(heute.year());
    MonthCalendar1->setSelectedDate(heute);
    MonthCalendar2->setSelectedDate(heute);
}

void Zeitraumfenster::Zentrieren() { AufHauptfensterZentrieren(); }

void Zeitraumfenster::FormShow()
{
    Zentrieren();
    if (m_art.zuruecksetzen == Zuruecksetzen::BeimZeigen) Grundstellung();
}

void Zeitraumfenster::FormActivate()
{
    if (m_art.zuruecksetzen == Zuruecksetzen::BeimAktivieren) Grundstellung();
}

bool Zeitraumfenster::FormKeyDown(QKeyEvent* ereignis)
{
    if ((ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter) && EditJahr->hasFocus()) {
        ui::Geschuetzt([this] { BitBtn3Click(); });
        return true;
    }
    return false;
}

int Zeitraumfenster::Jahr() const
{
    const QString text = EditJahr->text();
    static const QRegularExpression ganz(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    bool ok = false;
    qint64 jahr = 0;
    if (ganz.match(text).hasMatch()) jahr = text.trimmed().toLongLong(&ok);
    if (!ok || jahr < std::numeric_limits<qint32>::min() || jahr > std::numeric_limits<qint32>::max())
        throw data::Fehler(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    if (jahr < 1 || jahr > 9999) throw data::Fehler(QStringLiteral("Ungültiges Argument zum Codieren des Datums"));
    return int(jahr);
}

void Zeitraumfenster::BitBtn3Click()
{
    const int j = Jahr();
    Auswerten(true, QDate(j, 1, 1), QDate(j, 12, 31));
    NachDerAuswertung();
}

void Zeitraumfenster::SchalterDatumClick()
{
    Auswerten(true, MonthCalendar1->selectedDate(), MonthCalendar2->selectedDate());
    NachDerAuswertung();
}

void Zeitraumfenster::SchalteralleAnzeigenClick()
{
    Auswerten(false, QDate(1000, 1, 1), QDate(9999, 12, 31));
    NachDerAuswertung();
}

void Zeitraumfenster::NachDerAuswertung()
{
    // The window becomes active again when the preview closes; not every
    // window system says so, so start over here as well.
    if (m_art.zuruecksetzen == Zuruecksetzen::BeimAktivieren) Grundstellung();
}

void Zeitraumfenster::BitBtn2Click() { close(); }

void Zeitraumfenster::MonthCalendar1Click()
{
    if (MonthCalendar2->selectedDate() < MonthCalendar1->selectedDate())
        MonthCalendar2->setSelectedDate(MonthCalendar1->selectedDate());
}

void Zeitraumfenster::MonthCalendar2Click()
{
    if (MonthCalendar2->selectedDate() < MonthCalendar1->selectedDate())
        MonthCalendar1->setSelectedDate(MonthCalendar2->selectedDate());
}

}  // namespace stats
