// The main window's toolkit on a real X server, read through the
// accessibility bus as a screen reader would: the tabs switch pages, the
// About page shows the version, links look and act like links, and
// translated texts are shown as plain text.
#include "DisplayFixture.h" // first: GoogleTest before Xlib
#include "A11yReader.h"

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class ToolkitTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override
    {
        DisplaySetup s;
        s.bCompositor = false;
        return s;
    }

    // A session bus (the accessibility bus is started on it when asked for),
    // a recording default handler first in PATH and a language file.
    void vPrepare()
    {
        const fs::path bin = dir.Home() / "bin";
        fs::create_directories(bin);
        for (const char* tool : {"xdg-open", "xdg-email"}) {
            std::ofstream(bin / tool) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << OpenedFile().string() << "'\n";
            fs::permissions(bin / tool, fs::perms::owner_all);
        }
        std::ofstream(dir.LanguageDir() / "Plain.lng") << "[Language]\nLanguage=1033\n[317]\n1239=<b>Bold</b> && more\n"
                                                         "[Text]\n103=Visit <i>us</i> && more\n";
        ASSERT_TRUE(a11y.bStart(dir, xvfb.strDisplay()));
        ASSERT_TRUE(bWaitForFile(a11y.BusSocket(), true));
        options.strLang = "en_US.UTF-8";
        options.extraEnv = a11y.Env();
        options.extraEnv.push_back("PATH=" + bin.string() + ":/usr/bin:/bin");
    }

    fs::path OpenedFile() const { return dir.Home() / "opened.txt"; }

    // Waits until the recording handler has written n addresses, woken by
    // its writes.
    bool bOpened(size_t n)
    {
        return bWaitOnFolder(dir.Home(), [&] { return Opened().size() == n; });
    }

    std::vector<std::string> Opened() const
    {
        std::vector<std::string> lines;
        std::ifstream in(OpenedFile());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Pixels of exactly this colour inside the rectangle.
    int nPixels(const TestRect& rc, uint32_t rgb)
    {
        int n = 0;
        for (uint32_t px : x.Pixels(rc))
            n += (px & 0xFFFFFF) == rgb;
        return n;
    }

    void vClickAt(const TestRect& rc)
    {
        x.vMove(rc.x + rc.width / 4, rc.y + rc.height / 2);
        x.vClick();
    }

    CA11yReader a11y;
    LaunchOptions options;
};

TEST_F(ToolkitTest, TabsAboutPageLinksAndPlainTranslatedTexts)
{
    vPrepare();
    ASSERT_TRUE(x.bWatchScreen());
    Window w = StartMainWindow(nullptr, {}, options);
    ASSERT_NE(w, None);

    std::vector<A11yObject> tree;
    ASSERT_TRUE(a11y.bFind("page tab", "About", &tree));
    // Translated texts are plain text: no markup, "&&" is one "&".
    EXPECT_TRUE(CA11yReader::bHas(tree, "label", "<b>Bold</b> & more"));
    A11yObject site, donate, aboutTab;
    ASSERT_TRUE(CA11yReader::bHas(tree, "link", "Visit <i>us</i> & more", &site));
    ASSERT_TRUE(CA11yReader::bHas(tree, "link", "Donate Now to Support Lumicue", &donate));
    EXPECT_TRUE(CA11yReader::bHas(tree, "page tab", "Pointer"));
    ASSERT_TRUE(CA11yReader::bHas(tree, "page tab", "About", &aboutTab));
    EXPECT_TRUE(CA11yReader::bHas(tree, "label", "Opacity:"));

    // A link is blue, red under the pointer, purple once opened.
    EXPECT_TRUE(bWaitFor([&] { return nPixels(donate.rc, 0x0000FF) > 0; }));
    x.vMove(donate.rc.x + 3, donate.rc.y + donate.rc.height / 2);
    EXPECT_TRUE(bWaitFor([&] { return nPixels(donate.rc, 0xFF0000) > 0; }));
    x.vClick();
    EXPECT_TRUE(bOpened(1));
    x.vMove(donate.rc.x + donate.rc.width + 40, donate.rc.y - 30);
    EXPECT_TRUE(bWaitFor([&] { return nPixels(donate.rc, 0x800080) > 0 && nPixels(donate.rc, 0xFF0000) == 0; }));
    vClickAt(site.rc);
    EXPECT_TRUE(bOpened(2));

    // The About tab shows its page in place of the Pointer page.
    vClickAt(aboutTab.rc);
    std::vector<A11yObject> about;
    ASSERT_TRUE(a11y.bFind("label", "Lumicue V1.0.0", &about));
    A11yObject product;
    EXPECT_FALSE(CA11yReader::bHas(about, "label", "Opacity:"));
    ASSERT_TRUE(CA11yReader::bHas(about, "link", "https://lumicue.example/lumicue/", &product));
    EXPECT_TRUE(CA11yReader::bHas(about, "push button", "Donate..."));
    vClickAt(product.rc);
    EXPECT_TRUE(bOpened(3));
    EXPECT_EQ(Opened(), (std::vector<std::string>{"https://lumicue.example/lumicue/donate.htm",
                            "https://lumicue.example", "https://lumicue.example/lumicue/"}));

    // Ctrl+PgDn goes on to the next tab, as in any dialog with tabs: Options.
    ASSERT_TRUE(x.bFocus(w));
    x.bKey(XK_Next, ControlMask);
    EXPECT_TRUE(a11y.bFind("label", "Pointer size:"));
}
