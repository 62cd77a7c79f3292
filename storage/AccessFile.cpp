#include "storage/AccessFile.h"

#include "formats/ParseError.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <mdbtools.h>
#include <sys/resource.h>

#include <cstring>
#include <memory>

namespace tavi {
namespace {

constexpr char kDumpMagic[] = "TAVI-ACCESS-DUMP 1\n";
constexpr quint32 kInlineFlag = 0x80000000u;
constexpr quint32 kSinglePageFlag = 0x40000000u;
constexpr quint32 kLengthMask = 0x3FFFFFFFu;
constexpr int kMemoHeaderSize = 12;

[[noreturn]] void fail(const QString &message)
{
    throw ParseError(message.toStdString());
}

quint32 le32(const char *bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

struct MdbCloser {
    void operator()(MdbHandle *mdb) const { mdb_close(mdb); }
};
struct TableDefFree {
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};

// Reads the pieces of long values from their LVAL pages, checking every
// offset against the page and every chain against the file's page count.
class LongValueReader {
public:
    LongValueReader(MdbHandle *mdb, qint64 fileSize)
        : mdb_(mdb), pageSize_(mdb->fmt->pg_size), pageCount_(fileSize / std::max<qint64>(pageSize_, 1))
    {
    }

    QByteArray memo(const QByteArray &field, const QString &where)
    {
        if (field.size() < kMemoHeaderSize)
            fail(QStringLiteral("%1: the memo field is %2 bytes, too short for its header").arg(where).arg(field.size()));
        const quint32 lengthWord = le32(field.constData());
        const quint32 pageRow = le32(field.constData() + 4);
        const qint64 length = lengthWord & kLengthMask;
        QByteArray value;
        if (lengthWord & kInlineFlag) {
            value = field.mid(kMemoHeaderSize);
        } else if (lengthWord & kSinglePageFlag) {
            value = row(pageRow, where);
        } else {
            qint64 pages = 0;
            quint32 next = pageRow;
            while (value.size() < length) {
                if (next == 0)
                    fail(QStringLiteral("%1: the memo's page chain ends after %2 of %3 bytes")
                             .arg(where).arg(value.size()).arg(length));
                if (++pages > pageCount_)
                    fail(QStringLiteral("%1: the memo's page chain loops").arg(where));
                const QByteArray piece = row(next, where);
                if (piece.size() < 4)
                    fail(QStringLiteral("%1: a piece of the memo has no link to the next").arg(where));
                next = le32(piece.constData());
                value.append(piece.constData() + 4, piece.size() - 4);
            }
        }
        if (value.size() != length)
            fail(QStringLiteral("%1: the memo holds %2 bytes but says it has %3").arg(where).arg(value.size()).arg(length));
        return value;
    }

private:
    QByteArray row(quint32 pageRow, const QString &where)
    {
        void *buffer = nullptr;
        int offset = 0;
        size_t length = 0;
        const quint32 page = pageRow >> 8;
        if (page == 0 || page >= pageCount_ || mdb_find_pg_row(mdb_, int(pageRow), &buffer, &offset, &length) != 0)
            fail(QStringLiteral("%1: the memo's page %2 row %3 cannot be read").arg(where).arg(page).arg(pageRow & 0xFF));
        const auto *bytes = static_cast<const char *>(buffer);
        if (offset < 0 || qint64(offset) + qint64(length) > pageSize_ || std::memcmp(bytes + 4, "LVAL", 4) != 0)
            fail(QStringLiteral("%1: the memo's page %2 is not a long-value page").arg(where).arg(page));
        return QByteArray(bytes + offset, qsizetype(length));
    }

    MdbHandle *mdb_;
    qint64 pageSize_;
    qint64 pageCount_;
};

AccessTable readTable(MdbHandle *mdb, MdbCatalogEntry *entry, LongValueReader &longValues)
{
    AccessTable result;
    result.name = QString::fromUtf8(entry->object_name);
    std::unique_ptr<MdbTableDef, TableDefFree> table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()))
        fail(QStringLiteral("the definition of table %1 cannot be read").arg(result.name));
    const unsigned columnCount = table->num_cols;
    for (unsigned c = 0; c < columnCount; ++c) {
        const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
        result.columns.push_back({QString::fromUtf8(column->name), column->col_type});
    }
    mdb_rewind_table(table.get());
    const qint64 pageSize = mdb->fmt->pg_size;
    while (mdb_fetch_row(table.get())) {
        // The fields point into the current page: copy them all before any
        // long value is looked up.
        std::vector<std::optional<QByteArray>> row(columnCount);
        for (unsigned c = 0; c < columnCount; ++c) {
            const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
            if (column->col_type != kAccessTextType && column->col_type != kAccessMemoType)
                continue;
            const int start = column->cur_value_start;
            const int length = column->cur_value_len;
            if (start == 0 && length == 0)
                continue; // NULL
            if (start < 0 || length < 0 || qint64(start) + length > pageSize)
                fail(QStringLiteral("table %1, row %2: a value lies outside its page")
                         .arg(result.name).arg(result.rows.size() + 1));
            row[c] = QByteArray(reinterpret_cast<const char *>(mdb->pg_buf) + start, length);
        }
        for (unsigned c = 0; c < columnCount; ++c) {
            if (row[c] && result.columns[c].type == kAccessMemoType) {
                const QString where = QStringLiteral("table %1, row %2, column %3")
                                          .arg(result.name).arg(result.rows.size() + 1).arg(result.columns[c].name);
                row[c] = longValues.memo(*row[c], where);
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

class DumpReader {
public:
    explicit DumpReader(QByteArrayView bytes) : bytes_(bytes) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }
    char tag() { return *take(1); }
    quint32 number() { return le32(take(4)); }
    QByteArray block()
    {
        const quint32 size = number();
        return QByteArray(take(size), qsizetype(size));
    }

private:
    const char *take(qint64 count)
    {
        if (count > bytes_.size() - pos_)
            fail(QStringLiteral("the reader's output ends early"));
        const char *part = bytes_.data() + pos_;
        pos_ += count;
        return part;
    }

    QByteArrayView bytes_;
    qint64 pos_ = 0;
};

void appendNumber(QByteArray &out, quint32 value)
{
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    out.append(bytes, 4);
}

void appendBlock(QByteArray &out, const QByteArray &block)
{
    appendNumber(out, quint32(block.size()));
    out.append(block);
}

} // namespace

AccessDump readAccessFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        fail(QStringLiteral("%1 is not a file").arg(path));
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!mdb)
        fail(QStringLiteral("%1 is not an Access database").arg(path));
    if (mdb->f->jet_version == MDB_VER_JET3)
        fail(QStringLiteral("%1 is an Access 97 database; only Access 2000 and later files can be read").arg(path));
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        fail(QStringLiteral("the table list of %1 cannot be read").arg(path));
    LongValueReader longValues(mdb.get(), info.size());
    AccessDump dump;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
            dump.tables.push_back(readTable(mdb.get(), entry, longValues));
    }
    return dump;
}

