// The start shared by the overlay tests: a picture in the install folder's
// pointer/ named by the option file, a background window over the screen, the
// program started, and F8 pressed with the cursor at a chosen place.
#pragma once

#include "DisplayFixture.h"
#include "OptionRecord.h"
#include "TestPicture.h"

#include <functional>
#include <string>

struct PointerStart {
    std::string strName = "ring.png";  // file name in pointer/
    int nOpacity = 100;
    bool bHidden = true;  // /m, so that the dialog covers nothing
    OptionHotKey hotKey = {};  // F8 alone
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

    // Waits until every screen pixel of rc passes the check.
    bool bScreenMatches(const TestRect& rc, const std::function<bool(uint32_t)>& check);
    // Whether the overlay has a bounding shape.
    bool bBoundingShaped();
    // Pixels where the overlay's bounding shape differs from "alpha >= 128"
    // of the picture, as text; empty when they match pixel for pixel.
    std::string strShapeMismatch(const CTestPicture& picture);
    // Each channel of a 0xRRGGBB pixel within tolerance of (r, g, b).
    static bool bNear(uint32_t rgb, int r, int g, int b, int tolerance);

    Window background = None;
    Window overlay = None;
    CChildProcess* program = nullptr;
};
