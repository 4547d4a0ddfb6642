#include "ui/qt_settings_store.hpp"

#include <QStringList>
#include <stdexcept>

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

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(OpenUserStore()) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

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
