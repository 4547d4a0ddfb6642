#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace gantrylux::testing {

// The whole content of a file, or nothing when it cannot be read.
inline QByteArray FileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace gantrylux::testing
