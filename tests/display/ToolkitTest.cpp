// The main window's toolkit on a real X server, read through the
// accessibility bus as a screen reader would: the tabs switch pages, the
// About page shows the version, links look and act like links, and
// translated texts are shown as plain text.
#include "DisplayFixture.h"

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct A11yObject {
    std::string strRole, strName, strDescription;
    TestRect rc;
};

} // namespace

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
        strBus = "unix:path=" + (dir.RuntimeDir() / "bus").string();
        CChildProcess::Options o;
        o.argv = {"dbus-daemon", "--session", "--nofork", "--address=" + strBus};
        o.env = {"PATH=/usr/bin:/bin"};
        o.strLogPath = (dir.LogDir() / "dbus.log").string();
        ASSERT_TRUE(bus.bStart(o));
        ASSERT_TRUE(bWaitForFile(dir.RuntimeDir() / "bus", true));
        options.strLang = "en_US.UTF-8";
        options.extraEnv = {"PATH=" + bin.string() + ":/usr/bin:/bin", "DBUS_SESSION_BUS_ADDRESS=" + strBus,
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"};
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

    // The showing objects of the program, as the accessibility bus tells them;
    // given a role and a name, once an object with them shows (the reader
    // waits for the program's accessibility events up to nSeconds).
    std::vector<A11yObject> Tree(const std::string& strRole = {}, const std::string& strName = {}, int nSeconds = 0)
    {
        CChildProcess reader;
        CChildProcess::Options o;
        o.argv = {"/usr/bin/python3", LUMICUE_SOURCE_DIR "/tests/display/a11y-tree.py", "lumicue"};
        if (nSeconds > 0)
            o.argv.insert(o.argv.end(), {strRole, strName, std::to_string(nSeconds)});
        o.env = {"DISPLAY=" + xvfb.strDisplay(), "DBUS_SESSION_BUS_ADDRESS=" + strBus, "PATH=/usr/bin:/bin",
            "HOME=" + dir.Home().string()};
        o.strLogPath = (dir.LogDir() / ("a11y-" + std::to_string(++nReads) + ".txt")).string();
        std::vector<A11yObject> out;
        if (!reader.bStart(o) || !reader.bWaitExit(CDeadline::Seconds(nSeconds + 40)))
            return out;
        std::istringstream text(reader.strLogText());
        for (std::string line; std::getline(text, line);) {
            A11yObject obj;
            std::istringstream fields(line);
            std::string extents;
            std::getline(fields, obj.strRole, '\t');
            std::getline(fields, obj.strName, '\t');
            std::getline(fields, obj.strDescription, '\t');
            std::getline(fields, extents, '\t');
            std::sscanf(extents.c_str(), "%d,%d,%d,%d", &obj.rc.x, &obj.rc.y, &obj.rc.width, &obj.rc.height);
            out.push_back(obj);
        }
        return out;
    }

    // Waits until an object with the role and name shows; the tree it was
    // found in. Each read walks the bus object by object, which a loaded
    // machine makes slow.
    bool bFind(const std::string& strRole, const std::string& strName, std::vector<A11yObject>* tree = nullptr)
    {
        std::vector<A11yObject> found = Tree(strRole, strName, 90);
        const bool bFound = bHas(found, strRole, strName);
        if (tree)
            *tree = std::move(found);
        return bFound;
    }

    // The object with the role and name in a tree read before.
    static bool bHas(const std::vector<A11yObject>& tree, const std::string& strRole, const std::string& strName,
        A11yObject* found = nullptr)
    {
        for (const A11yObject& o : tree) {
            if (o.strRole == strRole && o.strName == strName) {
                if (found)
                    *found = o;
                return true;
            }
        }
        return false;
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

    CChildProcess bus;
    std::string strBus;
    int nReads = 0;
    LaunchOptions options;
};

TEST_F(ToolkitTest, TabsAboutPageLinksAndPlainTranslatedTexts)
{
    vPrepare();
    ASSERT_TRUE(x.bWatchScreen());
    Window w = StartMainWindow(nullptr, {}, options);
    ASSERT_NE(w, None);

    std::vector<A11yObject> tree;
    ASSERT_TRUE(bFind("page tab", "About", &tree));
    // Translated texts are plain text: no markup, "&&" is one "&".
    EXPECT_TRUE(bHas(tree, "label", "<b>Bold</b> & more"));
    A11yObject site, donate, aboutTab;
    ASSERT_TRUE(bHas(tree, "link", "Visit <i>us</i> & more", &site));
    ASSERT_TRUE(bHas(tree, "link", "Donate Now to Support Lumicue", &donate));
    EXPECT_TRUE(bHas(tree, "page tab", "Pointer"));
    ASSERT_TRUE(bHas(tree, "page tab", "About", &aboutTab));
    EXPECT_TRUE(bHas(tree, "label", "Opacity:"));

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
    ASSERT_TRUE(bFind("label", "Lumicue V1.0.0", &about));
    A11yObject product;
    EXPECT_FALSE(bHas(about, "label", "Opacity:"));
    ASSERT_TRUE(bHas(about, "link", "https://lumicue.example/lumicue/", &product));
    EXPECT_TRUE(bHas(about, "push button", "Donate..."));
    vClickAt(product.rc);
    EXPECT_TRUE(bOpened(3));
    EXPECT_EQ(Opened(), (std::vector<std::string>{"https://lumicue.example/lumicue/donate.htm",
                            "https://lumicue.example", "https://lumicue.example/lumicue/"}));

    // Ctrl+PgDn goes on to the next tab, as in any dialog with tabs: Options.
    ASSERT_TRUE(x.bFocus(w));
    x.bKey(XK_Next, ControlMask);
    EXPECT_TRUE(bFind("label", "Pointer size:"));
}
