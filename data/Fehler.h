#pragma once
#include <QString>
#include <stdexcept>

namespace data {

// An error of the data layer: the database's message, or a German text for
// input the program refuses. It reaches the error handler.
class Fehler : public std::runtime_error {
public:
    explicit Fehler(const QString& text, const QString& doppelt = QString());
    const QString& text() const { return m_text; }
    // For a value that is taken already: "tabelle.spalte" in lower case.
    const QString& doppelt() const { return m_doppelt; }

private:
    QString m_text;
    QString m_doppelt;
};

}  // namespace data
