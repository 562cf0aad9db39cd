// Decoded pictures at the size they are shown, kept between paints and
// checked against the file's size and modification time at every look-up,
// so a picture changed on disk shows its new look. Decoding happens on the
// decoding worker: a look-up that misses asks for it and answers "pending";
// fnArrived tells when the picture (or its failure) is there. A file that
// does not decode is remembered as such until it changes. Bounded in bytes.
#pragma once

#include "platform/image/PictureDecoder.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>

enum class PictureState { Pending, Ready, Failed };

struct SPictureFound {
    PictureState state = PictureState::Failed;
    // Changes whenever the entry gets a new picture.
    std::uint64_t nSerial = 0;
    // The ready picture, for a holder that keeps it past the look-up.
    std::shared_ptr<const CBitmap32> picture;
};

class CPictureCache : public CPictureSink {
public:
    explicit CPictureCache(std::size_t nBound = 8u << 20);

    // The picture at strPath scaled to w x h (0 x 0: its own size) without
    // smoothing; null while it is being decoded and when it is no readable
    // PNG (a folder, a truncated, oversized or foreign file) or missing.
    // bUrgent puts its decode before the others waiting.
    const CBitmap32* Find(const QString& strPath, int w, int h, SPictureFound* pFound = nullptr, BOOL bUrgent = FALSE);

    // Window's thread: a picture asked for arrived, decoded or not.
    std::function<void(const QString& strPath)> fnArrived;

    // How many decodes were asked for so far (misses).
    int Decodes() const { return nDecodes; }

    void vPictureDecoded(SDecodedPicture& decoded) override;

private:
    struct Entry {
        SFileStamp stamp;
        PictureState state = PictureState::Pending;
        std::uint64_t nSerial = 0;
        std::shared_ptr<const CBitmap32> picture = std::make_shared<const CBitmap32>();
        std::list<QString>::iterator lru;
    };

    static QString Key(const QString& strPath, int w, int h);
    Entry& Touch(const QString& key);
    void vSetPicture(Entry& entry, CBitmap32 picture, PictureState state);
    void vTrim();

    std::map<QString, Entry> entries;
    std::list<QString> order; // most recently used first
    std::size_t nMaxBytes;
    std::size_t nBytes = 0;
    int nDecodes = 0;
    std::uint64_t nNextSerial = 1;
};
