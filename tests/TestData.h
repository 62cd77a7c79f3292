#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavi::test {

// Folder of the outside test data (rtf/, images/, mdb/); TAVI_TESTDATA overrides it.
QString testDataDir();

// The documents of the RTF corpus (rtf/MANIFEST.tsv's first column), in its order.
QStringList rtfCorpusFiles();

// Reads a whole file; fails the calling test (and returns empty) when it cannot.
QByteArray readFileBytes(const QString &path);

} // namespace tavi::test
