// The gallery's cache of scaled pictures, keyed by path and cell size and
// checked against the file's size and modification time.
#include "gallery/PictureCache.h"

#include "platform/image/PngImage.h"
#include "platform/ui/DC.h"


CPictureCache::CPictureCache(std::size_t nBound) : nMaxBytes(nBound) {}

QString CPictureCache::Key(const QString& strPath, int w, int h)
{
    return QStringLiteral("%1x%2:").arg(w).arg(h) + strPath;
}

const CBitmap32* CPictureCache::Find(const QString& strPath, int w, int h)
{
    const SFileStamp stamp = SFileStamp::Of(strPath);

    const QString key = Key(strPath, w, h);
    auto it = entries.find(key);
    if (it == entries.end()) {
        it = entries.emplace(key, Entry{}).first;
        order.push_front(key);
        it->second.lru = order.begin();
    } else {
        order.splice(order.begin(), order, it->second.lru);
    }
    Entry& entry = it->second;
    if (entry.stamp != stamp) {
        nBytes -= entry.picture.PixelCount() * 4;
        entry.picture.vRelease();
        entry.bDecoded = FALSE;
        entry.stamp = stamp;
        if (stamp.bIsFile())
            vLoad(entry, strPath, w, h);
        nBytes += entry.picture.PixelCount() * 4;
    }
    const CBitmap32* result = entry.bDecoded ? &entry.picture : nullptr;
    vTrim();
    return result;
}

void CPictureCache::vLoad(Entry& entry, const QString& strPath, int w, int h)
{
    ++nDecodes;
    // The full-size picture lives only for this call.
    CBitmap32 decoded;
    if (!CPngImage::bDecodeFile(strPath, decoded) || !entry.picture.bCreate(w, h))
        return;
    // Stretched without smoothing onto a transparent surface: the copy is the
    // picture itself at the cell's size.
    CDC dc(&entry.picture);
    const RECT rc{0, 0, w, h};
    entry.bDecoded = dc.AlphaBlendStretch(&rc, decoded, FALSE);
}

void CPictureCache::vTrim()
{
    // The entry just used stays even when it alone exceeds the bound.
    while (nBytes > nMaxBytes && order.size() > 1) {
        auto victim = entries.find(order.back());
        nBytes -= victim->second.picture.PixelCount() * 4;
        entries.erase(victim);
        order.pop_back();
    }
}

void CPictureCache::vClear()
{
    entries.clear();
    order.clear();
    nBytes = 0;
}
