#include "platform/gnome/GnomeOverlay.h"

#include "platform/gnome/GnomeShellLink.h"
#include "platform/instance/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the pixels to a new file of mode 0600 in folder and renames it over
// the picture's name, so that the extension never reads a half-written one
// and nobody else can read it at all.
BOOL bWritePicture(const QString& strFolder, const QString& strPath, const CBitmap32& bitmap)
{
    QByteArray tmp = QFile::encodeName(strFolder + QStringLiteral("/lumicue-pointer.XXXXXX"));
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    const char* p = reinterpret_cast<const char*>(bitmap.Bits());
    std::size_t nLeft = bitmap.PixelCount() * 4;
    BOOL bOk = fchmod(fd, 0600) == 0;
    while (bOk && nLeft > 0) {
        const ssize_t n = write(fd, p, nLeft);
        if (n < 0 && errno == EINTR)
            continue;
        bOk = n > 0;
        if (bOk) {
            p += n;
            nLeft -= static_cast<std::size_t>(n);
        }
    }
    bOk = (close(fd) == 0) && bOk;
    if (bOk)
        bOk = std::rename(tmp.constData(), QFile::encodeName(strPath).constData()) == 0;
    if (!bOk)
        unlink(tmp.constData());
    return bOk;
}

} // namespace

CGnomeOverlay::CGnomeOverlay(CGnomeShellLink& shellLink) : link(shellLink) {}

CGnomeOverlay::~CGnomeOverlay()
{
    vDestroy();
}

unsigned long CGnomeOverlay::nCreate()
{
    return 1;
}

void CGnomeOverlay::vDestroy()
{
    vShow(FALSE);
    if (!strPicture.isEmpty())
        QFile::remove(strPicture);
    strPicture.clear();
    nWidth = nHeight = 0;
}

BOOL CGnomeOverlay::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    nAlpha = nConstantAlpha;
    nWidth = nHeight = 0;
    if (bitmap.IsEmpty()) {
        if (bShown)
            link.vHide();
        return TRUE;
    }
    const QString folder = GetRuntimeFolder();
    if (folder.isEmpty())
        return FALSE;
    strPicture = folder + QStringLiteral("/lumicue-pointer.bgra");
    if (!bWritePicture(folder, strPicture, bitmap))
        return FALSE;
    nWidth = bitmap.Width();
    nHeight = bitmap.Height();
    return bShown ? bSend() : TRUE;
}

void CGnomeOverlay::vShow(BOOL bShow)
{
    if (bShow && !bShown) {
        bShown = TRUE;
        bSend();
    } else if (!bShow && bShown) {
        bShown = FALSE;
        link.vHide();
    }
}

void CGnomeOverlay::vSetHotSpot(int x, int y)
{
    if (x == nHotX && y == nHotY)
        return;
    nHotX = x;
    nHotY = y;
    if (bShown)
        bSend();
}

BOOL CGnomeOverlay::bSend()
{
    // A window without content stays unmapped, as on the other routes.
    if (nWidth == 0 || nHeight == 0)
        return FALSE;
    return link.bShow(strPicture, nWidth, nHeight, nWidth * 4, nHotX, nHotY, nAlpha);
}
