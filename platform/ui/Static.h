// A static control: text, icon or owner-drawn area of a dialog.
#pragma once

#include "platform/ui/Wnd.h"

class CStatic : public CWnd {
};
