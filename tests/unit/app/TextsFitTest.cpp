// Every text of every page fits its control, in English and in each shipped
// language: measured with the toolkit's own font metrics, apart from the
// code that makes the room.
#include "app/LumicueMain.h"

#include "lang/Language.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"
#include "unit/lang/LanguageTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStyle>

namespace {

int NoBox(CWnd*, const QString&, const QString&, UINT)
{
    return IDOK;
}

QString Shown(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Empty when the widget shows its whole text, else what is cut and how.
std::string Cut(const QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->text().isEmpty() || !label->pixmap().isNull())
            return {};
        const QRect room = label->contentsRect();
        const QString text = label->buddy() ? Shown(label->text()) : label->text();
        const QRect need = label->wordWrap()
            ? fm.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap | label->alignment(), text)
            : QRect(0, 0, fm.horizontalAdvance(text), fm.height());
        if (need.width() <= room.width() && need.height() <= room.height())
            return {};
        return text.toStdString() + " needs " + std::to_string(need.width()) + "x" + std::to_string(need.height())
            + ", has " + std::to_string(room.width()) + "x" + std::to_string(room.height());
    }
    int extra = 8; // a push button's frame and padding
    if (qobject_cast<const QCheckBox*>(w))
        extra = w->style()->pixelMetric(QStyle::PM_IndicatorWidth) + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    QStringList texts;
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        texts << Shown(button->text());
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        extra = 24; // the arrow
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    }
    for (const QString& text : texts)
        if (fm.horizontalAdvance(text) + extra > w->width())
            return text.toStdString() + " in " + std::to_string(w->width()) + " pixels";
    return {};
}

class TextsFit : public LanguageFixture {};

} // namespace

TEST_F(TextsFit, EveryControlOfEveryPageInEachShippedLanguage)
{
    SetMessageBoxHook(NoBox);
    for (const char* file : {"", "German.lng", "French.lng"}) {
        SCOPED_TRACE(file);
        vResetLanguage();
        if (*file) {
            QFile::remove(langDir->filePath(QStringLiteral("Only.lng")));
            ASSERT_TRUE(QFile::copy(QStringLiteral(LUMICUE_SOURCE_DIR "/Language/") + QString::fromLatin1(file),
                langDir->filePath(QStringLiteral("Only.lng"))));
            WriteConfig("[Main]\nLanguage=" + QByteArray(*file == 'G' ? "1031" : "1036") + "\n");
            ASSERT_NE(Init(), 0u);
        }
        GetCoreAssist()->strDataDir = configDir.path();
        GetCoreAssist()->option.vSetDefaults();
        CLumicueMain wnd;
        ASSERT_TRUE(wnd.Create(IDD_LUMICUE_MAIN));
        int nChecked = 0;
        for (CWnd* child : wnd.EnumChildWindows()) {
            const QWidget* w = child->GetSafeWidget();
            if (!w || w->isWindow())
                continue;
            ++nChecked;
            EXPECT_EQ(Cut(w), "") << "control " << child->GetDlgCtrlID() << " of " << child->GetParent()->GetDlgCtrlID();
            if (const QWidget* parent = w->parentWidget()) {
                EXPECT_TRUE(parent->rect().contains(w->geometry())) << "control " << child->GetDlgCtrlID() << " left its page";
            }
        }
        EXPECT_GT(nChecked, 30);
    }
    SetMessageBoxHook(nullptr);
}
