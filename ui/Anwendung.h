#pragma once
// The data module every window works through. The windows themselves are
// kept by the folder that defines them, each in a small registry of its own
// (masterdata/Stammdatenfenster.h, delivery/Lieferfenster.h, …), so that no
// folder names a window of a folder above it; the program composes them.
class TDMOrdavo;

struct Anwendung {
    TDMOrdavo* DMOrdavo = nullptr;
};

// The program's instance; lives from start-up to the end of the process.
Anwendung& App();
