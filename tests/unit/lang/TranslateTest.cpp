// Dialogs and menus translated in place from the active language file.
#include "LanguageTestSupport.h"

#include "platform/ui/Menu.h"
#include "platform/ui/Wnd.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A page like the Pointer page: labels, an edit, a button and a nested label.
struct TestDialog {
    TestDialog()
    {
        top = new QWidget;
        wnd.Attach(top, QStringLiteral("#32770"), 0, nullptr);
        wnd.SetWindowText(QStringLiteral("Lumicue"));
        label = Add(new QLabel(QStringLiteral("High Visibility &Pointer:"), top), "Static", 1347, wnd);
        edit = Add(new QLineEdit(QStringLiteral("Ctrl + F8"), top), "Edit", 1289, wnd);
        listLike = Add(new QLabel(QStringLiteral("user item"), top), "lIsTbOx", 1400, wnd);
        button = Add(new QPushButton(QStringLiteral("A&ctivate"), top), "Button", 1290, wnd);
        untranslated = Add(new QLabel(QStringLiteral("Click to choose another pointer"), top), "Static", 1348, wnd);
        staticMinusOne = Add(new QLabel(QStringLiteral("no id"), top), "Static", -1, wnd);
        QWidget* groupWidget = new QWidget(top);
        group = Add(groupWidget, "Static", 5000, wnd);
        nested = Add(new QLabel(QStringLiteral("Nested"), groupWidget), "Static", 5001, *group);
    }

    static CWnd* Add(QWidget* widget, const char* cls, int id, CWnd& parent)
    {
        auto child = std::make_unique<CWnd>();
        child->Attach(widget, QString::fromLatin1(cls), id, &parent);
        return parent.AddChild(std::move(child));
    }

    CWnd wnd;
    QWidget* top = nullptr;
    CWnd* label = nullptr;
    CWnd* edit = nullptr;
    CWnd* listLike = nullptr;
    CWnd* button = nullptr;
    CWnd* untranslated = nullptr;
    CWnd* staticMinusOne = nullptr;
    CWnd* group = nullptr;
    CWnd* nested = nullptr;
};

class TranslateTest : public LanguageFixture {
protected:
    void Activate(const QByteArray& body)
    {
        setenv("LC_ALL", "de_DE.UTF-8", 1);
        AddFile("German.lng", "[Language]\nLanguage=1031\nFontName=Serif\nFontSize=13\n" + body);
        ASSERT_EQ(Init(), 1031u);
        ASSERT_TRUE(g_hLangFont.has_value());
    }
};

TEST_F(TranslateTest, DialogTextsAndFontsChangeButUserDataStays)
{
    Activate("[318]\n0=Seite\n1347=Gut sichtbarer &Zeiger:\n1289=never shown\n1400=never shown\n"
             "1290=A&ktivieren\n5001=Verschachtelt\n4294967295=Ohne Kennung\n1348=\n");
    TestDialog dlg;
    const QFont before = dlg.untranslated->GetFont();
    TranslateDialog(&dlg.wnd, 318u);

    EXPECT_EQ(dlg.wnd.GetWindowText(), "Seite");
    EXPECT_EQ(dlg.label->GetWindowText(), QString::fromUtf8("Gut sichtbarer &Zeiger:"));
    EXPECT_EQ(dlg.button->GetWindowText(), "A&ktivieren");
    EXPECT_EQ(dlg.nested->GetWindowText(), "Verschachtelt"); // grandchildren too
    EXPECT_EQ(dlg.staticMinusOne->GetWindowText(), "Ohne Kennung");
    EXPECT_EQ(dlg.untranslated->GetWindowText(), "Click to choose another pointer"); // empty value
    EXPECT_EQ(dlg.edit->GetWindowText(), "Ctrl + F8");
    EXPECT_EQ(dlg.listLike->GetWindowText(), "user item");

    // Every window gets the language font, edit boxes included.
    for (CWnd* w : {&dlg.wnd, dlg.label, dlg.edit, dlg.listLike, dlg.nested, dlg.untranslated}) {
        EXPECT_EQ(w->GetFont().family(), QStringLiteral("Serif"));
        EXPECT_EQ(w->GetFont().pixelSize(), g_hLangFont->pixelSize());
    }
    EXPECT_NE(dlg.untranslated->GetFont(), before);
}

TEST_F(TranslateTest, SectionByNameAndOtherSectionsUntouched)
{
    Activate("[317]\n1347=from 317\n[A section name of exactly 31 ch]\n1347=by name\n");
    TestDialog dlg;
    TranslateDialog(&dlg.wnd, 20102u);
    EXPECT_EQ(dlg.label->GetWindowText(), "High Visibility &Pointer:");
    TranslateDialog(&dlg.wnd, QStringLiteral("A section name of exactly 31 characters and more"));
    EXPECT_EQ(dlg.label->GetWindowText(), "by name");
    TranslateDialog(nullptr, 317u);
}

