#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tavi {

QString programFolder()
{
    // Resolved once: the executable does not move while it runs.
    static const QString folder = [] {
        const QFileInfo exe(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
        QString path = exe.absolutePath();
        if (!path.endsWith(u'/'))
            path += u'/';
        return path;
    }();
    return folder;
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

QString programPath(const QString &relativePath)
{
    return resolvePath(programFolder(), relativePath);
}

} // namespace tavi
