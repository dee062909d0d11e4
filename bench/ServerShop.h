#pragma once

#include <QString>

namespace lms::bench {

// A generated shop on the benchmark server (`server`: a libpq connection string without a
// database name). The shop is moved from the generated file into the database `name` once, with
// the program's own move, then vacuumed and analysed as the server's autovacuum soon would; it
// is kept between runs and moved anew only when its rows per table no longer match the file's.
// Each run works on a copy of it, `name` + "_run", since the benchmarks write to the shop.
// Names are the benchmarks' own: lower-case letters, digits and "_". Throws DbError.
class ServerShop {
public:
    ServerShop(const QString& server, const QString& generatedFolder, const QString& name);
    ~ServerShop();
    ServerShop(const ServerShop&) = delete;
    ServerShop& operator=(const ServerShop&) = delete;

    // The connection string of the run's copy.
    QString connectionString() const;
    // Whether this run moved the shop (false: the kept database was used).
    bool moved() const { return moved_; }

private:
    QString server_;
    QString name_;
    bool moved_ = false;
};

} // namespace lms::bench