TEST_F(TranslateTest, NothingActiveTouchesNeitherTextsNorFonts)
{
    AddFile("German.lng", "[Language]\nLanguage=1031\n[318]\n1347=Zeiger\n");
    ASSERT_EQ(Init(), 0u); // LC_ALL=C: English
    g_hLangFont = QFont(QStringLiteral("Serif"), 30); // even a stray font is not applied

    TestDialog dlg;
    const QFont before = dlg.edit->GetFont();
    TranslateDialog(&dlg.wnd, 318u);
    EXPECT_EQ(dlg.label->GetWindowText(), "High Visibility &Pointer:");
    EXPECT_EQ(dlg.edit->GetFont(), before);

    CMenu menu;
    menu.AppendItem(57665, QStringLiteral("E&xit"));
    TranslateMenu(menu, 2u);
    EXPECT_EQ(menu.GetItem(0)->strText, "E&xit");
}

TEST_F(TranslateTest, MenusKeyLeavesByIdAndPopupsByPositionChains)
{
    Activate("[2]\n|0=Popup\n57664=&Über Lumicue...\n0=Trenner\n|0|2=Mehr\n34063=Besuchen\n|0|2|1=Tiefer\n"
             "26027=Öffnen\n57665=Beenden\n|0|3=Übersprungen\n34062=Zeiger\n34099=\n"
             "[Tray]\n57664=by name\n");
    CMenu bar;
    CMenu& popup = bar.AppendPopup(QStringLiteral("TASKBARPOPUP"));
    popup.AppendItem(57664, QStringLiteral("&About Lumicue..."));
    popup.AppendSeparator();
    CMenu& more = popup.AppendPopup(QStringLiteral("More"));
    more.AppendItem(34063, QStringLiteral("Visit"));
    more.AppendPopup(QStringLiteral("Deeper")).AppendItem(26027, QStringLiteral("&Open Lumicue"));
    popup.AppendPopup(QStringLiteral("Skipped"), 0).AppendItem(57665, QStringLiteral("E&xit"));
    bar.AppendItem(34062, QStringLiteral("Hight Visibility &Pointer"));
    bar.AppendItem(34099, QStringLiteral("Empty value"));

    TranslateMenu(bar, 2u);
    EXPECT_EQ(bar.GetItem(0)->strText, "Popup");
    EXPECT_EQ(popup.GetItem(0)->strText, QString::fromUtf8("&Über Lumicue..."));
    EXPECT_EQ(popup.GetItem(1)->strText, "");
    EXPECT_TRUE(popup.GetItem(1)->bSeparator);
    EXPECT_EQ(popup.GetItem(2)->strText, "Mehr");
    EXPECT_EQ(more.GetItem(0)->strText, "Besuchen");
    EXPECT_EQ(more.GetItem(1)->strText, "Tiefer");
    EXPECT_EQ(more.GetSubMenu(1)->GetItem(0)->strText, QString::fromUtf8("Öffnen"));
    // The id-0 popup and everything in it stay as built.
    EXPECT_EQ(popup.GetItem(3)->strText, "Skipped");
    EXPECT_EQ(popup.GetSubMenu(3)->GetItem(0)->strText, "E&xit");
    EXPECT_EQ(bar.GetItem(1)->strText, "Zeiger");
    EXPECT_EQ(bar.GetItem(2)->strText, "Empty value");

    // The tray translates the popup itself: its items keep their ids as keys.
    CMenu tray;
    tray.AppendItem(57664, QStringLiteral("&About Lumicue..."));
    TranslateMenu(tray, QStringLiteral("Tray"));
    EXPECT_EQ(tray.GetItem(0)->strText, "by name");
}

TEST(MenuModelTest, CopiesDeepAndChecksByCommand)
{
    CMenu menu;
    CMenu& sub = menu.AppendPopup(QStringLiteral("Pop"));
    sub.AppendItem(34062, QStringLiteral("Toggle"));
    sub.AppendSeparator();
    EXPECT_EQ(menu.CheckMenuItem(34062, MF_CHECKED), static_cast<int>(MF_UNCHECKED));
    EXPECT_EQ(menu.CheckMenuItem(34062, MF_UNCHECKED), static_cast<int>(MF_CHECKED));
    EXPECT_EQ(menu.CheckMenuItem(1, MF_CHECKED), -1);
    EXPECT_EQ(menu.GetItem(0)->nId, MENU_POPUP_ID);
    EXPECT_TRUE(sub.GetItem(1)->bSeparator);
    EXPECT_EQ(menu.GetItem(5), nullptr);
    EXPECT_FALSE(menu.SetMenuItemText(-1, QStringLiteral("x")));

    CMenu copy = menu;
    copy.GetSubMenu(0)->SetMenuItemText(0, QStringLiteral("Changed"));
    EXPECT_EQ(sub.GetItem(0)->strText, "Toggle");
    EXPECT_EQ(copy.GetSubMenu(0)->GetItem(0)->strText, "Changed");
}

} // namespace
