// Modal message boxes with the platform's texts and icons.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CWnd;

int MessageBoxW(CWnd* pOwner, const QString& text, const QString& caption, UINT uType);
int AfxMessageBox(const QString& text, UINT nType = MB_OK);

// Tests put a recorder here so no modal box blocks them; null restores the
// real boxes.
using MessageBoxHook = int (*)(CWnd* pOwner, const QString& text, const QString& caption, UINT uType);
void SetMessageBoxHook(MessageBoxHook hook);
