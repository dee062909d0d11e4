#include "storage/jet/JetReader.h"

#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QSet>
#include <array>
#include <cstring>

extern "C" {
#include <mdbtools.h>
}

namespace lms::Jet {

namespace {

// Row offsets carry two marks in their top bits; the rest is the row's place on its page.
constexpr quint16 kDeletedMark = 0x8000; // deleted, or the new place of a moved row
constexpr quint16 kMovedMark = 0x4000;   // the row holds the 4-byte address of its new place
constexpr quint16 kOffsetMask = 0x1fff;
// A moved row is found in one step; a few more are allowed before the chain counts as damage.
constexpr int kMostSteps = 8;

QString damaged(const QString& detail) {
    return QStringLiteral("这个 Jet 4.0 数据库文件已经损坏，不能读出（%1）。").arg(detail);
}

Value::Kind kindOf(int columnType) {
    switch (columnType) {
    case MDB_BOOL:
        return Value::Bool;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return Value::Integer;
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return Value::Real;
    case MDB_DATETIME:
        return Value::Date;
    default:
        return Value::Text;
    }
}

Value integerValue(Value::Kind kind, qint64 integer) {
    Value value;
    value.kind = kind;
    value.integer = integer;
    return value;
}

Value realValue(Value::Kind kind, double real) {
    Value value;
    value.kind = kind;
    value.real = real;
    return value;
}

template <typename T> T fixed(const unsigned char* page, int start) {
    T value;
    std::memcpy(&value, page + start, sizeof value);
    return value;
}

} // namespace

struct Reader::Handle {
    MdbHandle* mdb = nullptr;
    ~Handle() {
        if (mdb)
            mdb_close(mdb);
    }
};

Reader::Reader(const QString& path) : handle_(std::make_unique<Handle>()) {
    const QByteArray name = QFile::encodeName(path);
    handle_->mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!handle_->mdb)
        throw ReadError(damaged(QStringLiteral("打不开")));
    if (handle_->mdb->f->jet_version != MDB_VER_JET4)
        throw ReadError(damaged(QStringLiteral("不是 Jet 4.0 格式")));
    if (!mdb_read_catalog(handle_->mdb, MDB_TABLE))
        throw ReadError(damaged(QStringLiteral("读不出表的目录")));
}

Reader::~Reader() = default;

QList<TableInfo> Reader::catalog() {
    QList<TableInfo> tables;
    MdbHandle* mdb = handle_->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table)
            throw ReadError(damaged(
                QStringLiteral("读不出表“%1”的定义").arg(QString::fromUtf8(entry->object_name))));
        tables << TableInfo{.name = QString::fromUtf8(entry->object_name),
                            .keptRows = table->num_rows};
        mdb_free_tabledef(table);
    }
    return tables;
}

namespace {

// One table being read: its definition and libmdb's page buffer.
class TableScan {
public:
    TableScan(MdbHandle* mdb, MdbTableDef* table) : mdb_(mdb), table_(table) {
        for (unsigned c = 0; c < table->num_cols; ++c) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            columns_ << Column{.name = QString::fromUtf8(column->name),
                               .kind = kindOf(column->col_type)};
        }
        fields_.resize(table->num_cols);
    }

    const QList<Column>& columns() const { return columns_; }

    // Every live row of the table in its order; returns how many.
    qint64 scan(const std::function<void(const Row&)>& deliver) {
        const int pageSize = static_cast<int>(mdb_->fmt->pg_size);
        const int countAt = mdb_->fmt->row_count_offset;
        qint64 rows = 0;
        guint32 page = 0;
        for (;;) {
            const gint32 next = mdb_map_find_next(mdb_, table_->usage_map,
                                                  static_cast<unsigned>(table_->map_sz), page);
            if (next < 0)
                throw ReadError(damaged(QStringLiteral("表“%1”的页表不可读").arg(name())));
            if (next == 0)
                break;
            if (static_cast<guint32>(next) <= page)
                throw ReadError(damaged(QStringLiteral("表“%1”的页表不可读").arg(name())));
            page = static_cast<guint32>(next);
            if (!loadDataPage(page))
                continue; // a page of the map the table has given up
            std::memcpy(home_.data(), mdb_->pg_buf, static_cast<std::size_t>(pageSize));
            const int count = mdb_get_int16(home_.data(), countAt);
            if (count < 0 || countAt + 2 + 2 * count > pageSize)
                throw ReadError(damaged(QStringLiteral("表“%1”的数据页不可读").arg(name())));
            for (int r = 0; r < count; ++r) {
                const auto offset =
                    static_cast<quint16>(mdb_get_int16(home_.data(), countAt + 2 + 2 * r));
                if (offset & kDeletedMark)
                    continue;
                if (offset & kMovedMark) {
                    followMoved(home_.data(), offset & kOffsetMask, deliver);
                    // libmdb keeps the number of the page in its buffer and reads again only
                    // another one.
                    std::memcpy(mdb_->pg_buf, home_.data(), static_cast<std::size_t>(pageSize));
                    mdb_->cur_pg = page;
                } else {
                    deliver(crack(r));
                }
                ++rows;
            }
        }
        return rows;
    }

private:
    QString name() const { return QString::fromUtf8(table_->name); }

