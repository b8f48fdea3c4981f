#pragma once
// What a user must find on any screen, at any scale: the whole window and
// every control inside the work area, every text whole, every column title
// in full. Shared by the window tests on Linux and under Wine.
#include "app/search_device_dlg.h"

namespace vimbrel::test {

// The display's work area of the window.
wxRect WorkArea(const wxWindow& window);

// Adds a failure for every shown control of `dialog` outside its client
// part or the work area, overlapping another, or too small for its text.
void ExpectControlsReadInFull(wxWindow& dialog);

// The same for the main window, and a failure for every column narrower
// than its title.
void ExpectEveryControlReadsInFull(CSearchDeviceDlg& window);

// The address and model dialogs, shown over `parent` as the operations show
// them, each checked with ExpectControlsReadInFull.
void ExpectSmallDialogsReadInFull(wxWindow* parent);

// Adds a failure unless the list reaches the window's client edges but for
// the margins and its columns fill it.
void ExpectListFillsTheWindow(CSearchDeviceDlg& window);

// Handles events until the list has followed the window's size (its right
// and bottom edges at the margins), for at most 3 s; whether it did.
bool PumpUntilListFollows(CSearchDeviceDlg& window);

}  // namespace vimbrel::test
