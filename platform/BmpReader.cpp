#include "platform/BmpReader.h"

#include "platform/LineFile.h"
#include "platform/ParseError.h"

#include <QFile>

namespace tavi {

Bitmap decodeBmp(QByteArrayView)
{
    throw ParseError("not written yet");
}

Bitmap readBmp(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()).toStdString());
    return decodeBmp(file.readAll());
}

} // namespace tavi