    // Reads a page of this table into libmdb's buffer; false for a page that is not one.
    bool loadDataPage(guint32 page) {
        if (mdb_read_pg(mdb_, page) != mdb_->fmt->pg_size)
            throw ReadError(damaged(QStringLiteral("第 %1 页读不出").arg(page)));
        return mdb_->pg_buf[0] == MDB_PAGE_DATA &&
               static_cast<unsigned long>(mdb_get_int32(mdb_->pg_buf, 4)) ==
                   table_->entry->table_pg;
    }

    // A moved row: its place holds the row number (1 byte) and page (3 bytes) of its new place.
    void followMoved(const unsigned char* page, int at,
                     const std::function<void(const Row&)>& deliver) {
        const int pageSize = static_cast<int>(mdb_->fmt->pg_size);
        for (int step = 0; step < kMostSteps; ++step) {
            if (at + 4 > pageSize)
                throw ReadError(damaged(QStringLiteral("表“%1”中移动过的行不可读").arg(name())));
            const int row = page[at];
            const guint32 target = page[at + 1] | (page[at + 2] << 8) | (page[at + 3] << 16);
            if (!loadDataPage(target))
                throw ReadError(damaged(QStringLiteral("表“%1”中移动过的行指向别处").arg(name())));
            const int countAt = mdb_->fmt->row_count_offset;
            if (row >= mdb_get_int16(mdb_->pg_buf, countAt))
                throw ReadError(damaged(QStringLiteral("表“%1”中移动过的行指向别处").arg(name())));
            const auto offset =
                static_cast<quint16>(mdb_get_int16(mdb_->pg_buf, countAt + 2 + 2 * row));
            // The new place is marked as taken from the scan (deleted); it moved again only when
            // it holds an address itself.
            if (!(offset & kMovedMark)) {
                deliver(crack(row));
                return;
            }
            std::memcpy(away_.data(), mdb_->pg_buf, static_cast<std::size_t>(pageSize));
            page = away_.data();
            at = offset & kOffsetMask;
        }
        throw ReadError(damaged(QStringLiteral("表“%1”中移动过的行不可读").arg(name())));
    }

