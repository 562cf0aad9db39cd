// The program's side of the talk with its GNOME Shell extension over the
// session bus: the picture, the pointer position, the hotkey, the top-bar
// icon with its menu, and the shell's notifications. UI thread only.
#pragma once

#include "platform/base/Win32.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class CGnomeShellLink : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kUuid = "lumicue@lumicue.example";

    CGnomeShellLink();
    ~CGnomeShellLink() override;

    // TRUE when the extension runs in the shell and speaks our interface.
    BOOL bPresent();

    // Picture: raw premultiplied BGRA rows in a file the extension reads
    // during the call; the hot spot goes under the pointer.
    BOOL bShow(const QString& strPicture, int nWidth, int nHeight, int nStride, int nHotX, int nHotY,
               std::uint8_t nOpacity);
    void vHide();
    BOOL bPointer(int& x, int& y);
    // An accelerator in the shell's form ("<Control>F8"); empty releases it.
    BOOL bSetHotKey(const QString& strAccelerator);

    struct SMenuItem {
        UINT nId = 0; // 0: separator
        QString strText;
        BOOL bChecked = FALSE;
    };
    void vSetIndicator(BOOL bShown, const QString& strTip);
    void vShowMenu(const std::vector<SMenuItem>& items);
    void vNotify(const QString& strTitle, const QString& strText);

    // Called on the UI thread when the extension reports them.
    std::function<void()> onHotKey;
    std::function<void()> onIndicator;
    std::function<void(UINT)> onMenuCommand;

private slots:
    void vOnHotKeyPressed();
    void vOnIndicatorActivated();
    void vOnMenuCommand(uint nId);

private:
    QDBusConnection bus;
    QString strCheckedOwner; // the extension's bus name whose version matched
};
