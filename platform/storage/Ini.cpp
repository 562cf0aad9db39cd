// Private-profile INI reading and writing; the rules mirror the Windows
// profile functions so that files written for them read the same here.
#include "platform/storage/Ini.h"

#include "platform/storage/SafeFile.h"

#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <vector>

#include <optional>

namespace {

enum class IniEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

// A byte-order mark counts as blank wherever a line holds one, so that the
// reader and the line editor agree on a file with one in the middle.
BOOL bIsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0xFEFF;
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

BOOL bSameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

IniEncoding Sniff(const QByteArray& raw)
{
    if (raw.startsWith("\xEF\xBB\xBF"))
        return IniEncoding::Utf8Bom;
    if (raw.startsWith("\xFF\xFE"))
        return IniEncoding::Utf16Le;
    if (raw.startsWith("\xFE\xFF"))
        return IniEncoding::Utf16Be;
    return IniEncoding::Utf8;
}

qsizetype MarkSize(IniEncoding enc)
{
    return enc == IniEncoding::Utf8Bom ? 3 : enc == IniEncoding::Utf8 ? 0 : 2;
}

// Bytes after the byte-order mark in a known encoding.
QString DecodeAs(const char* data, qsizetype size, IniEncoding enc)
{
    if (enc == IniEncoding::Utf8 || enc == IniEncoding::Utf8Bom)
        return QString::fromUtf8(data, size);
    const qsizetype nUnits = size / 2; // an odd last byte is dropped
    QString text(nUnits, Qt::Uninitialized);
    if (enc == IniEncoding::Utf16Le)
        qFromLittleEndian<quint16>(data, nUnits, text.data());
    else
        qFromBigEndian<quint16>(data, nUnits, text.data());
    return text;
}

QString Decode(const QByteArray& raw)
{
    const IniEncoding enc = Sniff(raw);
    const qsizetype nMark = MarkSize(enc);
    return DecodeAs(raw.constData() + nMark, raw.size() - nMark, enc);
}

// Text in a known encoding, without a byte-order mark: the file keeps its own.
QByteArray Encode(const QString& text, IniEncoding enc)
{
    switch (enc) {
    case IniEncoding::Utf8:
    case IniEncoding::Utf8Bom:
        return text.toUtf8();
    case IniEncoding::Utf16Le:
    case IniEncoding::Utf16Be: {
        QByteArray out(text.size() * 2, Qt::Uninitialized);
        if (enc == IniEncoding::Utf16Le)
            qToLittleEndian<quint16>(text.utf16(), text.size(), out.data());
        else
            qToBigEndian<quint16>(text.utf16(), text.size(), out.data());
        return out;
    }
    }
    return {};
}

// Reads the whole file when it exists and is small enough; a missing file, or
// anything that is not a regular file, is "no data" (TRUE with empty
// content); an unreadable or oversized one fails.
BOOL bReadFileBounded(const QString& fileName, QByteArray& data, bool* pExists)
{
    const FileRead r = ReadRegularFile(fileName, data, INI_MAX_FILE_BYTES);
    *pExists = r != FileRead::Missing;
    return r == FileRead::Ok || r == FileRead::Missing ? TRUE : FALSE;
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
    return Decode(data);
}

BOOL bHasLineBreak(const QString& s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

} // namespace

DWORD GetProfileStringFromData(const QByteArray& data, const QString& section, const QString& key,
                               const QString& lpDefault, QString& value, DWORD nSize)
{
    if (data.size() > INI_MAX_FILE_BYTES)
        return AnswerString(std::nullopt, lpDefault, value, nSize);
    return AnswerString(LookUp(Decode(data), section, key), lpDefault, value, nSize);
}

UINT GetProfileIntFromData(const QByteArray& data, const QString& section, const QString& key, int nDefault)
{
    if (data.size() > INI_MAX_FILE_BYTES)
        return static_cast<UINT>(nDefault);
    return AnswerInt(LookUp(Decode(data), section, key), nDefault);
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

// One line of the file as stored: its bytes with the line end, and its text
// without it (for finding things only; the bytes are what is written back).
struct RawLine {
    QByteArray raw;
    QString text;
    bool bHasEnd = false;
    bool bCrLf = false;
};

// The file cut into lines without decoding anything for good: lines the
// writer does not change go back byte for byte, in whatever encoding.
struct RawFile {
    IniEncoding enc = IniEncoding::Utf8;
    QByteArray head; // byte-order mark
    std::vector<RawLine> lines;
    QByteArray tail; // an odd last byte of a UTF-16 file
};

RawFile SplitRaw(const QByteArray& data)
{
    RawFile file;
    file.enc = Sniff(data);
    const qsizetype nHead = MarkSize(file.enc);
    file.head = data.left(nHead);
    const qsizetype nUnit = file.enc == IniEncoding::Utf16Le || file.enc == IniEncoding::Utf16Be ? 2 : 1;
    qsizetype end = data.size();
    if ((end - nHead) % nUnit != 0) {
        file.tail = data.right(1);
        --end;
    }
    const bool bLittle = file.enc == IniEncoding::Utf16Le;
    qsizetype start = nHead;
    for (qsizetype i = nHead; i < end; i += nUnit) {
        const bool bNewLine = nUnit == 1 ? data[i] == '\n'
                                         : data[i + (bLittle ? 0 : 1)] == '\n' && data[i + (bLittle ? 1 : 0)] == '\0';
        if (!bNewLine && i + nUnit < end)
            continue;
        RawLine line;
        line.raw = data.mid(start, i + nUnit - start);
        line.bHasEnd = bNewLine;
        QString text = DecodeAs(line.raw.constData(), line.raw.size(), file.enc);
        if (text.endsWith(u'\n'))
            text.chop(1);
        if (text.endsWith(u'\r')) {
            text.chop(1);
            line.bCrLf = bNewLine;
        }
        line.text = text;
        file.lines.push_back(std::move(line));
        start = i + nUnit;
    }
    return file;
}

// The line's own end, empty for a last line without one.
QString EndOf(const RawLine& line)
{
    if (!line.bHasEnd)
        return {};
    return line.bCrLf ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

// The line end the file already uses.
QString LineEnd(const RawFile& file)
{
    for (const RawLine& line : file.lines)
        if (line.bHasEnd)
            return EndOf(line);
    return QStringLiteral("\n");
}

RawLine NewLine(const RawFile& file, const QString& text, const QString& eol)
{
    return RawLine{Encode(text + eol, file.enc), text, true, eol.size() == 2};
}

void vEndLine(const RawFile& file, RawLine& line, const QString& eol)
{
    if (!line.bHasEnd) {
        line.raw += Encode(eol, file.enc);
        line.bHasEnd = true;
        line.bCrLf = eol.size() == 2;
    }
}

QStringList Texts(const RawFile& file)
{
    QStringList texts;
    for (const RawLine& line : file.lines)
        texts.append(line.text);
    return texts;
}

QByteArray Join(const RawFile& file)
{
    QByteArray out = file.head;
    for (const RawLine& line : file.lines)
        out += line.raw;
    return out + file.tail;
}

} // namespace

BOOL bSetProfileStringInData(QByteArray& data, const QString& section, const QString& key, const QString& value)
{
    RawFile file = SplitRaw(data);
    const QString eol = LineEnd(file);
    const QString entry = key.trimmed() + u'=' + value;
    const EntryPlace at = FindEntry(Texts(file), section, key);
    if (at.nKeyLine >= 0) {
        RawLine& line = file.lines[static_cast<size_t>(at.nKeyLine)];
        const QStringView current = Trim(QStringView(line.text).mid(line.text.indexOf(u'=') + 1));
        if (current == value)
            return FALSE;
        line = RawLine{Encode(entry + EndOf(line), file.enc), entry, line.bHasEnd, line.bCrLf};
    } else if (at.nSectionLine >= 0) {
        const auto after = static_cast<size_t>(at.nLastContent);
        vEndLine(file, file.lines[after], eol);
        file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(after) + 1, NewLine(file, entry, eol));
    } else {
        if (!file.lines.empty()) {
            vEndLine(file, file.lines.back(), eol);
            if (!Trim(file.lines.back().text).isEmpty())
                file.lines.push_back(NewLine(file, QString(), eol));
        }
        file.lines.push_back(NewLine(file, u'[' + section.trimmed() + u']', eol));
        file.lines.push_back(NewLine(file, entry, eol));
    }
    data = Join(file);
    return TRUE;
}

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
    if (!bExists && QFileInfo::exists(fileName))
        return FALSE; // a folder, FIFO or device stands under the file's name
    if (!bSetProfileStringInData(data, section, key, value))
        return TRUE; // the value is already there: nothing to write
    return bReplaceFile(fileName, data);
}
