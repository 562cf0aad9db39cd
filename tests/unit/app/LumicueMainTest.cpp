// The main window as the hub: start-up wiring, the pointer switch, what
// hiding and closing save, and the close sequence's order.
#include "app/LumicueMain.h"

#include "app/LumicueApp.h"

#include "lang/Language.h"
#include "platform/base/VirtualKeys.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"
#include "platform/null/NullHotKeys.h"
#include "platform/null/NullOverlay.h"
#include "settings/CoreAssist.h"
#include "unit/PictureWait.h"
#include "TestPng.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::vector<QString> g_boxes;

int RecordBox(CWnd*, const QString& text, const QString&, UINT)
{
    g_boxes.push_back(text);
    return IDOK;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        g_boxes.clear();
        SetMessageBoxHook(RecordBox);
        CNullHotKeys::vReset();
        vResetLanguage();
        core = GetCoreAssist();
        core->strDataDir = dir.path();
        core->option.vSetDefaults();
        QFile::remove(OptionFile());
    }
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        NullOverlay::vFailDeviceCreate(CInputDevice::KIND_MOUSE, false);
    }
    QString OptionFile() const { return dir.path() + "/AppOption.data"; }

    QTemporaryDir dir;
    CCoreAssist* core = nullptr;
};

} // namespace

TEST_F(MainWindow, StartsTheMonitorCreatesTheOverlayAndRegistersF8)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_MOUSE), 1);
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_KEYBOARD), 0);
    EXPECT_TRUE(wnd.funPointer.wndPoint.bHasWindow());
    auto held = CNullHotKeys::Held();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].id, 9);
    EXPECT_EQ(held[0].vk, VK_F8);
    EXPECT_FALSE(wnd.HasTimer(IDT_UPDATECHECK)) << "no update check unless the option asks for it";
    EXPECT_FALSE(wnd.bPointerOn.load());
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(MainWindow, UpdateOptionStartsTheOneShotTimer)
{
    core->option.bAutoCheckUpdate = 1;
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    EXPECT_TRUE(wnd.HasTimer(IDT_UPDATECHECK));
    wnd.SendMessage(WM_TIMER, IDT_UPDATECHECK, 0);
    EXPECT_FALSE(wnd.HasTimer(IDT_UPDATECHECK));
}

TEST_F(MainWindow, FailedMonitorShowsOneFatalBoxAndLeavesNoPointer)
{
    NullOverlay::vFailDeviceCreate(CInputDevice::KIND_MOUSE, true);
    CLumicueMain wnd;
    wnd.Create(IDD_LUMICUE_MAIN);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "Fatal Error Occur!");
    EXPECT_FALSE(wnd.funPointer.wndPoint.bHasWindow());
    EXPECT_TRUE(CNullHotKeys::Held().empty());
    EXPECT_TRUE(wnd.IsWindow()) << "the dialog stays";
    wnd.bTogglePointer(); // nothing to show, nothing breaks
    EXPECT_EQ(g_boxes.size(), 1u);
}

TEST_F(MainWindow, HotkeyMenuCommandAndToggleSwitchAlike)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    wnd.SendMessage(WM_HOTKEY, 9, 0);
    EXPECT_TRUE(wnd.bPointerOn.load());
    EXPECT_TRUE(NullOverlay::Log(wnd.funPointer.wndPoint.Layered()).bShown);
    wnd.SendMessage(WM_COMMAND, ID_TOGGLE_POINTER, 0);
    EXPECT_FALSE(wnd.bPointerOn.load());
    EXPECT_FALSE(NullOverlay::Log(wnd.funPointer.wndPoint.Layered()).bShown);
    wnd.SendMessage(WM_HOTKEY, 3, 0); // not ours
    EXPECT_FALSE(wnd.bPointerOn.load());
    EXPECT_TRUE(wnd.bTogglePointer());
    wnd.vPrepareExit();
    EXPECT_FALSE(wnd.bPointerOn.load());
}

TEST_F(MainWindow, SwitchingOnMinimisesAVisibleWindowOffLeavesIt)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    wnd.ShowWindow(SW_SHOW);
    wnd.bTogglePointer();
    EXPECT_TRUE(wnd.GetSafeWidget()->isMinimized());
    wnd.ShowWindow(SW_RESTORE);
    wnd.bTogglePointer();
    EXPECT_FALSE(wnd.GetSafeWidget()->isMinimized());
    EXPECT_TRUE(wnd.IsWindowVisible());
}

