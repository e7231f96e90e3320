#pragma once
// German for the parts of Qt a user sees (file dialogs, standard buttons),
// whatever language the system is set to: the program's own texts are German.
class QCoreApplication;

namespace platform {

// Qt takes the formats of its file dialogs (dates with month names, sizes)
// from the environment, not from the program's default locale. Where the
// environment names no language at all (unset, "C", "POSIX", "C.UTF-8"),
// German is named instead. Call before the application object is made.
void DeutschOhneSystemsprache();

// Loads and installs Qt's own German translations (qtbase_de.qm); false when
// they are not installed.
bool QtAufDeutsch(QCoreApplication& anwendung);

}  // namespace platform
