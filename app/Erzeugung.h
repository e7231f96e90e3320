#pragma once
// Creates the main window, every other window, the reports and the data
// module once, in the fixed order, and destroys them at the end.
namespace app {

// Throws data::Fehler when the data module cannot connect or open its
// datasets; what was created so far stays (AlleZerstoeren removes it).
void AlleErzeugen();
void AlleZerstoeren();

}  // namespace app
