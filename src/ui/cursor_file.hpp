#pragma once

#include <QCursor>
#include <QString>

#include "base/cursor_header.hpp"

namespace gantrylux {

// A pointer from a cursor or icon file, its hot spot as the file gives it (Qt's own image
// readers drop it). Throws when the file cannot be read as one.
QCursor LoadCursorFile(const QString& path);

}  // namespace gantrylux
