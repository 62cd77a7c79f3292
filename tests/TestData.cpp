#include "tests/TestData.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cctype>

namespace tavi::test {

QString testDataDir()
{
    const QString overridden = qEnvironmentVariable("TAVI_TESTDATA");
    return overridden.isEmpty() ? QStringLiteral(TAVI_TESTDATA_DIR) : overridden;
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

std::vector<RtfCorpusEntry> rtfCorpus()
{
    const std::vector<RtfCorpusEntry> missing{{QStringLiteral("MANIFEST.tsv"), {}, {}, false}};
    QFile manifest(rtfCorpusDir() + QStringLiteral("/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        return missing;
    std::vector<RtfCorpusEntry> entries;
    QStringList header;
    for (const QByteArray &line : manifest.readAll().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = QString::fromUtf8(line).split(u'\t');
        if (header.isEmpty()) {
            header = fields;
            continue;
        }
        const auto field = [&](const char *name) {
            const qsizetype at = header.indexOf(QLatin1StringView(name));
            return at >= 0 && at < fields.size() ? fields[at].trimmed() : QString();
        };
        entries.push_back({field("file"), field("expected"), field("alt"), field("check") == u"ws"});
    }
    return entries.empty() ? missing : entries;
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
