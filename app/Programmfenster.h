#pragma once
// The program's own windows (main window, info): created once at start (FensterErzeugen, in their
// fixed order) and reached by the others through Programm().
class TOrdavo;
class TAboutBox;

struct Programmfenster {
    TOrdavo* Ordavo = nullptr;
    TAboutBox* AboutBox = nullptr;
};

Programmfenster& Programm();
