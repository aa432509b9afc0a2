#pragma once

#include <windows.h>

namespace qm::win {

// COM comes from the system folder the first time something needs it: the program spends most
// of its life idle in the tray, where it needs none, and a process that has initialised COM
// keeps the apartment's libraries and threads for good.

// Initialises COM, apartment-threaded, for the calling thread the first time that thread asks,
// and keeps it until the process ends. Every call into the shell that may use COM (opening a
// file, folder or address, shortcuts, mail) asks first. False when COM cannot be had; the
// caller goes on, as the shell copes without an apartment where it can.
bool EnsureComApartment();

// CoCreateInstance of an in-process server, in the calling thread's apartment (made first).
HRESULT CreateInProcessInstance(REFCLSID clsid, REFIID iid, void** object);

}  // namespace qm::win
