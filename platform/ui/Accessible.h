// What a screen reader is told about a control whose widget cannot say it
// itself: its role (a link, a picture) and a description. The name is the
// control's text without its mnemonic marks.
#pragma once

#include <QString>

class CWnd;

enum class AccessibleRole { Link, Image };

void vSetAccessibleRole(CWnd* pWnd, AccessibleRole role, const QString& description = QString());
