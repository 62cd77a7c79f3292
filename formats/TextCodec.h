#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Conversion between the program's text (QString) and the 8-bit code pages of
// its files. Every text file the program keeps is GBK (code page 936).
namespace tavi {

// Decodes GBK bytes. Four-byte GB18030 sequences (which the encoder writes for
// characters GBK lacks) decode too. A byte that starts no valid character is
// kept as the lone surrogate U+DC00 + byte, so that encodeGbk() gives it back:
// text read and written untouched keeps its bytes exactly. Never fails.
QString decodeGbk(QByteArrayView bytes);

// Encodes to GBK; a character GBK cannot represent is written in GB18030, so
// nothing is lost. Lone surrogates U+DC80..U+DCFF become their byte again.
QByteArray encodeGbk(const QString &text);

// Appends the GBK bytes of the longest prefix of text that GBK can represent
// and returns that prefix's length in UTF-16 units.
qsizetype encodeGbkPrefix(QStringView text, QByteArray &out);

// Decodes bytes of a Windows code page (1252, 936, 932, 950, 949, 1250..1258,
// 874, 437, 850, 10000 Mac Roman, 65001 UTF-8, ...). Bytes that do not decode
// become U+FFFD. An unknown code page decodes as 1252. Code page 936 reads
// all of GB18030 (its superset), so the codes that encodeGbk() writes for
// characters GBK lacks, and the euro sign at A2E3, come back too.
QString decodeCodePage(int codePage, QByteArrayView bytes);

// True when byte is a lead byte of a two-byte character in that code page.
bool isLeadByte(int codePage, unsigned char byte);

} // namespace tavi
