#include "tests/TestData.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tavi::test {

QString testDataDir()
{
    const QString overridden = qEnvironmentVariable("TAVI_TESTDATA");
    return overridden.isEmpty() ? QStringLiteral(TAVI_TESTDATA_DIR) : overridden;
}

QStringList rtfCorpusFiles()
{
    QStringList files;
    const QString manifest = testDataDir() + QStringLiteral("/rtf/MANIFEST.tsv");
    const QList<QByteArray> lines = readFileBytes(manifest).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) { // the first line names the columns
        const QByteArray name = lines[i].split('\t').first().trimmed();
        if (name.endsWith(".rtf"))
            files.append(QString::fromUtf8(name));
    }
    if (files.isEmpty())
        ADD_FAILURE() << "no RTF corpus listed in " << manifest.toStdString();
    return files;
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
