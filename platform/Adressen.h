#pragma once
// Web and mail addresses.
#include <QString>

namespace platform {

// Opens `adresse` ("https://…", "mailto:…", or "www.…" without scheme) with
// the user's browser or mail program. Failures are not reported.
void AdresseOeffnen(const QString& adresse);

}  // namespace platform