    // Decodes row `row` of the page in libmdb's buffer.
    Row crack(int row) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb_, row, &start, &size) != 0 || size == 0)
            throw ReadError(damaged(QStringLiteral("表“%1”的一行不可读").arg(name())));
        start &= kOffsetMask;
        const int found = mdb_crack_row(table_, start, size, fields_.data());
        if (found < 0)
            throw ReadError(damaged(QStringLiteral("表“%1”的一行不可读").arg(name())));
        Row values(columns_.size());
        for (unsigned i = 0; i < table_->num_cols; ++i) {
            const MdbField& field = fields_[i];
            if (field.colnum < 0 || field.colnum >= columns_.size())
                throw ReadError(damaged(QStringLiteral("表“%1”的一行不可读").arg(name())));
            auto* column =
                static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, field.colnum));
            values[field.colnum] = valueOf(column, field);
        }
        return values;
    }

    Value valueOf(const MdbColumn* column, const MdbField& field) {
        // A yes/no column keeps its value in the row's null mask.
        if (column->col_type == MDB_BOOL)
            return integerValue(Value::Bool, field.is_null ? 0 : 1);
        if (field.is_null)
            return {};
        const int pageSize = static_cast<int>(mdb_->fmt->pg_size);
        const auto fits = [&](int width) {
            if (field.start < 0 || field.siz < width || field.start + width > pageSize)
                throw ReadError(damaged(QStringLiteral("表“%1”的一行不可读").arg(name())));
        };
        const unsigned char* page = mdb_->pg_buf;
        switch (column->col_type) {
        case MDB_BYTE:
            fits(1);
            return integerValue(Value::Integer, page[field.start]);
        case MDB_INT:
            fits(2);
            return integerValue(Value::Integer, fixed<qint16>(page, field.start));
        case MDB_LONGINT:
            fits(4);
            return integerValue(Value::Integer, fixed<qint32>(page, field.start));
        case MDB_FLOAT:
            fits(4);
            return realValue(Value::Real, double(fixed<float>(page, field.start)));
        case MDB_DOUBLE:
            fits(8);
            return realValue(Value::Real, fixed<double>(page, field.start));
        case MDB_MONEY:
            fits(8);
            return realValue(Value::Real, double(fixed<qint64>(page, field.start)) / 10000.0);
        case MDB_DATETIME:
            fits(8);
            return realValue(Value::Date, fixed<double>(page, field.start));
        case MDB_TEXT:
        case MDB_MEMO: {
            if (field.start < 0 || field.siz < 0 || field.start + field.siz > pageSize)
                throw ReadError(damaged(QStringLiteral("表“%1”的一行不可读").arg(name())));
            char* text =
                mdb_col_to_string(mdb_, mdb_->pg_buf, field.start, column->col_type, field.siz);
            Value value;
            value.kind = Value::Text;
            value.text = QString::fromUtf8(text ? text : "");
            g_free(text);
            return value;
        }
        default:
            // Pictures, binary data and the like are nothing the shop's tables hold.
            return {};
        }
    }

    MdbHandle* mdb_;
    MdbTableDef* table_;
    QList<Column> columns_;
    std::vector<MdbField> fields_;
    std::array<unsigned char, MDB_PGSIZE> home_{};
    std::array<unsigned char, MDB_PGSIZE> away_{};
};

} // namespace

void Reader::readTable(const QString& name, const std::function<void(const QList<Column>&)>& begin,
                       const std::function<void(const Row&)>& row) {
    MdbHandle* mdb = handle_->mdb;
    const QByteArray utf8 = name.toUtf8();
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, utf8.constData());
    if (!entry || entry->object_type != MDB_TABLE)
        throw ReadError(damaged(QStringLiteral("没有表“%1”").arg(name)));
    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        throw ReadError(damaged(QStringLiteral("读不出表“%1”的定义").arg(name)));
    const std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> owned(table, mdb_free_tabledef);
    if (!mdb_read_columns(table))
        throw ReadError(damaged(QStringLiteral("读不出表“%1”的列").arg(name)));
    TableScan scan(mdb, table);
    begin(scan.columns());
    const qint64 rows = scan.scan(row);
    if (rows != table->num_rows)
        throw ReadError(damaged(QStringLiteral("表“%1”读出 %2 行，表中记下的是 %3 行")
                                    .arg(name)
                                    .arg(rows)
                                    .arg(table->num_rows)));
}

int writeStream(const QString& path, const QStringList& tables, bool catalogOnly, QIODevice& out) {
    QDataStream stream(&out);
    stream.setVersion(kStreamVersion);
    stream << kStreamMark;
    try {
        Reader reader(path);
        const QList<TableInfo> catalog = reader.catalog();
        stream << quint8(CatalogTag) << catalog;
        if (!catalogOnly) {
            QSet<QString> present;
            for (const TableInfo& table : catalog)
                present.insert(table.name);
            for (const QString& name : tables) {
                if (!present.contains(name))
                    continue;
                qint64 sent = 0;
                // Rows go in batches: one record for the parent to wait for, many rows in it.
                QByteArray batch;
                quint32 inBatch = 0;
                QDataStream rows(&batch, QIODevice::WriteOnly);
                rows.setVersion(kStreamVersion);
                const auto flush = [&] {
                    if (inBatch == 0)
                        return;
                    stream << quint8(RowTag) << inBatch << batch;
                    batch.clear();
                    rows.device()->seek(0);
                    inBatch = 0;
                };
                reader.readTable(
                    name,
                    [&](const QList<Column>& columns) {
                        stream << quint8(TableTag) << name << columns;
                    },
                    [&](const Row& row) {
                        for (const Value& value : row)
                            rows << value;
                        ++sent;
                        if (++inBatch == kRowsPerBatch)
                            flush();
                    });
                flush();
                stream << quint8(EndTag) << sent;
            }
        }
        stream << quint8(DoneTag);
        return 0;
    } catch (const ReadError& error) {
        stream << quint8(FailTag) << error.message();
        return 3;
    }
}

} // namespace lms::Jet
