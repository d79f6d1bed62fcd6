#include "engine/ConversionRun.h"

#include "engine/cDIBSection.h"
#include "engine/mFileOp.h"
#include "engine/mIntelJPEGLibrary.h"
#include "engine/SafeFile.h"
#include "engine/platform/Picture.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {

const QString kErrorTitle = QStringLiteral("Error");
constexpr int kLastNumber = 9999; // candidates run from 0000 to 9998
constexpr int kJpegWaitMs = 1500;
constexpr int kDeleteWaitMs = 5000;
constexpr int kAfterCreateMs = 500;

QString candidateName(const QString& outputPath, const QString& prefix, int n)
{
    return outputPath + prefix + QStringLiteral("%1").arg(n, 4, 10, QChar('0')) + QStringLiteral(".JPG");
}

// "path: reason" from the loader becomes "reason": the line names the file.
QString reasonOf(const std::exception& e, const QString& path)
{
    QString text = QString::fromStdString(e.what());
    const QString prefix = path + QStringLiteral(": ");
    if (text.startsWith(prefix))
        text.remove(0, prefix.size());
    return text;
}

void addLine(RunHost& host, const QString& line)
{
    host.addInfo(line);
    host.selectLastInfo();
}

enum class FileResult { Converted, Skipped, Failed };

// One file, from the listed name to its JPEG (and the deletion of the
// bitmap when asked). The image is shared by the whole run.
FileResult convertFile(RunHost& host, cDIBSection& image, const QString& name,
                       const QString& source, const QString& candidate, int quality)
{
    addLine(host, name);
    host.processEvents();

    StdPicture picture;
    try {
        picture = LoadPicture(source);
    } catch (const std::exception& e) {
        // A bitmap that vanished or cannot be read costs nothing but itself.
        addLine(host, name + QStringLiteral(" skipped: ") + reasonOf(e, source));
        return FileResult::Skipped;
    }
    host.processEvents();

    image.CreateFromPicture(std::move(picture));
    host.processEvents();

    bool written = false;
    try {
        written = SaveToJPG(image, candidate, quality);
    } catch (const std::exception&) {
        written = false;
    }
    if (!written) {
        image.ClearUp();
        picture.Release();
        host.showMessage(QStringLiteral("Conversion failed: '") + candidate + QStringLiteral("'"),
                         MsgIcon::Warning, QString());
        return FileResult::Failed;
    }

    host.processEvents();
    mFileOp::WaitForFile(candidate, kJpegWaitMs);
    image.ClearUp();
    picture.Release();
    host.processEvents();

    if (host.deleteChecked()) {
        // The original goes only once its JPEG is there and safely on disk.
        if (mFileOp::FileExists(candidate) && SafeFile::flushToDisk(candidate)) {
            QFile::remove(source);
            mFileOp::WaitWhileFileExists(source, kDeleteWaitMs);
        } else {
            addLine(host, name + QStringLiteral(" kept: its JPEG could not be confirmed"));
        }
    }
    return FileResult::Converted;
}

} // namespace

QString GetNamePrefix(const QString& fileName)
{
    return fileName.size() > 8 ? fileName.left(fileName.size() - 8) : QString();
}

int NumberAtStart(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(0).trimmed().toDouble();
    return static_cast<int>(std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0)));
}

bool ValidateProcess(RunHost& host)
{
    for (;;) {
        const QString input = host.inputPath();
        const QString output = host.outputPath();
        if (!mFileOp::DirExists(input)) {
            host.showMessage(input + QStringLiteral(" doesn't exist !"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        if (mFileOp::DirExists(output))
            return true;

        const QString question = QStringLiteral("The following directory doesn't exist:") + MsgLineBreak()
            + output + MsgLineBreak() + QStringLiteral("Would you like to create it ?");
        if (!host.askYesNo(question, MsgIcon::Information, QString())) {
            host.showMessage(output + QStringLiteral(" doesn't exist !"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        if (!host.createDirectory(output)) {
            host.showMessage(QStringLiteral("Une erreur est survenue"), MsgIcon::Information, kErrorTitle);
            return false;
        }
        host.pause(kAfterCreateMs);
    }
}

bool RunConversion(RunHost& host)
{
    if (!ValidateProcess(host))
        return false;

    host.clearInfo();
    host.addInfo(QStringLiteral("Processing:"));
    host.saveSettings();
    host.disableControls();
    const int quality = NumberAtStart(host.qualityCaption());
    host.processEvents();

    cDIBSection image;
    const int last = host.fileCount() - 1;
    for (int j = 0; j <= last; ++j) {
        const int count = host.fileCount();
        if (j >= count)
            break; // the list shrank under us: nothing left to read
        if (count > 1) {
            const double share = static_cast<double>(j) / (count - 1);
            host.setForeX2(static_cast<float>(host.foreX1() + (host.backX2() - host.backX1()) * share));
        }

        const QString name = host.fileName(j);
        if (name.size() <= 8)
            continue;
        const QString source = host.inputPath() + name;
        const auto length = mFileOp::FileLength(source);
        if (!length) {
            addLine(host, name + QStringLiteral(" skipped: file not found"));
            continue;
        }
        if (*length < kMinBitmapBytes)
            continue;

        const QString prefix = GetNamePrefix(name);
        const QString output = host.outputPath();
        for (int n = 0; n < kLastNumber; ++n) {
            const QString candidate = candidateName(output, prefix, n);
            if (mFileOp::FileExists(candidate))
                continue;
            if (convertFile(host, image, name, source, candidate, quality) == FileResult::Failed) {
                // The controls come back so the window is usable after the
                // message; the closing steps of a complete run are not taken.
                host.enableControls();
                return false;
            }
            break;
        }
    }

    host.restoreWindow();
    addLine(host, QStringLiteral("Done."));
    host.enableControls();
    return true;
}
