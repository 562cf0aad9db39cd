// The notification-area icon as the shell's icon record and call give it,
// over QSystemTrayIcon: clicks and balloon clicks reach the owner window as
// its callback message with the shell's mouse-message numbers. Balloons go
// through the notification service where one runs.
#pragma once

#include "platform/base/Win32.h"

#include <QIcon>
#include <QString>

class CWnd;

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;
constexpr UINT NIF_INFO = 0x10;
constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;
constexpr LPARAM NIN_BALLOONUSERCLICK = WM_USER + 5;

// The record's text fields hold at most these many characters.
constexpr int NID_TIP_CHARS = 127;
constexpr int NID_INFO_TITLE_CHARS = 63;
constexpr int NID_INFO_CHARS = 255;

struct NOTIFYICONDATAW {
    DWORD cbSize = 0;
    CWnd* hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    QIcon hIcon;
    QString szTip;
    QString szInfo;
    UINT uTimeout = 0;
    QString szInfoTitle;
    DWORD dwInfoFlags = NIIF_NONE;
};

// Copies text into a record field of nMax characters: longer texts are cut,
// never in the middle of a character.
void CopyToField(QString& field, const QString& text, int nMax);

// Adds, changes or removes the icon named by hWnd and uID; FALSE when the
// icon is not there to change (or already there to add) or no desktop runs.
BOOL Shell_NotifyIconW(DWORD dwMessage, const NOTIFYICONDATAW* pnid);

// Whether a notification-area host runs now. Icons added without one
// appear when a host starts.
BOOL bNotifyAreaPresent();
