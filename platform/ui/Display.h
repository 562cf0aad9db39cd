// The display the windows are shown on, as the toolkit sees it.
#pragma once

constexpr int LOGPIXELSY = 90;

// GetDeviceCaps on an information context for "DISPLAY": LOGPIXELSY, the
// vertical pixels per logical inch (96 without a screen); 0 for any other index.
int GetDisplayDeviceCaps(int nIndex);
// Device pixels per logical pixel of the primary screen (QT_SCALE_FACTOR
// and the like); 1 without a screen.
double DisplayPixelRatio();
