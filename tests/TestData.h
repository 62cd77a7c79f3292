#pragma once

#include <QByteArray>
#include <QString>

namespace tavi::test {

// Folder of the outside test data (rtf/, images/, mdb/); TAVI_TESTDATA overrides it.
QString testDataDir();

// Reads a whole file; fails the calling test (and returns empty) when it cannot.
QByteArray readFileBytes(const QString &path);

} // namespace tavi::test
