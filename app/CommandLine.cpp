// Switch words, the start action they select, and the long options.
#include "app/CommandLine.h"

#include <QFileInfo>

#include <array>
#include <utility>

namespace {

// Paths on this platform begin with "/", so "/usr/share/doc/readme.txt" or
// "/media" is a file the user handed over, not the switch "u" or "m".
bool bIsFilePath(const QString& arg)
{
    return arg.startsWith('/') && (arg.indexOf('/', 1) > 0 || QFileInfo::exists(arg));
}

const std::array<std::pair<const char*, LongOption>, 6> kLongOptions{{
    {"--help", LongOption::Help},
    {"--version", LongOption::Version},
    {"--toggle", LongOption::Toggle},
    {"--on", LongOption::On},
    {"--off", LongOption::Off},
    {"--status", LongOption::Status},
}};

} // namespace

int ParseCommandLine(const QStringList& args, QStringList& words)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if ((arg.startsWith('/') || arg.startsWith('-')) && !bIsFilePath(arg))
            words << arg.mid(1);
    }
    return static_cast<int>(words.size());
}

StartAction GetStartAction(const QStringList& words)
{
    if (words.isEmpty())
        return StartAction::Normal;
    const QString& word = words.first();
    if (word.left(5).compare(QStringLiteral("clean"), Qt::CaseInsensitive) == 0)
        return StartAction::Clean;
    if (word.startsWith('u', Qt::CaseInsensitive))
        return StartAction::Quit;
    if (word.startsWith('m', Qt::CaseInsensitive))
        return StartAction::Hidden;
    return StartAction::Normal;
}

LongOption GetLongOption(const QStringList& args, QString* unknown)
{
    LongOption chosen = LongOption::None;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        // A lone "--" stays the switch word "-" it has always been.
        if (!arg.startsWith(QStringLiteral("--")) || arg.size() == 2)
            continue;
        LongOption option = LongOption::Unknown;
        for (const auto& [name, value] : kLongOptions)
            if (arg == QLatin1String(name))
                option = value;
        if (option == LongOption::Unknown) {
            if (unknown)
                *unknown = arg;
            return LongOption::Unknown;
        }
        // Help and version win over anything; otherwise the first counts.
        if (chosen == LongOption::None || (option <= LongOption::Version && option < chosen))
            chosen = option;
    }
    return chosen;
}

QString PrintableArgument(const QString& arg)
{
    QString out;
    for (const QChar c : arg) {
        const QChar::Category kind = c.category();
        if (kind != QChar::Other_Control && kind != QChar::Other_Format)
            out += c;
        else if (c.unicode() < 0x100)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString GetUsageText()
{
    return QStringLiteral(
        "Usage: lumicue [/m | /u | /clean]\n"
        "       lumicue --toggle | --on | --off | --status | --help | --version\n"
        "\n"
        "Shows a large pointer picture under the mouse cursor; F8 switches it on and off.\n"
        "\n"
        "Switches (only the first counts; \"-\" works as well as \"/\"):\n"
        "  /m          start hidden, with only the tray icon\n"
        "  /u          end the running Lumicue\n"
        "  /clean      remove the autostart entry and end the running Lumicue\n"
        "\n"
        "Control of the running Lumicue:\n"
        "  --toggle    switch the pointer on or off, as the hotkey does\n"
        "  --on        switch the pointer on\n"
        "  --off       switch the pointer off\n"
        "  --status    print \"on\" or \"off\"\n"
        "\n"
        "  --help      print this help and exit\n"
        "  --version   print the version and exit\n"
        "\n"
        "Exit status: 0 done; 1 Lumicue is not running (control options), refused,\n"
        "or no display; 2 unknown option; 3 Lumicue is running but does not answer;\n"
        "4 this desktop gives no way to follow the pointer (--toggle, --on), which stays off.\n"
        "\n"
        "To start Lumicue hidden at login, put its desktop entry with \"lumicue /m\" as Exec\n"
        "into ~/.config/autostart/Lumicue.desktop (see lumicue(1)).\n");
}
