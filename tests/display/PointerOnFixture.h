// The start shared by the overlay tests: a picture in the install folder's
// pointer/ named by the option file, a background window over the screen, the
// program started, and F8 pressed with the cursor at a chosen place.
#pragma once

#include "DisplayFixture.h"
#include "TestPicture.h"

#include <string>

struct PointerStart {
    std::string strName = "ring.png";  // file name in pointer/
    int nOpacity = 100;
    bool bHidden = true;  // /m, so that the dialog covers nothing
};

class CPointerOnFixture : public CDisplayFixture {
protected:
    static constexpr uint32_t kBackground = 0x0000FF;  // blue, below everything
    static constexpr uint32_t kRed = 0xFFFF0000;       // opaque red, straight ARGB

    DisplaySetup Setup() const override { return {.bShippedPointers = false}; }

    // Writes the picture and the option file, lays the background, starts
    // the program and leaves the focus on the background.
    void vStart(const CTestPicture& picture, const PointerStart& start = {});
    // Puts the cursor at (cx, cy), presses F8 and waits for the overlay.
    void vSwitchOnAt(int cx, int cy);
    // Waits until the overlay has this geometry; says where it is otherwise.
    bool bOverlayAt(const TestRect& want);
    // Asks the running program to end and waits for both ends.
    void vExitInOrder();

    Window background = None;
    Window overlay = None;
    CChildProcess* program = nullptr;
};
