// Switch words and the start action they select.
#include "app/CommandLine.h"

int ParseCommandLine(const QStringList& args, QStringList& words)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg.startsWith('/') || arg.startsWith('-'))
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
