#include "data/Fehler.h"

namespace data {

Fehler::Fehler(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}

}  // namespace data
