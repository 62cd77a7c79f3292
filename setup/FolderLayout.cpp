#include "setup/FolderLayout.h"

#include "backgrounds/DefaultBackground.h"
#include "formats/LineFile.h"
#include "login/PasswordFile.h"
#include "notes/NotesDatabase.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavi {
namespace {

void makeFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw FileError("cannot make the folder " + QDir::toNativeSeparators(path).toStdString());
}

// Made under a name of its own and renamed, so that an interrupted start
// leaves no half-made database the next start would refuse.
void createDatabaseOnce(const QString &path)
{
    const QString building = path + QStringLiteral(".tavi-new");
    QFile::remove(building);
    createNotesDatabase(building);
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        throw FileError("cannot make " + path.toStdString());
    }
}

} // namespace

QStringList layOutProgramFolder(const QString &folder)
{
    const QString data = resolvePath(folder, QStringLiteral("Data"));
    const QString pictures = resolvePath(folder, QStringLiteral("source\\DeskTopBG"));
    makeFolder(data);
    makeFolder(pictures);

    QStringList made;
    const QString database = resolvePath(data, QStringLiteral("UserData.db"));
    if (!QFileInfo::exists(database)) {
        createDatabaseOnce(database);
        made.append(database);
    }
    const QString password = resolvePath(data, QStringLiteral("loginstr.db"));
    if (!QFileInfo::exists(password)) {
        writeNoPassword(password);
        made.append(password);
    }
    const QString background = resolvePath(pictures, QStringLiteral("A1.bmp"));
    if (!QFileInfo::exists(background)) {
        writeBmp(background, makeDefaultBackground());
        made.append(background);
    }
    return made;
}

} // namespace tavi
