#include "ui/qt_settings_store.hpp"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <algorithm>
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
    // The XDG rules say a relative XDG_CONFIG_HOME is to be ignored: it would put the file
    // wherever the program happened to be started.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    if (!configHome.isEmpty() && !configHome.startsWith('/')) {
        return std::make_unique<QSettings>(
            QFile::decodeName(qgetenv("HOME")) + QStringLiteral("/.config/Quillmere.ini"),
            QSettings::IniFormat);
    }
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

// QSettings does not tell why a write failed. Retracing its steps tells: it reads the file,
// writes the new contents to a fresh file beside it and renames that over the old one.
std::string WriteFailure(const QString& path) {
    if (auto reason = FileReadFailure(path)) {
        return *reason;
    }
    QFile existing(path);
    if (existing.exists() && !existing.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return existing.errorString().toStdString();
    }
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.probe-XXXXXX"));
    if (!probe.open()) {
        return probe.errorString().toStdString();
    }
    // A full disk shows only when the bytes are written.
    const QByteArray contents(std::max<qint64>(QFileInfo(path).size(), 0) + 4096, ' ');
    if (probe.write(contents) != contents.size() || !probe.flush()) {
        return probe.errorString().toStdString();
    }
    return "the file was not replaced";
}

}  // namespace

QtSettingsStore::FileStamp QtSettingsStore::Stamp(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return {};
    }
#ifdef Q_OS_UNIX
    return {true,
            static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec),
            static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
#else
    return {true,
            static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtime),
            0};
#endif
}

namespace {

// A hand-edited INI line with unquoted commas reads back as a list; keep its text.
QString Text(const QVariant& value) {
    return value.typeId() == QMetaType::QStringList
               ? value.toStringList().join(QStringLiteral(", "))
               : value.toString();
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(OpenUserStore()) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : QtSettingsStore(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

// The stamp is taken before QSettings reads the file: a change in between then shows as one.
QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : seen_(Stamp(settings->fileName())),
      settings_(std::move(settings)),
      readFailure_(ReadFailure(*settings_)) {}

std::string QtSettingsStore::read(std::string_view key, std::string_view defaultText) const {
    const QVariant value = settings_->value(Key(key));
    return value.isValid() ? Text(value).toStdString() : std::string(defaultText);
}

void QtSettingsStore::write(std::string_view key, std::string_view text) {
    const QString name = Key(key);
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    // The text already stored: writing it would change nothing but rewrite the whole file,
    // and fail where the file cannot be written. The copy in memory tells what the file holds
    // only while the file is the one last read or written here: another window of the program
    // may have replaced it since, and its close must still leave this window's text stored.
    const QVariant stored = settings_->value(name);
    if (!unsaved_ && stored.isValid() && Text(stored) == value &&
        Stamp(settings_->fileName()) == seen_) {
        return;
    }
    settings_->setValue(name, value);
    unsaved_ = !syncReachedStore();
    if (unsaved_) {
        throw std::runtime_error("Cannot write the settings to " +
                                 settings_->fileName().toStdString() + ": " +
                                 WriteFailure(settings_->fileName()));
    }
}

// QSettings keeps its first error for the rest of its life: after one line that did not parse,
// or one write that failed, its status says nothing of the writes that follow. The file does.
bool QtSettingsStore::syncReachedStore() {
    if (settings_->format() != QSettings::IniFormat) {
        settings_->sync();  // the registry: no file to look at, and no line to misread
        return settings_->status() == QSettings::NoError;
    }
    const FileStamp before = Stamp(settings_->fileName());
    settings_->sync();
    seen_ = Stamp(settings_->fileName());
    return seen_ != before;
}

}  // namespace gantrylux
