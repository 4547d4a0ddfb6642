#include "ui/qt_settings_store.hpp"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <stdexcept>
#include <system_error>

namespace gantrylux {
namespace {

const QString kGroup = QStringLiteral("Gantrylux Software");

QString Key(std::string_view key) {
    return kGroup + QLatin1Char('/') +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

std::unique_ptr<QSettings> OpenUserStore() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Quillmere"),
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Quillmere"));
#endif
}

// The system's reason why the file cannot be read; nothing when it can, or when there is no
// file yet (QSettings then starts an empty one).
std::optional<std::string> FileReadFailure(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return std::nullopt;
    }
    if (QFileInfo(path).isDir()) {
        return std::make_error_code(std::errc::is_a_directory).message();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString().toStdString();
    }
    return std::nullopt;
}

// QSettings tells only that the store could not be read; the file itself tells why.
std::optional<std::string> ReadFailure(const QSettings& settings) {
    std::optional<std::string> reason;
    if (settings.format() == QSettings::IniFormat) {
        reason = FileReadFailure(settings.fileName());
    }
    if (!reason && settings.status() == QSettings::FormatError) {
        reason = "format error (a line that is neither a [section] nor key=value)";
    } else if (!reason && settings.status() == QSettings::AccessError) {
        reason = "access error";
    }
    if (!reason) {
        return std::nullopt;
    }
    return "Cannot read the settings from " + settings.fileName().toStdString() + ": " + *reason;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(OpenUserStore()), readFailure_(ReadFailure(*settings_)) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)),
      readFailure_(ReadFailure(*settings_)) {}

std::string QtSettingsStore::read(std::string_view key, std::string_view defaultText) const {
    const QVariant value = settings_->value(Key(key));
    if (!value.isValid()) {
        return std::string(defaultText);
    }
    // A hand-edited INI line with unquoted commas reads back as a list; keep its text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::write(std::string_view key, std::string_view text) {
    settings_->setValue(Key(key),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw std::runtime_error("Cannot write the settings to " +
                                 settings_->fileName().toStdString());
    }
}

}  // namespace gantrylux
