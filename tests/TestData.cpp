#include "tests/TestData.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cctype>

namespace tavi::test {

QString testDataDir()
{
    const QString overridden = qEnvironmentVariable("TAVI_TESTDATA");
    return overridden.isEmpty() ? QStringLiteral(TAVI_TESTDATA_DIR) : overridden;
}

std::string missingTestData(const char *subfolder)
{
    const QString folder = testDataDir() + u'/' + QLatin1String(subfolder);
    if (QFileInfo(folder).isDir())
        return {};
    return "outside test data not found at " + folder.toStdString()
           + "; set TAVI_TESTDATA to the folder holding rtf/, images/, mdb/";
}

QString rtfCorpusDir()
{
    return testDataDir() + QStringLiteral("/rtf");
}

std::string corpusTestName(const testing::TestParamInfo<RtfCorpusEntry> &info)
{
    std::string name = info.param.rtf.toStdString();
    if (name.ends_with(".rtf"))
        name.resize(name.size() - 4);
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

void PrintTo(const RtfCorpusEntry &entry, std::ostream *os)
{
    *os << entry.rtf.toStdString();
}

std::optional<std::vector<ManifestRow>> readManifest(const QString &path)
{
    QFile manifest(path);
    if (!manifest.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<ManifestRow> rows;
    QStringList header;
    for (const QByteArray &line : manifest.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = QString::fromUtf8(line).split(u'\t');
        if (header.isEmpty()) {
            header = fields;
            continue;
        }
        ManifestRow row;
        for (qsizetype i = 0; i < header.size(); ++i)
            row.insert(header[i].trimmed(), i < fields.size() ? fields[i].trimmed() : QString());
        rows.push_back(row);
    }
    return rows;
}

std::vector<RtfCorpusEntry> rtfCorpus()
{
    const std::vector<RtfCorpusEntry> missing{{QStringLiteral("MANIFEST.tsv"), {}, {}, false}};
    const auto rows = readManifest(rtfCorpusDir() + QStringLiteral("/MANIFEST.tsv"));
    if (!rows || rows->empty())
        return missing;
    std::vector<RtfCorpusEntry> entries;
    for (const ManifestRow &row : *rows)
        entries.push_back({row.value("file"), row.value("expected"), row.value("alt"), row.value("check") == u"ws"});
    return entries;
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
