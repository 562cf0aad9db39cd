// Test access to the record-and-replay stand-ins of the overlay window, the
// input devices and the cursor: what was asked of them, and records to feed.
#pragma once

#include "platform/InputDevice.h"
#include "platform/LayeredWindow.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace NullOverlay {

struct LayeredLog {
    int nCreates = 0;
    int nDestroys = 0;
    int nUpdates = 0;
    int nWidth = 0;           // of the last picture
    int nHeight = 0;
    std::uint8_t nAlpha = 0;  // constant alpha of the last update
    std::uint32_t nTopLeft = 0; // its first pixel, alpha folded in
    BOOL bShown = FALSE;
    BOOL bKeptOnTop = FALSE;
    std::pair<int, int> hotSpot{0, 0};
    std::vector<BOOL> shows;
    std::vector<std::pair<int, int>> moves; // platform moves actually made
};

LayeredLog Log(const CLayeredWindow& wnd);
void vClearLog(const CLayeredWindow& wnd);
// The next bCreate of any layered window fails while set.
void vFailLayeredCreate(bool bFail);

void vSetCursor(int x, int y);

// Device creation of a kind fails while set.
void vFailDeviceCreate(CInputDevice::Kind kind, bool bFail);
int nDevicesCreated(CInputDevice::Kind kind);
int nLiveDevices(CInputDevice::Kind kind);
int nThreadsBound(CInputDevice::Kind kind);
// Buffers a record on the newest live device of the kind and wakes its
// reader; FALSE when there is none or it is not acquired.
BOOL bFeed(CInputDevice::Kind kind, const DIDEVICEOBJECTDATA& record);
// Waits (up to nMillis) until the reader took every fed record.
BOOL bWaitDrained(CInputDevice::Kind kind, int nMillis);

} // namespace NullOverlay
