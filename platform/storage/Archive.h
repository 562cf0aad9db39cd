// A storing or loading archive over a device (file or byte buffer) with the
// byte forms the option file uses: 32-bit little-endian integers and the
// length-prefixed string form. A failed read or write sets a flag that
// stays set; reads after a failure give zeros and empty strings.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

#include <cstdint>

class QIODevice;

class CArchive {
public:
    enum Mode { load, store };

    CArchive(QIODevice* device, Mode mode); // device: not null
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsStoring() const { return eMode == store; }
    // TRUE once any read ran short, a length was refused or a write failed.
    BOOL bFailed() const { return bFailure; }

    BOOL bWriteInt(std::int32_t value);
    // Always the wide form: FF FE FF, the length, UTF-16LE units.
    BOOL bWriteString(const QString& text);
    // The length prefix in its shortest form (1, 3, 7 or 15 bytes).
    BOOL bWriteStringLength(std::uint64_t length);

    BOOL bReadInt(std::int32_t& value);
    // Accepts the wide and the 8-bit form; 8-bit text is read as UTF-8,
    // or as Latin-1 when it is not valid UTF-8.
    BOOL bReadString(QString& text);

    // The schema of the object being loaded; taking it resets it to all
    // ones ("none given").
    UINT GetObjectSchema();
    void SetObjectSchema(UINT schema) { nObjectSchema = schema; }

private:
    BOOL bReadBytes(void* data, std::int64_t count);
    BOOL bWriteBytes(const void* data, std::int64_t count);
    BOOL bReadStringLength(std::uint32_t& length, BOOL& bWide);
    BOOL bReadLongLength(std::uint32_t word, std::uint32_t& length);
    std::int64_t nBytesLeft() const;
    BOOL bFail();

    QIODevice* pDevice;
    Mode eMode;
    BOOL bFailure = FALSE;
    UINT nObjectSchema = 0xFFFFFFFFu;
};
