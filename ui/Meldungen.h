#pragma once
// The program's two kinds of message box. Confirmations are warning boxes
// captioned "Warnung" with "OK" and "Abbrechen"; notices are plain boxes with "OK".
class QString;
class QWidget;

namespace ui {

// Asks `text`; true only when the user chose "OK".
bool Bestaetigen(const QString& text, QWidget* parent = nullptr);

// Shows `text` in a plain box with "OK".
void Hinweis(const QString& text, QWidget* parent = nullptr);

// Shows an error text (used by the error handler).
void Fehlermeldung(const QString& text, QWidget* parent = nullptr);

}  // namespace ui
