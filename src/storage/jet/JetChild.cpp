#include "storage/jet/JetChild.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace lms::Jet {

namespace {

QString& programSetting() {
    static QString path;
    return path;
}

QString damagedWith(const QString& detail) {
    return QStringLiteral("这个 Jet 4.0 数据库文件已经损坏，不能读出（%1）。").arg(detail);
}

} // namespace

void ChildReader::setProgram(const QString& path) {
    programSetting() = path;
}

QString ChildReader::program() {
    if (!programSetting().isEmpty())
        return programSetting();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/lms_move");
}

int readingTimeLimitMs(qint64 bytes) {
    // A sound file is read at tens of megabytes a second; a minute and more per 50 MB is damage.
    const qint64 limit = 60'000 + bytes / (1024 * 1024) * 1'000;
    return static_cast<int>(std::min<qint64>(limit, 3'600'000));
}

ChildReader::ChildReader(const QString& file, const QStringList& tables, bool catalogOnly)
    : deadline_(readingTimeLimitMs(QFileInfo(file).size())) {
    in_.setDevice(&process_);
    in_.setVersion(kStreamVersion);
    process_.setStandardErrorFile(QProcess::nullDevice());
    QStringList arguments = {
        catalogOnly ? QStringLiteral("jet-tables") : QStringLiteral("read-jet"), file};
    if (!catalogOnly)
        arguments << tables;
    process_.start(program(), arguments, QIODevice::ReadOnly);
    if (!process_.waitForStarted(30'000))
        throw ReadError(QStringLiteral("不能启动读取旧数据库文件的程序 %1。").arg(program()));
    quint32 mark = 0;
    record([&](QDataStream& in) { in >> mark; });
    if (mark != kStreamMark)
        fail(QStringLiteral("读取程序的输出不可识别"));
    if (tag() != CatalogTag)
        fail(QStringLiteral("没有表的目录"));
    record([&](QDataStream& in) { in >> catalog_; });
}

ChildReader::~ChildReader() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5'000);
    }
}

void ChildReader::fail(const QString& detail) {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5'000);
    }
    throw ReadError(damagedWith(detail));
}

template <typename Read> void ChildReader::record(Read read) {
    for (;;) {
        in_.startTransaction();
        read(in_);
        if (in_.commitTransaction())
            return;
        if (in_.status() == QDataStream::ReadCorruptData)
            fail(QStringLiteral("读取程序的输出不可识别"));
        if (process_.waitForReadyRead(
                static_cast<int>(std::max<qint64>(deadline_.remainingTime(), 0))))
            continue;
        if (process_.state() != QProcess::NotRunning) {
            if (deadline_.hasExpired())
                fail(QStringLiteral("读取超时"));
            continue;
        }
        // The child has ended; what it wrote is all there is.
        if (process_.bytesAvailable() > 0)
            continue;
        fail(process_.exitStatus() == QProcess::CrashExit ? QStringLiteral("读取时出错")
                                                          : QStringLiteral("读取程序提前结束"));
    }
}

quint8 ChildReader::tag() {
    quint8 tag = 0;
    record([&](QDataStream& in) { in >> tag; });
    if (tag == FailTag) {
        QString message;
        record([&](QDataStream& in) { in >> message; });
        process_.waitForFinished(5'000);
        throw ReadError(message);
    }
    return tag;
}

bool ChildReader::nextTable(QString& name, QList<Column>& columns) {
    const quint8 next = tag();
    if (next == DoneTag)
        return false;
    if (next != TableTag)
        fail(QStringLiteral("读取程序的输出不可识别"));
    record([&](QDataStream& in) { in >> name >> columns; });
    columns_ = static_cast<int>(columns.size());
    rows_ = 0;
    batchLeft_ = 0;
    return true;
}

bool ChildReader::nextRow(Row& row) {
    if (batchLeft_ == 0) {
        const quint8 next = tag();
        if (next == EndTag) {
            qint64 sent = -1;
            record([&](QDataStream& in) { in >> sent; });
            if (sent != rows_)
                fail(QStringLiteral("行数不符"));
            return false;
        }
        if (next != RowTag)
            fail(QStringLiteral("读取程序的输出不可识别"));
        quint32 count = 0;
        record([&](QDataStream& in) { in >> count >> batch_; });
        if (count == 0)
            fail(QStringLiteral("读取程序的输出不可识别"));
        batchLeft_ = count;
        batchBuffer_.close();
        batchBuffer_.setBuffer(&batch_);
        batchBuffer_.open(QIODevice::ReadOnly);
        batchStream_.setDevice(&batchBuffer_);
        batchStream_.setVersion(kStreamVersion);
    }
    row.resize(columns_);
    for (Value& value : row)
        batchStream_ >> value;
    if (batchStream_.status() != QDataStream::Ok)
        fail(QStringLiteral("读取程序的输出不可识别"));
    --batchLeft_;
    if (batchLeft_ == 0 && !batchStream_.atEnd())
        fail(QStringLiteral("读取程序的输出不可识别"));
    ++rows_;
    return true;
}

} // namespace lms::Jet
