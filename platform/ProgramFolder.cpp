#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tavi {

namespace {

QString withSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

QString executableFolder()
{
    // Resolved once: the executable does not move while it runs.
    static const QString folder =
        withSlash(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath());
    return folder;
}

QString programFolderFor(const QString &executable, const QString &xdgDataHome, const QString &home)
{
    if (QFileInfo(resolvePath(executable, QStringLiteral("Data"))).isDir())
        return withSlash(executable);
    const QString dataHome = QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
    return withSlash(QDir::cleanPath(dataHome + QStringLiteral("/tavi")));
}

QString programFolder()
{
    // Decided once: the Data/ folder a per-user start lays out must not turn it into another folder.
    static const QString folder =
        programFolderFor(executableFolder(), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    return folder;
}

bool isPerUserFolder()
{
    return programFolder() != executableFolder();
}

QString programFilesFolderFor(const QString &executable)
{
    const QString beside = resolvePath(executable, QStringLiteral("assets"));
    if (QFileInfo(beside).isDir())
        return withSlash(beside);
    return withSlash(QDir::cleanPath(executable + QStringLiteral("/../share/tavi")));
}

QString programFilesFolder()
{
    return programFilesFolderFor(executableFolder());
}

QString resolvePath(const QString &base, const QString &relativePath)
{
    QString relative = relativePath;
    relative.replace(u'\\', u'/');
    return resolveFileName(base, relative);
}

QString resolveFileName(const QString &base, const QString &relativePath)
{
    QString path = base;
    if (!path.endsWith(u'/'))
        path += u'/';
    const QStringList components = relativePath.split(u'/', Qt::SkipEmptyParts);
    bool parentExists = QFileInfo(path).isDir();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString &component = components[i];
        QString chosen = component;
        if (parentExists && !QFileInfo::exists(path + component)) {
            const QStringList entries =
                QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
            for (const QString &entry : entries) {
                if (entry.compare(component, Qt::CaseInsensitive) == 0) {
                    chosen = entry;
                    break;
                }
            }
        }
        path += chosen;
        const bool last = i + 1 == components.size();
        if (!last) {
            parentExists = parentExists && QFileInfo(path).isDir();
            path += u'/';
        }
    }
    return path;
}

} // namespace tavi
