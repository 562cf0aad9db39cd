// The presenter's options that the option record has no room for: pointer
// size, switch balloons and click rings. They live in Config.ini, section
// "Options", each key rewritten in place when it changes.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CPresenterOptions {
public:
    static constexpr int nSizeMin = 25;
    static constexpr int nSizeMax = 400;
    static constexpr int nSizeDefault = 100;
    static constexpr int nSizeStep = 5;

    // Reads the section; absent or unreadable values keep their defaults,
    // and a size out of range is held to it.
    void vLoad(const QString& strConfigFile);
    // Each setter stores the value and writes its key; FALSE when the file
    // could not be written (the value is kept in memory all the same).
    BOOL bSetPointerSize(int nPercent);
    BOOL bSetAnnounceSwitching(BOOL bOn);
    BOOL bSetShowClicks(BOOL bOn);

    // A size held to the range and to whole steps.
    static int nNormalSize(int nPercent);

    int nPointerSize = nSizeDefault;   // percent of the picture's size
    BOOL bAnnounceSwitching = TRUE;    // a balloon at each switch of the pointer
    BOOL bShowClicks = FALSE;          // a ring at each left or right press
    QString strConfigFile;

private:
    BOOL bWrite(const QString& key, int nValue) const;
};
