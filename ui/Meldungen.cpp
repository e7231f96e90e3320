#include "ui/Meldungen.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {
QWidget* Elternfenster(QWidget* parent)
{
    if (parent) return parent;
    return QApplication::activeWindow();
}

QString Titel()
{
    const QString t = QApplication::applicationDisplayName();
    return t.isEmpty() ? QApplication::applicationName() : t;
}
}  // namespace

bool Bestaetigen(const QString& text, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warnung"), text, QMessageBox::NoButton,
                    Elternfenster(parent));
    box.setObjectName(QStringLiteral("Bestaetigung"));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* abbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    ok->setObjectName(QStringLiteral("OK"));
    abbrechen->setObjectName(QStringLiteral("Abbrechen"));
    box.setDefaultButton(ok);
    box.setEscapeButton(abbrechen);
    box.exec();
    return box.clickedButton() == ok;
}

// A box with one "OK" button (notices and errors).
static void EinKnopf(QMessageBox::Icon symbol, const char* name, const QString& text, QWidget* parent)
{
    QMessageBox box(symbol, Titel(), text, QMessageBox::NoButton, Elternfenster(parent));
    box.setObjectName(QLatin1String(name));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void Hinweis(const QString& text, QWidget* parent) { EinKnopf(QMessageBox::NoIcon, "Hinweis", text, parent); }

void Fehlermeldung(const QString& text, QWidget* parent) { EinKnopf(QMessageBox::Critical, "Fehler", text, parent); }

}  // namespace ui
