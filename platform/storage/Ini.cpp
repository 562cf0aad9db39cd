// Private-profile INI reading and writing; the rules mirror the Windows
// profile functions so that files written for them read the same here.
#include "platform/storage/Ini.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace {

enum class IniEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

bool bIsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}

QStringView Trim(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && bIsBlank(s[b]))
        ++b;
    while (e > b && bIsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool bSameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Decode(const QByteArray& raw, IniEncoding* pEncoding)
{
    IniEncoding enc = IniEncoding::Utf8;
    QString text;
    if (raw.startsWith("\xEF\xBB\xBF")) {
        enc = IniEncoding::Utf8Bom;
        text = QString::fromUtf8(raw.constData() + 3, raw.size() - 3);
    } else if (raw.startsWith("\xFF\xFE") || raw.startsWith("\xFE\xFF")) {
        const bool bLittle = static_cast<unsigned char>(raw[0]) == 0xFF;
        enc = bLittle ? IniEncoding::Utf16Le : IniEncoding::Utf16Be;
        const qsizetype nUnits = (raw.size() - 2) / 2; // an odd last byte is dropped
        text.resize(nUnits);
        const auto* p = reinterpret_cast<const unsigned char*>(raw.constData()) + 2;
        for (qsizetype i = 0; i < nUnits; ++i) {
            const unsigned lo = bLittle ? p[2 * i] : p[2 * i + 1];
            const unsigned hi = bLittle ? p[2 * i + 1] : p[2 * i];
            text[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
        }
    } else {
        text = QString::fromUtf8(raw);
    }
    if (pEncoding)
        *pEncoding = enc;
    return text;
}

QByteArray Encode(const QString& text, IniEncoding enc)
{
    switch (enc) {
    case IniEncoding::Utf8:
        return text.toUtf8();
    case IniEncoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case IniEncoding::Utf16Le:
    case IniEncoding::Utf16Be: {
        const bool bLittle = enc == IniEncoding::Utf16Le;
        QByteArray out;
        out.reserve(2 + text.size() * 2);
        out.append(bLittle ? "\xFF\xFE" : "\xFE\xFF", 2);
        for (QChar c : text) {
            const char lo = static_cast<char>(c.unicode() & 0xFF);
            const char hi = static_cast<char>(c.unicode() >> 8);
            out.append(bLittle ? lo : hi);
            out.append(bLittle ? hi : lo);
        }
        return out;
    }
    }
    return {};
}

// Reads the whole file when it exists and is small enough; a missing file is
// "no data" (TRUE with empty content), an unreadable or oversized one fails.
BOOL bReadFileBounded(const QString& fileName, QByteArray& data, bool* pExists)
{
    data.clear();
    *pExists = false;
    QFileInfo info(fileName);
    if (!info.exists())
        return TRUE;
    *pExists = true;
    if (!info.isFile() || info.size() > INI_MAX_FILE_BYTES)
        return FALSE;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FALSE;
    // The size may have grown since the check; never read past the bound.
    data = file.read(INI_MAX_FILE_BYTES + 1);
    return data.size() <= INI_MAX_FILE_BYTES ? TRUE : FALSE;
}

// A section header line "[name]"; lines with '[' but no ']' are ignored, as
// Windows ignores them.
std::optional<QStringView> SectionName(QStringView trimmedLine)
{
    if (!trimmedLine.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmedLine.lastIndexOf(u']');
    if (close < 1)
        return std::nullopt;
    return Trim(trimmedLine.mid(1, close - 1));
}

// The raw value of the first key of that name in the first section of that
// name, or nothing when the key does not appear there.
std::optional<QStringView> FindRawValue(QStringView text, QStringView section, QStringView key)
{
    bool bInSection = false;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        const QStringView line = Trim(text.mid(pos, end - pos));
        pos = end + 1;
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (const auto name = SectionName(line)) {
            if (bInSection)
                return std::nullopt; // later sections of the same name are not searched
            bInSection = bSameName(*name, section);
            continue;
        }
        if (!bInSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (bSameName(Trim(line.left(eq)), key))
            return Trim(line.mid(eq + 1));
    }
    return std::nullopt;
}

QStringView StripQuotes(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// Cuts to the buffer, never leaving half of a surrogate pair behind.
QString CutToBuffer(QStringView v, DWORD nSize)
{
    if (nSize == 0)
        return {};
    const qsizetype nMax = static_cast<qsizetype>(nSize - 1);
    if (v.size() <= nMax)
        return v.toString();
    QStringView cut = v.left(nMax);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut.toString();
}

std::optional<QString> LookUp(const QString& text, const QString& section, const QString& key)
{
    const auto raw = FindRawValue(text, section, key);
    if (!raw)
        return std::nullopt;
    const QStringView v = StripQuotes(*raw);
    if (v.isEmpty())
        return std::nullopt; // present but empty counts as absent
    return v.toString();
}

DWORD AnswerString(const std::optional<QString>& found, const QString& lpDefault, QString& value, DWORD nSize)
{
    if (found) {
        value = CutToBuffer(*found, nSize);
    } else {
        QStringView def(lpDefault);
        while (!def.isEmpty() && def.back() == u' ')
            def.chop(1);
        value = CutToBuffer(def, nSize);
    }
    return static_cast<DWORD>(value.size());
}

UINT ParseProfileInt(QStringView v)
{
    qsizetype i = 0;
    bool bNegative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) {
        bNegative = v[i] == u'-';
        ++i;
    }
    std::uint32_t n = 0; // unsigned: overflow wraps as the platform's does
    for (; i < v.size() && v[i] >= u'0' && v[i] <= u'9'; ++i)
        n = n * 10u + static_cast<std::uint32_t>(v[i].unicode() - u'0');
    return bNegative ? 0u - n : n;
}

UINT AnswerInt(const std::optional<QString>& found, int nDefault)
{
    if (!found)
        return static_cast<UINT>(nDefault);
    return ParseProfileInt(*found);
}

QString ReadText(const QString& fileName)
{
    QByteArray data;
    bool bExists = false;
    if (!bReadFileBounded(fileName, data, &bExists))
        return {};
    return Decode(data, nullptr);
}

bool bHasLineBreak(const QString& s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

} // namespace

DWORD GetProfileStringFromData(const QByteArray& data, const QString& section, const QString& key,
                               const QString& lpDefault, QString& value, DWORD nSize)
{
    if (data.size() > INI_MAX_FILE_BYTES)
        return AnswerString(std::nullopt, lpDefault, value, nSize);
    return AnswerString(LookUp(Decode(data, nullptr), section, key), lpDefault, value, nSize);
}

UINT GetProfileIntFromData(const QByteArray& data, const QString& section, const QString& key, int nDefault)
{
    if (data.size() > INI_MAX_FILE_BYTES)
        return static_cast<UINT>(nDefault);
    return AnswerInt(LookUp(Decode(data, nullptr), section, key), nDefault);
}

DWORD GetPrivateProfileStringW(const QString& section, const QString& key, const QString& lpDefault,
                               QString& value, DWORD nSize, const QString& fileName)
{
    return AnswerString(LookUp(ReadText(fileName), section, key), lpDefault, value, nSize);
}

UINT GetPrivateProfileIntW(const QString& section, const QString& key, int nDefault, const QString& fileName)
{
    return AnswerInt(LookUp(ReadText(fileName), section, key), nDefault);
}

namespace {

// The file's lines without their line ends.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    lines = text.split(u'\n');
    if (text.endsWith(u'\n'))
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

// Where a key stands, or where it would go, in the first section of a name.
struct EntryPlace {
    qsizetype nSectionLine = -1;
    qsizetype nLastContent = -1; // last non-blank line of the section
    qsizetype nKeyLine = -1;
};

EntryPlace FindEntry(const QStringList& lines, const QString& section, const QString& key)
{
    EntryPlace at;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = Trim(lines[i]);
        if (const auto name = SectionName(line)) {
            if (at.nSectionLine >= 0)
                break;
            if (bSameName(*name, Trim(section)))
                at.nSectionLine = at.nLastContent = i;
            continue;
        }
        if (at.nSectionLine < 0 || line.isEmpty())
            continue;
        at.nLastContent = i;
        if (line.startsWith(u';'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && bSameName(Trim(line.left(eq)), Trim(key))) {
            at.nKeyLine = i;
            break;
        }
    }
    return at;
}

// Replaces the key's line, adds it to its section, or adds the section.
void vPlaceEntry(QStringList& lines, const EntryPlace& at, const QString& section, const QString& entry)
{
    if (at.nKeyLine >= 0) {
        lines[at.nKeyLine] = entry;
    } else if (at.nSectionLine >= 0) {
        lines.insert(at.nLastContent + 1, entry);
    } else {
        if (!lines.isEmpty() && !Trim(lines.last()).isEmpty())
            lines.append(QString());
        lines.append(u'[' + section.trimmed() + u']');
        lines.append(entry);
    }
}

// Written beside the old file and renamed over it: a failure keeps the old one.
BOOL bWriteAtomically(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return FALSE;
    return out.commit() ? TRUE : FALSE;
}

} // namespace

BOOL WritePrivateProfileStringW(const QString& section, const QString& key, const QString& value,
                                const QString& fileName)
{
    // Line breaks or a stray '=' / ']' would change the file's structure.
    if (fileName.isEmpty() || key.trimmed().isEmpty() || bHasLineBreak(section) || bHasLineBreak(key)
        || bHasLineBreak(value) || key.contains(u'=') || section.contains(u']'))
        return FALSE;

    QByteArray data;
    bool bExists = false;
    if (!bReadFileBounded(fileName, data, &bExists))
        return FALSE;
    IniEncoding enc = IniEncoding::Utf8;
    const QString text = Decode(data, &enc);
    const QString eol = text.contains(u"\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");

    QStringList lines = SplitLines(text);
    vPlaceEntry(lines, FindEntry(lines, section, key), section, key.trimmed() + u'=' + value);
    return bWriteAtomically(fileName, Encode(lines.join(eol) + eol, enc));
}
