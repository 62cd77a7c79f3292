#include "tests/TestData.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavi::test {

QString testDataDir()
{
    const QString overridden = qEnvironmentVariable("TAVI_TESTDATA");
    return overridden.isEmpty() ? QStringLiteral(TAVI_TESTDATA_DIR) : overridden;
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace tavi::test
