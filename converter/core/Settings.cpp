#include "core/Settings.h"

#include "core/NumberText.h"

#include <QSettings>
#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("CONFIG");
const QString kInputPath = QStringLiteral("InputPath");
const QString kOutputPath = QStringLiteral("OutputPath");
const QString kQuality = QStringLiteral("Quality");
const QString kDel = QStringLiteral("Del");

// A stored number: the decimal number its text begins with, 0 when none.
int storedNumber(const QSettings& store, const QString& key) { return NumberAtStart(store.value(key).toString()); }

// The user's own store: an INI file on Linux, the user's registry hive on
// Windows (HKEY_CURRENT_USER\Software\Framewright\Framewright). A store
// named by a file is an INI file everywhere, as the tests use.
#ifdef Q_OS_WIN
constexpr QSettings::Format kUserFormat = QSettings::NativeFormat;
#else
constexpr QSettings::Format kUserFormat = QSettings::IniFormat;
#endif

QSettings::Format formatOf(const QString& store)
{
    return store.startsWith(QStringLiteral("\\HKEY_")) || store.startsWith(QStringLiteral("HKEY_"))
               ? QSettings::NativeFormat
               : QSettings::IniFormat;
}

} // namespace

QString Settings::defaultFile()
{
    return QSettings(kUserFormat, QSettings::UserScope, QStringLiteral("Framewright"), QStringLiteral("Framewright"))
        .fileName();
}

std::optional<Settings> Settings::load(const QString& file)
{
    QSettings store(file, formatOf(file));
    store.beginGroup(kGroup);
    Settings s;
    s.inputPath = store.value(kInputPath).toString();
    // Without an input directory the other keys are not read at all: the
    // window keeps the states its controls start with.
    if (s.inputPath.isEmpty())
        return std::nullopt;
    s.outputPath = store.value(kOutputPath).toString();
    s.quality = std::clamp(storedNumber(store, kQuality), 0, 100);
    s.deleteAfterConversion = storedNumber(store, kDel) == 1;
    return s;
}

bool Settings::save(const QString& file) const
{
    QSettings store(file, formatOf(file));
    store.beginGroup(kGroup);
    store.setValue(kInputPath, inputPath);
    store.setValue(kOutputPath, outputPath);
    store.setValue(kQuality, QString::number(quality));
    store.setValue(kDel, QString::number(deleteAfterConversion ? 1 : 0));
    store.endGroup();
    store.sync(); // the program may end right after this
    return store.status() == QSettings::NoError;
}