QByteArray serializeAccessDump(const AccessDump &dump)
{
    QByteArray out(kDumpMagic);
    for (const AccessTable &table : dump.tables) {
        out.append('T');
        appendBlock(out, table.name.toUtf8());
        appendNumber(out, quint32(table.columns.size()));
        for (const AccessColumn &column : table.columns) {
            appendBlock(out, column.name.toUtf8());
            appendNumber(out, quint32(column.type));
        }
        for (const auto &row : table.rows) {
            out.append('R');
            for (const auto &value : row) {
                out.append(value ? '\1' : '\0');
                if (value)
                    appendBlock(out, *value);
            }
        }
    }
    out.append('E');
    return out;
}

AccessDump parseAccessDump(const QByteArray &bytes)
{
    if (!bytes.startsWith(kDumpMagic))
        fail(QStringLiteral("the reader's output is not a table dump"));
    DumpReader in(QByteArrayView(bytes).sliced(qsizetype(std::strlen(kDumpMagic))));
    AccessDump dump;
    for (;;) {
        const char tag = in.tag();
        if (tag == 'E') {
            if (!in.atEnd())
                fail(QStringLiteral("the reader's output goes on after its end"));
            return dump;
        }
        if (tag == 'T') {
            AccessTable table;
            table.name = QString::fromUtf8(in.block());
            const quint32 columnCount = in.number();
            for (quint32 c = 0; c < columnCount; ++c) {
                const QString name = QString::fromUtf8(in.block());
                table.columns.push_back({name, int(in.number())});
            }
            dump.tables.push_back(std::move(table));
        } else if (tag == 'R' && !dump.tables.empty()) {
            AccessTable &table = dump.tables.back();
            std::vector<std::optional<QByteArray>> row(table.columns.size());
            for (auto &value : row) {
                const char present = in.tag();
                if (present != '\0' && present != '\1')
                    fail(QStringLiteral("the reader's output is damaged"));
                if (present == '\1')
                    value = in.block();
            }
            table.rows.push_back(std::move(row));
        } else {
            fail(QStringLiteral("the reader's output is damaged"));
        }
    }
}

AccessDump readAccessFileContained(const QString &program, const QStringList &arguments, const QString &path,
                                   int timeoutMs)
{
    QProcess reader;
    reader.setChildProcessModifier([] {
        // A damaged file must not make the reader spin or eat the machine.
        const rlimit cpu{60, 60};
        setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__) && !defined(TAVI_NO_MEMORY_LIMIT)
        const rlimit memory{rlim_t(4) << 30, rlim_t(4) << 30};
        setrlimit(RLIMIT_AS, &memory);
#endif
    });
    reader.start(program, QStringList(arguments) << path, QIODevice::ReadOnly);
    if (!reader.waitForStarted())
        fail(QStringLiteral("cannot start %1: %2").arg(program, reader.errorString()));
    if (!reader.waitForFinished(timeoutMs)) {
        reader.kill();
        reader.waitForFinished();
        fail(QStringLiteral("reading %1 took too long; the file may be damaged").arg(path));
    }
    const QString errors = QString::fromLocal8Bit(reader.readAllStandardError()).trimmed();
    if (reader.exitStatus() == QProcess::CrashExit)
        fail(QStringLiteral("reading %1 failed: the file is damaged (the reader crashed)").arg(path));
    if (reader.exitCode() != 0)
        fail(errors.isEmpty() ? QStringLiteral("reading %1 failed").arg(path) : errors.split(u'\n').last());
    return parseAccessDump(reader.readAllStandardOutput());
}

QString decodeJetText(const QByteArray &stored)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(stored.constData());
    const qsizetype size = stored.size();
    QString text;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text.reserve(size);
        bool compressed = true;
        for (qsizetype i = 2; i < size;) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                text.append(QChar(bytes[i++]));
            } else {
                if (i + 1 >= size)
                    fail(QStringLiteral("compressed text ends inside a character"));
                text.append(QChar(char16_t(bytes[i] | bytes[i + 1] << 8)));
                i += 2;
            }
        }
        return text;
    }
    if (size % 2 != 0)
        fail(QStringLiteral("text of %1 bytes is not UCS-2").arg(size));
    text.resize(size / 2);
    for (qsizetype i = 0; i < size / 2; ++i)
        text[i] = QChar(char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return text;
}

} // namespace tavi
