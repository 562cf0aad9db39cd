// The cache of decoded pictures, keyed by path and size and checked against
// the file's size and modification time.
#include "platform/image/PictureCache.h"

CPictureCache::CPictureCache(std::size_t nBound) : nMaxBytes(nBound) {}

QString CPictureCache::Key(const QString& strPath, int w, int h)
{
    return QStringLiteral("%1x%2:").arg(w).arg(h) + strPath;
}

CPictureCache::Entry& CPictureCache::Touch(const QString& key)
{
    auto it = entries.find(key);
    if (it == entries.end()) {
        it = entries.emplace(key, Entry{}).first;
        order.push_front(key);
        it->second.lru = order.begin();
        it->second.stamp.nSize = -2; // matches no file and no missing file
    } else {
        order.splice(order.begin(), order, it->second.lru);
    }
    return it->second;
}

void CPictureCache::vSetPicture(Entry& entry, CBitmap32 picture, PictureState state)
{
    nBytes -= entry.picture->PixelCount() * 4;
    entry.picture = std::make_shared<const CBitmap32>(std::move(picture));
    nBytes += entry.picture->PixelCount() * 4;
    entry.state = state;
    entry.nSerial = nNextSerial++;
}

const CBitmap32* CPictureCache::Find(const QString& strPath, int w, int h, SPictureFound* pFound, BOOL bUrgent)
{
    const SFileStamp stamp = SFileStamp::Of(strPath);
    Entry& entry = Touch(Key(strPath, w, h));
    if (entry.stamp != stamp) {
        entry.stamp = stamp;
        // A missing file needs no worker to fail.
        vSetPicture(entry, CBitmap32(), stamp.bIsFile() ? PictureState::Pending : PictureState::Failed);
        if (stamp.bIsFile()) {
            ++nDecodes;
            CPictureDecoder::Instance().vRequest(this, strPath, stamp, w, h, bUrgent);
        }
    }
    const bool bReady = entry.state == PictureState::Ready;
    if (pFound)
        *pFound = {entry.state, entry.nSerial, bReady ? entry.picture : nullptr};
    const CBitmap32* result = bReady ? entry.picture.get() : nullptr;
    vTrim();
    return result;
}

void CPictureCache::vPictureDecoded(SDecodedPicture& decoded)
{
    const auto it = entries.find(Key(decoded.strPath, decoded.nWidth, decoded.nHeight));
    // Gone from the cache, or asked for again since: a newer result follows.
    if (it == entries.end() || it->second.stamp != decoded.stamp || it->second.state != PictureState::Pending)
        return;
    Entry& entry = it->second;
    order.splice(order.begin(), order, entry.lru);
    const BOOL bOk = decoded.result == PngResult::Ok;
    vSetPicture(entry, bOk ? std::move(decoded.picture) : CBitmap32(), bOk ? PictureState::Ready : PictureState::Failed);
    vTrim();
    if (fnArrived)
        fnArrived(decoded.strPath);
}

void CPictureCache::vTrim()
{
    // Only decoded pictures hold bytes: an entry still waiting, or one that
    // remembers a failure, stays. So does the entry just used, even when it
    // alone exceeds the bound.
    if (order.empty())
        return;
    auto victim = std::prev(order.end());
    while (nBytes > nMaxBytes && victim != order.begin()) {
        const auto before = std::prev(victim);
        const auto entry = entries.find(*victim);
        if (entry->second.state == PictureState::Ready) {
            nBytes -= entry->second.picture->PixelCount() * 4;
            entries.erase(entry);
            order.erase(victim);
        }
        victim = before;
    }
}
