#include "shell/SettingsStore.h"
#include "shell/QtText.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QUrl>

namespace tavik::shell {

namespace {

constexpr const char* UpdateUrlPrefix = "update url ";
constexpr const char* FrequencyPrefix = "frequencies ";
constexpr const char* AttitudePrefix = "attitude ";

constexpr qint64 SettingsLimit = 1 << 20; // as the settings reader's

// Lines as the settings reader splits them: CR LF, a lone CR or a lone LF.
// *whole is false for a file larger than the settings reader takes.
QList<QByteArray> LinesOf(const QString& path, bool* whole = nullptr)
{
    QFile f(path);
    const bool opened = QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
    if (!opened) return {};
    QByteArray text = f.read(SettingsLimit + 1);
    if (whole) *whole = text.size() <= SettingsLimit;
    text.replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

// The key of a remembered line, or empty.
QString KeyOf(const QByteArray& line)
{
    const int eq = line.indexOf('=');
    if (eq <= 0) return {};
    const QString key = QString::fromUtf8(line.left(eq));
    for (const char* k : {LastTleFileKey, LastSatelliteKey, ModelKey, SaveFolderKey, WindowSizeKey})
        if (key == QLatin1String(k)) return key;
    for (const char* prefix : {UpdateUrlPrefix, FrequencyPrefix, AttitudePrefix})
        if (key.startsWith(QLatin1String(prefix))) return key;
    return {};
}

} // namespace

QString UpdateUrlKey(const QString& tleFile)
{
    return QLatin1String(UpdateUrlPrefix) + QString::fromLatin1(QUrl::toPercentEncoding(tleFile, "/"));
}

QString FrequencyKey(const QString& catalogueNumber) { return QLatin1String(FrequencyPrefix) + catalogueNumber; }

QString AttitudeKey(const QString& catalogueNumber) { return QLatin1String(AttitudePrefix) + catalogueNumber; }

Remembered ReadRemembered(const QString& path)
{
    Remembered keys;
    const QList<QByteArray> lines = LinesOf(path);
    for (int i = 2; i < lines.size(); ++i)
        if (const QString key = KeyOf(lines[i]); !key.isEmpty())
            keys[key] = QString::fromUtf8(lines[i].mid(lines[i].indexOf('=') + 1));
    return keys;
}

bool WriteSettingsFile(const QString& path, const QString& locator, const QString& tleFile, const Remembered& keys)
{
    bool whole = true;
    QList<QByteArray> lines = LinesOf(path, &whole);
    // Rewritten from its first MiB, the rest would be lost.
    if (!whole)
        throw OutputError("cannot write " + QFile::encodeName(path).toStdString()
                          + ": it is larger than 1 MiB, too large for a settings file, and is left as it is");
    if (!locator.isEmpty()) {
        while (lines.size() < 2) lines.append(QByteArray());
        lines[0] = locator.toUtf8();
        lines[1] = QFile::encodeName(tleFile);
    }
    if (lines.size() < 2) return false;
    Remembered left;
    // A value that would end its line early is not remembered.
    for (const auto& [key, value] : keys)
        if (!value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r'))) left[key] = value;
    for (int i = 2; i < lines.size(); ++i) {
        const auto found = left.find(KeyOf(lines[i]));
        if (found == left.end()) continue;
        lines[i] = found->first.toUtf8() + '=' + found->second.toUtf8();
        left.erase(found);
    }
    for (const auto& [key, value] : left) lines.append(key.toUtf8() + '=' + value.toUtf8());
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteFileAtomically(PathOf(path), (lines.join("\r\n") + "\r\n").toStdString());
    return true;
}

bool CanReplace(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (file.exists()) return file.isWritable() && folder.isWritable();
    // A folder that does not exist yet can be made where its parent is writable.
    QFileInfo existing = folder;
    while (!existing.exists() && !existing.isRoot()) existing = QFileInfo(existing.absolutePath());
    return existing.isDir() && existing.isWritable();
}

} // namespace tavik::shell
