// Decoded gallery pictures, already scaled to their cell, kept between paints
// and checked against the file's size and modification time at every look-up,
// so a picture changed on disk shows its new look. Bounded in bytes.
#pragma once

#include "platform/image/Bitmap32.h"
#include "platform/storage/FileStamp.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>

class CPictureCache {
public:
    explicit CPictureCache(std::size_t nBound = 8u << 20);
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // The picture at strPath scaled to w x h without smoothing; null when it
    // is no readable PNG (a folder, a truncated, oversized or foreign file).
    const CBitmap32* Find(const QString& strPath, int w, int h);
    void vClear();

    std::size_t Bytes() const { return nBytes; }
    std::size_t Count() const { return entries.size(); }
    // How many files were decoded so far (cache misses).
    int Decodes() const { return nDecodes; }

private:
    struct Entry {
        SFileStamp stamp;
        BOOL bDecoded = FALSE;
        CBitmap32 picture;
        std::list<QString>::iterator lru;
    };

    static QString Key(const QString& strPath, int w, int h);
    void vLoad(Entry& entry, const QString& strPath, int w, int h);
    void vTrim();

    std::map<QString, Entry> entries;
    std::list<QString> order; // most recently used first
    std::size_t nMaxBytes;
    std::size_t nBytes = 0;
    int nDecodes = 0;
};
