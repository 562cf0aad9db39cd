// Toolkit events as window messages: paint on a surface, mouse with capture,
// cursor, keys through PreTranslateMessage, colour requests, owner drawing,
// notifications and subclassing of template controls.
#include "platform/base/KeyNames.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/Static.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent e(type, p, w->mapToGlobal(p), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A window of its own that paints a red square and records where it was pressed.
class CCanvas : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_PAINT: {
            CPaintDC dc(this);
            dc.FillSolidRect(2, 2, 4, 4, RGB(255, 0, 0));
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetCapture();
            ptDown = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    POINT ptDown;
};

// The hint label of the main template, taken over by a class of its own.
class CRecordingStatic : public CStatic {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == OCM_CTLCOLORSTATIC) {
            reinterpret_cast<CDC*>(wParam)->SetTextColor(RGB(0, 0, 255));
            return reinterpret_cast<LRESULT>(GetStockBrush(NULL_BRUSH));
        }
        if (message == OCM_NOTIFY)
            lastNotify = reinterpret_cast<NMHDR*>(lParam)->code;
        return CStatic::WindowProc(message, wParam, lParam);
    }
    void PreSubclassWindow() override { ++nPreSubclass; }
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        drawnId = dis->CtlID;
        dis->hDC->FillSolidRect(&dis->rcItem, RGB(0, 128, 0));
    }
    int nPreSubclass = 0;
    UINT lastNotify = 0;
    UINT drawnId = 0;
};

class CBoundDialog : public CDialog {
public:
    CBoundDialog() : CDialog(317) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1239, subtitle); }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        keys.push_back(static_cast<UINT>(pMsg->wParam));
        return pMsg->wParam == VK_ESCAPE; // eaten: OnCancel never runs
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETCURSOR && reinterpret_cast<CWnd*>(wParam)->GetDlgCtrlID() == 1239) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void OnCancel() override { ++nCancel; }
    CRecordingStatic subtitle;
    std::vector<UINT> keys;
    int nCancel = 0;
};

} // namespace

TEST(WindowMessages, OwnWindowPaintsItsSurfaceAndHoldsTheCapture)
{
    CCanvas canvas;
    ASSERT_TRUE(canvas.CreateEx(0, "Canvas", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    const QImage shot = canvas.GetSafeWidget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(3, 3), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(8, 8), QApplication::palette().color(QPalette::Button));

    canvas.ShowWindow(SW_SHOW);
    SendMouse(canvas.GetSafeWidget(), QEvent::MouseButtonPress, QPoint(4, 7));
    EXPECT_EQ(canvas.ptDown.x, 4);
    EXPECT_EQ(canvas.ptDown.y, 7);
    EXPECT_EQ(CWnd::GetCapture(), &canvas);
    SendMouse(canvas.GetSafeWidget(), QEvent::MouseButtonRelease, QPoint(40, 70));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST(WindowMessages, TemplateControlsTakeTheirClassColoursCursorAndKeys)
{
    CBoundDialog dlg;
    ASSERT_TRUE(dlg.Create(317));
    // Subclassed once: the dialog finds the member under the id.
    EXPECT_EQ(dlg.GetDlgItem(1239), &dlg.subtitle);
    EXPECT_EQ(dlg.subtitle.nPreSubclass, 1);
    EXPECT_EQ(dlg.subtitle.GetClassName(), "Static");
    EXPECT_EQ(dlg.EnumChildWindows().size(), 8u);

    // The reflected colour request decides the label's text colour and background.
    auto* label = static_cast<QLabel*>(dlg.subtitle.GetSafeWidget());
    label->grab();
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_FALSE(label->autoFillBackground());

    // The parent answers WM_SETCURSOR first.
    dlg.ShowWindow(SW_SHOW);
    SendMouse(label, QEvent::MouseMove, QPoint(2, 2));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);

    // Notifications reach the parent and are reflected to the control.
    dlg.subtitle.NotifyParent(NM_RELEASEDCAPTURE);
    EXPECT_EQ(dlg.subtitle.lastNotify, NM_RELEASEDCAPTURE);

    // Owner-drawn: the paint becomes WM_DRAWITEM, reflected to DrawItem.
    dlg.subtitle.ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
    const QImage shot = label->grab().toImage();
    EXPECT_EQ(dlg.subtitle.drawnId, 1239u);
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(0, 128, 0));

    // Keys climb PreTranslateMessage with virtual-key codes; a consumed key goes no further.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.GetSafeWidget(), &esc);
    QKeyEvent f8(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.GetSafeWidget(), &f8);
    EXPECT_EQ(dlg.keys, (std::vector<UINT>{VK_ESCAPE, VK_F8}));
    EXPECT_EQ(dlg.nCancel, 0);
}
