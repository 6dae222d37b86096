#pragma once

#include "pages/artwork_ids.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quorvel {

// A menu bitmap of 16 by 16 pixels (times the device pixel ratio), light grey made transparent.
// A null pixmap when there is no bitmap of that id.
QPixmap MenuBitmap(int id, qreal devicePixelRatio = 1.0);

// A notification-area icon, rendered sharply at every size a tray may ask for.
QIcon TrayIcon(int id);

// A full-size picture at its own size; a null image when there is none.
QImage Picture(int id);

} // namespace quorvel
