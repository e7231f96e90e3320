#pragma once
// Where the programs and their files lie.
#include <QString>

namespace platform {

// The folder of the running program, with a trailing separator.
QString Programmordner();
// Tests give each run a program folder of its own; empty restores the real one.
void SetzeProgrammordner(const QString& ordner);

// `name` in `ordner`: an existing entry whose name differs only in case is
// preferred (the settings file came from Windows, where case does not count),
// otherwise `ordner` plus `name` as given.
QString DateiImOrdner(const QString& ordner, const QString& name);

// The settings file of a program: its file path with the extension replaced
// by ".ini". The main program's file is `ordavo`; its settings file is
// Ordavo.ini, the one the backup tool opens by name.
QString Einstellungsdatei(const QString& programmdatei);

// Ordavo.ini in the program folder, shared by both programs.
QString OrdavoIni();

// The database server both programs work on instead of ordavo_tab.mdb: the
// libpq connection string of key "Server" in section "Datenbank" of
// Ordavo.ini; empty when none is set (the file is used).
QString Datenbankserver();

// A program's file name with the platform's executable suffix
// ("datensicherung" here, "datensicherung.exe" on Windows).
QString Programmname(const QString& basisname);

}  // namespace platform
