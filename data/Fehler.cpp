#include "data/Fehler.h"

namespace data {

Fehler::Fehler(const QString& text, const QString& doppelt)
    : std::runtime_error(text.toStdString()), m_text(text), m_doppelt(doppelt.toLower())
{
}

}  // namespace data