TEST_F(MainWindow, HideSavesEscapeAndCloseBoxOnlyHide)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    wnd.ShowWindow(SW_SHOW);
    wnd.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(wnd.IsWindowVisible());
    EXPECT_FALSE(QFile::exists(OptionFile()));

    wnd.SendMessage(WM_COMMAND, ID_OPEN, 0); // Open restores
    EXPECT_TRUE(wnd.IsWindowVisible());
    wnd.SendMessage(WM_SYSCOMMAND, SC_CLOSE | 0x3, 0); // low bits are the platform's
    EXPECT_FALSE(wnd.IsWindowVisible());
    EXPECT_FALSE(QFile::exists(OptionFile()));

    wnd.SendMessage(WM_COMMAND, ID_APP_ABOUT, 0); // About shows it too
    EXPECT_TRUE(wnd.IsWindowVisible());
    wnd.pageFun.sliderOpacity.SetPos(40); // Hide takes the slider's position
    wnd.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(wnd.IsWindowVisible());
    ASSERT_TRUE(QFile::exists(OptionFile()));
    CLumicueOption loaded;
    loaded.vLoad(dir.path());
    EXPECT_EQ(loaded.nOpacity, 40);
}

TEST_F(MainWindow, AnswersTheInstanceMessageAndClosesOnTheExitMessage)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    EXPECT_EQ(wnd.SendMessage(g_uInstanceMessage, 0, 0), static_cast<LRESULT>(g_uInstanceMessage));
    EXPECT_EQ(wnd.SendMessage(WM_HELP, 0, 0), TRUE);
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_MOUSE), 1);
    wnd.SendMessage(g_uExitMessage, 0, 0);
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_MOUSE), 0);
    EXPECT_TRUE(QFile::exists(OptionFile()));
    QCoreApplication::processEvents(); // the posted quit; harmless in a test
}

TEST_F(MainWindow, ExitStopsTheMonitorDestroysTheOverlayUnregistersAndSaves)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    wnd.bTogglePointer();
    wnd.SendMessage(WM_COMMAND, 1255, 0); // Exit
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_MOUSE), 0);
    EXPECT_FALSE(wnd.funPointer.wndPoint.bHasWindow());
    EXPECT_TRUE(CNullHotKeys::Held().empty());
    EXPECT_TRUE(QFile::exists(OptionFile()));
    // A record fed after the close reaches no reader.
    DIDEVICEOBJECTDATA rec{};
    EXPECT_FALSE(NullOverlay::bFeed(CInputDevice::KIND_MOUSE, rec));
    QCoreApplication::processEvents(); // the posted quit; harmless in a test
}

namespace {

// A press and release sent as the toolkit sends typed keys: each press is
// first offered to the shortcuts, then delivered.
void vType(QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QCoreApplication::sendEvent(to, &release);
}

} // namespace

