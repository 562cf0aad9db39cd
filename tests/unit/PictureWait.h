// Runs the event loop until the decoding worker has delivered every picture
// asked for: its results come as queued calls, so each wakes the loop.
#pragma once

#include "platform/image/PictureDecoder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

inline bool bWaitForPictures(int nMs = 10000)
{
    const QDeadlineTimer deadline(nMs);
    QTimer alarm; // wakes the loop once the deadline has passed
    alarm.setSingleShot(true);
    alarm.start(nMs);
    while (CPictureDecoder::Instance().nOutstanding() > 0) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
