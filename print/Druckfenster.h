#pragma once
// The printouts: created once at start (FensterErzeugen, in their
// fixed order) and reached by the others through Druck().
class TRepLieferschein;
class TRepRechnung;
class TRepMahnung;

struct Druckfenster {
    TRepLieferschein* RepLieferschein = nullptr;
    TRepRechnung* RepRechnung = nullptr;
    TRepMahnung* RepMahnung = nullptr;
};

Druckfenster& Druck();

namespace print {

// Creates the windows of this folder; the data module exists already.
void FensterErzeugen();

}  // namespace print
