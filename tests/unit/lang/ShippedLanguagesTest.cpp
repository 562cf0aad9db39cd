// The language files we ship: each is chosen by its id and translates every
// code text, every dialog control with a text of its own and every tray item.
#include "LanguageTestSupport.h"

#include "platform/storage/Ini.h"
#include "platform/ui/Menu.h"

#include <QSet>

namespace {

struct Shipped {
    const char* szFile;
    const char* szLocale;
    UINT nId;
};

constexpr Shipped kShipped[] = {
    {"German.lng", "de_DE.UTF-8", 1031},
    {"French.lng", "fr_FR.UTF-8", 1036},
};

// Code texts by id with their English defaults.
const std::vector<std::pair<const char*, const char*>> kTexts = {
    {"5", "Error Occur!"},
    {"8", "Fatal Error Occur!"},
    {"9", "Lumicue is free to use, but if you think it is a worthwhile application, I would appreciate you donation."},
    {"10", "Lumicue Update"},
    {"11", "New version of Lumicue is available, click here for more information."},
    {"100", "Pointer"},
    {"101", "About"},
    {"103", "Visit our site for more presentation utilities"},
    {"104", "Activate"},
    {"105", "Deactivate"},
    {"106", "Hight Visibility Pointer"},
    {"107", " is On"},
    {"108", " is Off"},
    {"109", "Get More Custom Pointer Graphics "},
    {"110", "Options"},
    {"111", "Automatic (from the system)"},
    {"112", "Donate Now to Support Lumicue"},
};

// Template controls whose text the templates carry and start-up keeps; key 0
// is the window itself. The listed group needs mnemonic letters, all distinct.
struct Section {
    const char* szName;
    std::vector<UINT> ids;
    std::vector<UINT> mnemonicGroup;
};

const std::vector<Section> kSections = {
    {"317", {0, 24105, 1239, 1, 1255}, {1, 1255}},
    {"318", {1347, 1348, 1297, 1247, 1290, 1259}, {1347, 1297, 1247, 1290}},
    {"20102", {24105, 21277}, {21277}},
    {"319", {1360, 1363, 1364, 1365, 1366, 1368, 1369}, {1360, 1363, 1364, 1365, 1366, 1369}},
    {"2", {57664, 34063, 34062, 26027, 57665}, {57664, 34063, 34062, 26027, 57665}},
};

QChar Mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

class ShippedLanguagesTest : public LanguageFixture {
protected:
    void CopyShipped()
    {
        for (const Shipped& s : kShipped) {
            const QString source = QStringLiteral(LUMICUE_SOURCE_DIR "/Language/") + QString::fromLatin1(s.szFile);
            ASSERT_TRUE(QFile::copy(source, langDir->filePath(QString::fromLatin1(s.szFile)))) << s.szFile;
        }
    }
};

TEST_F(ShippedLanguagesTest, EachFileIsChosenAndTranslatesEverything)
{
    CopyShipped();
    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(s.szFile);
        vResetLanguage();
        QFile::remove(ConfigPath());
        setenv("LC_ALL", s.szLocale, 1);
        ASSERT_EQ(Init(), s.nId);
        ASSERT_TRUE(g_szLangFile.endsWith(QString::fromLatin1(s.szFile)));
        EXPECT_FALSE(g_hLangFont.has_value()); // the platform font stays

        QFile raw(g_szLangFile);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << "not valid UTF-8";

        for (const auto& [id, english] : kTexts) {
            const QString text = GetLangText(QString::fromLatin1(id), QStringLiteral("\x01missing"));
            EXPECT_NE(text, QStringLiteral("\x01missing")) << "text " << id;
            EXPECT_NE(text.trimmed(), QString::fromLatin1(english).trimmed()) << "text " << id << " untranslated";
        }

        for (const Section& section : kSections) {
            const QString name = QString::fromLatin1(section.szName);
            QSet<QChar> mnemonics;
            for (UINT id : section.ids) {
                QString value;
                GetPrivateProfileStringW(name, QString::number(id), QString(), value, 1024, g_szLangFile);
                EXPECT_FALSE(value.isEmpty()) << "[" << section.szName << "] " << id;
                if (std::find(section.mnemonicGroup.begin(), section.mnemonicGroup.end(), id)
                    != section.mnemonicGroup.end()) {
                    const QChar m = Mnemonic(value);
                    EXPECT_FALSE(m.isNull()) << "[" << section.szName << "] " << id << " has no mnemonic";
                    EXPECT_FALSE(mnemonics.contains(m)) << "[" << section.szName << "] " << id << " repeats a mnemonic";
                    mnemonics.insert(m);
                }
            }
        }

        // The tray menu as the tray builds it: every item changes.
        CMenu tray;
        tray.AppendItem(57664, QStringLiteral("&About Lumicue..."));
        tray.AppendItem(34063, QStringLiteral("&Visit Lumicue Website"));
        tray.AppendSeparator();
        tray.AppendItem(34062, QStringLiteral("Hight Visibility &Pointer"));
        tray.AppendItem(26027, QStringLiteral("&Open Lumicue"));
        tray.AppendItem(57665, QStringLiteral("E&xit"));
        const CMenu english = tray;
        TranslateMenu(tray, 2u);
        for (int i = 0; i < tray.GetMenuItemCount(); ++i) {
            if (!tray.GetItem(i)->bSeparator) {
                EXPECT_NE(tray.GetItem(i)->strText, english.GetItem(i)->strText) << i;
            }
        }
    }
}

} // namespace
