#include "detection/SteamLibrary.h"

#include "detection/PathMatch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SteamLibrary {

namespace {

constexpr auto kAppId = "70";

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString steamapps(const QString& library)
{
    const QString name = PathMatch::EntryIgnoringCase(library, QStringLiteral("steamapps"));
    return name.isEmpty() ? QString() : library + '/' + name;
}

} // namespace

QList<std::pair<QString, QString>> KeyValuePairs(const QString& text)
{
    // Tokens are quoted strings (with \\ \" \n \t escapes), braces, and
    // comments from // to the end of the line.
    enum class Kind { String, Open, Close };
    struct Token {
        Kind kind;
        QString text;
    };
    QList<Token> tokens;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '{') {
            tokens.append({Kind::Open, {}});
        } else if (c == '}') {
            tokens.append({Kind::Close, {}});
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '"') {
            QString s;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    const QChar e = text[++i];
                    s += e == 'n' ? QChar('\n') : e == 't' ? QChar('\t') : e;
                } else {
                    s += text[i];
                }
            }
            tokens.append({Kind::String, s});
        }
    }
    QList<std::pair<QString, QString>> pairs;
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind == Kind::String && tokens[i + 1].kind == Kind::String) {
            pairs.append({tokens[i].text, tokens[i + 1].text});
            ++i;
        }
    }
    return pairs;
}

QStringList SteamRoots(const QString& home)
{
    const QStringList candidates{
        home + QStringLiteral("/.steam/steam"),
        home + QStringLiteral("/.steam/root"),
        home + QStringLiteral("/.local/share/Steam"),
        home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam"),
        home + QStringLiteral("/.var/app/com.valvesoftware.Steam/data/Steam"),
        home + QStringLiteral("/snap/steam/common/.local/share/Steam"),
        home + QStringLiteral("/snap/steam/common/.steam/steam"),
    };
    QStringList roots;
    QStringList seen;
    for (const QString& candidate : candidates) {
        const QString canonical = QFileInfo(candidate).canonicalFilePath();
        if (canonical.isEmpty() || !QFileInfo(canonical).isDir() || seen.contains(canonical))
            continue;
        seen.append(canonical);
        roots.append(candidate);
    }
    return roots;
}

QStringList LibraryFolders(const QString& steamRoot)
{
    QStringList libraries{steamRoot};
    const QString apps = steamapps(steamRoot);
    if (apps.isEmpty())
        return libraries;
    // New layout: "libraryfolders" { "0" { "path" "/..." ... } }.
    // Old layout: "LibraryFolders" { "1" "/..." }.
    for (const auto& [key, value] : KeyValuePairs(readText(apps + QStringLiteral("/libraryfolders.vdf")))) {
        bool numeric = false;
        key.toInt(&numeric);
        // An absolute path of this system: "/mnt/games", or on Windows "D:\\SteamLibrary".
        const bool isPath =
            key.compare(QStringLiteral("path"), Qt::CaseInsensitive) == 0 || (numeric && QDir::isAbsolutePath(value));
        if (isPath && !libraries.contains(value))
            libraries.append(value);
    }
    return libraries;
}

Install HalfLifeInstall(const QString& library)
{
    const QString apps = steamapps(library);
    if (apps.isEmpty())
        return {};
    Install found;
    QString installDir = QStringLiteral("Half-Life");
    const QString manifest = apps + QStringLiteral("/appmanifest_%1.acf").arg(kAppId);
    for (const auto& [key, value] : KeyValuePairs(readText(manifest))) {
        if (key.compare(QStringLiteral("appid"), Qt::CaseInsensitive) == 0 && value == QLatin1String(kAppId))
            found.hasManifest = true;
        if (key.compare(QStringLiteral("installdir"), Qt::CaseInsensitive) == 0 && !value.isEmpty())
            installDir = value;
    }
    const QString install = PathMatch::FollowIgnoringCase(apps, {QStringLiteral("common"), installDir});
    if (!QFileInfo(install).isDir())
        return {};
    found.path = install;
    return found;
}

namespace {

// The mod folder (valve, cstrike, ...) of the installs that holds the
// newest ".bmp", or "" when none holds one.
QString newestScreenshotFolder(const QStringList& installs)
{
    QString best;
    QDateTime newest;
    for (const QString& install : installs) {
        for (const QFileInfo& mod : QDir(install).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QFileInfoList shots = QDir(mod.filePath()).entryInfoList({QStringLiteral("*.bmp")}, QDir::Files);
            for (const QFileInfo& shot : shots) {
                if (!newest.isValid() || shot.lastModified() > newest) {
                    newest = shot.lastModified();
                    best = mod.filePath();
                }
            }
        }
    }
    return best;
}

QString screenshotFolderOf(const QStringList& installs)
{
    const QString newest = newestScreenshotFolder(installs);
    return newest.isEmpty() ? PathMatch::FollowIgnoringCase(installs.first(), {QStringLiteral("valve")}) : newest;
}

} // namespace

QString ScreenshotFolder(const QString& install) { return screenshotFolderOf({install}); }

QString FindHalfLifeScreenshots(const QStringList& steamRoots)
{
    // A library whose manifest says it holds the game wins over a leftover
    // Half-Life folder in another one: an old copy under the main Steam
    // folder must not hide the real install on another drive.
    QStringList withManifest;
    QStringList foldersOnly;
    for (const QString& root : steamRoots) {
        for (const QString& library : LibraryFolders(root)) {
            const Install install = HalfLifeInstall(library);
            QStringList& group = install.hasManifest ? withManifest : foldersOnly;
            if (!install.path.isEmpty() && !group.contains(install.path))
                group.append(install.path);
        }
    }
    if (!withManifest.isEmpty())
        return screenshotFolderOf(withManifest);
    return foldersOnly.isEmpty() ? QString() : screenshotFolderOf(foldersOnly);
}

} // namespace SteamLibrary
