#include "platform/desktop/NoFollowRoute.h"

BOOL CNoFollowRoute::bCanFollow(QString& strWhy) const
{
    strWhy = QStringLiteral("this Wayland compositor does not tell programs where the pointer is");
    return FALSE;
}