TEST_F(MainWindow, PointerPageTakesEveryKeyInTheHotKeyFieldAndSwallowsEnterAndEscapeElsewhere)
{
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    wnd.ShowWindow(SW_SHOW);
    wnd.GetSafeWidget()->activateWindow();
    CWnd* field = wnd.pageFun.GetDlgItem(IDC_HOTKEY_EDIT);
    ASSERT_NE(field, nullptr);
    QWidget* fieldWidget = field->GetSafeWidget();
    fieldWidget->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), fieldWidget);
    auto held = [] { return CNullHotKeys::Held(); };
    ASSERT_EQ(held().size(), 1u); // F8
    vType(fieldWidget, Qt::Key_Shift, Qt::ShiftModifier); // a modifier alone changes nothing
    EXPECT_EQ(field->GetWindowText(), "F8");
    EXPECT_EQ(held().size(), 1u);

    vType(fieldWidget, Qt::Key_Escape); // empties the field and registers nothing
    EXPECT_EQ(field->GetWindowText(), "");
    EXPECT_TRUE(held().empty());
    EXPECT_TRUE(wnd.IsWindowVisible());

    vType(fieldWidget, Qt::Key_Return); // becomes the hotkey
    ASSERT_EQ(held().size(), 1u);
    EXPECT_EQ(held()[0].vk, VK_RETURN);
    EXPECT_TRUE(wnd.IsWindowVisible());

    // The window's mnemonics (Alt+H hides, Alt+X exits) do not take them.
    vType(fieldWidget, Qt::Key_H, Qt::AltModifier);
    vType(fieldWidget, Qt::Key_X, Qt::AltModifier);
    ASSERT_EQ(held().size(), 1u);
    EXPECT_EQ(held()[0].vk, UINT('X'));
    EXPECT_EQ(held()[0].modifiers, UINT(MOD_ALT));
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_EQ(NullOverlay::nLiveDevices(CInputDevice::KIND_MOUSE), 1);

    // Pause with Control is Break.
    vType(fieldWidget, Qt::Key_Pause, Qt::ControlModifier);
    ASSERT_EQ(held().size(), 1u);
    EXPECT_EQ(held()[0].vk, VK_CANCEL);

    // Elsewhere on the page Enter and Escape neither hide nor close.
    QWidget* slider = wnd.pageFun.sliderOpacity.GetSafeWidget();
    slider->setFocus();
    QCoreApplication::processEvents();
    vType(slider, Qt::Key_Escape);
    vType(slider, Qt::Key_Return);
    EXPECT_TRUE(wnd.IsWindowVisible());

    // The switch button says what it will do.
    AfxSetMainWnd(&wnd);
    CWnd* button = wnd.pageFun.GetDlgItem(IDC_SWITCH_BUTTON);
    wnd.bTogglePointer();
    EXPECT_EQ(button->GetWindowText(), "Deactivate");
    wnd.bTogglePointer();
    EXPECT_EQ(button->GetWindowText(), "Activate");
    AfxSetMainWnd(nullptr);

    // Alt+X outside the field is left to the window's mnemonics: the page
    // does not take it.
    wnd.ShowWindow(SW_RESTORE);
    wnd.GetSafeWidget()->activateWindow();
    slider->setFocus();
    QCoreApplication::processEvents();
    vType(slider, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(held()[0].vk, VK_CANCEL);
}

TEST_F(MainWindow, PointerPageRefusesPicturesItCannotShow)
{
    const QString folder = dir.path() + "/pointer/";
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::vector<unsigned char> png = EncodeSolidPng(8, 8, 255, 0, 0, 255);
    ASSERT_TRUE(WriteTestFile(folder + "a-good.png", png));
    ASSERT_TRUE(WriteTestFile(folder + "b-text.png", {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G'}));
    ASSERT_TRUE(WriteTestFile(folder + "c-cut.png", std::vector<unsigned char>(png.begin(), png.begin() + 40)));
    const QString appDir = core->strAppDir;
    core->strAppDir = dir.path() + "/";
    core->option.strPointerFile = folder + "b-text.png"; // stored, but no longer a picture
    CLumicueMain wnd;
    ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
    EXPECT_EQ(core->option.strPointerFile, folder + "a-good.png") << "treated as a missing picture";
    CWnd* hint = wnd.pageFun.GetDlgItem(IDC_POINTER_HINT);
    const QString strHint = hint->GetWindowText();
    auto choose = [&](const QString& name) {
        wnd.pageFun.wndGallery.pControl->bSelectPathOrFirst(folder + name);
        wnd.pageFun.SendMessage(WM_IMAGETYPE_SELECTED);
        return bWaitForPictures();
    };

    ASSERT_TRUE(choose("b-text.png")); // refused from its first bytes
    EXPECT_EQ(core->option.strPointerFile, folder + "a-good.png");
    EXPECT_EQ(hint->GetWindowText(), "This picture cannot be shown.");
    EXPECT_EQ(wnd.pageFun.wndGallery.pControl->GetSelectedPath(), folder + "a-good.png");

    // A screen reader hears why: the gallery is named after the selected file.
    wnd.pageFun.wndGallery.pControl->bSelectPathOrFirst(folder + "b-text.png");
    EXPECT_EQ(wnd.pageFun.wndGallery.GetWindowText(), "b-text.png: This picture cannot be shown.");

    ASSERT_TRUE(choose("c-cut.png")); // taken back once its decode fails
    EXPECT_EQ(core->option.strPointerFile, folder + "a-good.png");
    EXPECT_EQ(hint->GetWindowText(), "This picture cannot be shown.");

    ASSERT_TRUE(choose("a-good.png"));
    EXPECT_EQ(hint->GetWindowText(), strHint);
    core->strAppDir = appDir;
}
