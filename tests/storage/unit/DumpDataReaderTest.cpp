// Reading a dump's data section: only the program's own statements pass, each table's rows once;
// anything else stops the reading, and a statement hidden among the rows stays a row.
#include "storage/DumpData.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

class Recorder : public DumpRowsSink {
public:
    void beginRows(const QString& copyStatement) override { events << copyStatement; }
    void rows(const QByteArray& lines) override { events << QString::fromUtf8(lines); }
    void endRows() override { events << QStringLiteral("end"); }
    void setSequence(const SequenceValue& value) override {
        events << QStringLiteral("%1=%2,%3").arg(value.sequence).arg(value.value).arg(value.called);
    }
    QStringList events;
};

DumpShape programShape() {
    DumpShape shape;
    shape.dataStatements = {
        QStringLiteral("SET client_encoding = 'UTF8';"),
        QStringLiteral("COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;")};
    shape.sequences = {QStringLiteral("public.\"图书类型_rowid_seq\"")};
    return shape;
}

const QByteArray kGood = "--\n-- PostgreSQL database dump\n--\n\\restrict abc\n"
                         "SET client_encoding = 'UTF8';\n\n"
                         "COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;\n"
                         "1\t小说\n2\tSELECT evil();\n\\.\n\n"
                         "SELECT pg_catalog.setval('public.\"图书类型_rowid_seq\"', 2, true);\n";

TEST(DumpDataReader, PassesTheRowsAndCountersInPiecesOfAnySize) {
    for (const qsizetype piece : {qsizetype(1), qsizetype(7), kGood.size()}) {
        const DumpShape shape = programShape();
        Recorder sink;
        DumpDataReader reader(shape, sink);
        for (qsizetype at = 0; at < kGood.size(); at += piece)
            ASSERT_TRUE(reader.take(kGood.mid(at, piece))) << reader.foreign().toStdString();
        ASSERT_TRUE(reader.finish());
        // Rows may come in several pieces when the text is given a byte at a time.
        const QStringList rows = sink.events.mid(1, sink.events.size() - 3);
        EXPECT_EQ(sink.events.first(),
                  *shape.dataStatements.constFind(QStringLiteral("COPY public.\"图书类型\" (rowid, "
                                                                 "\"图书类型名称\") FROM stdin;")));
        EXPECT_EQ(rows.join(QString()), QStringLiteral("1\t小说\n2\tSELECT evil();\n")) << piece;
        EXPECT_EQ(sink.events.at(sink.events.size() - 2), QStringLiteral("end"));
        EXPECT_EQ(sink.events.last(), QStringLiteral("public.\"图书类型_rowid_seq\"=2,1"));
    }
}

TEST(DumpDataReader, AnythingElseStopsTheReadingAndIsNamed) {
    const struct {
        const char* name;
        QByteArray script;
        QString foreign;
    } cases[] = {
        {"statement", "SET client_encoding = 'UTF8';\nSELECT evil();\n",
         QStringLiteral("SELECT evil();")},
        {"other table", "COPY public.\"笔记\" (a) FROM stdin;\nx\n\\.\n",
         QStringLiteral("COPY public.\"笔记\" (a) FROM stdin;")},
        {"rows twice",
         "COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;\n\\.\n"
         "COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;\n\\.\n",
         QStringLiteral("COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;")},
        {"other sequence", "SELECT pg_catalog.setval('public.x', 2, true);\n",
         QStringLiteral("SELECT pg_catalog.setval('public.x', 2, true);")},
        {"setval and more",
         "SELECT pg_catalog.setval('public.\"图书类型_rowid_seq\"', 2, true); SELECT evil();\n",
         QStringLiteral("SELECT pg_catalog.setval('public.\"图书类型_rowid_seq\"', 2, true); "
                        "SELECT evil();")},
    };
    for (const auto& c : cases) {
        const DumpShape shape = programShape();
        Recorder sink;
        DumpDataReader reader(shape, sink);
        EXPECT_FALSE(reader.take(c.script) && reader.finish()) << c.name;
        EXPECT_EQ(reader.foreign(), c.foreign) << c.name;
    }
    // Rows the script never ends are not taken as whole.
    const DumpShape shape = programShape();
    Recorder sink;
    DumpDataReader reader(shape, sink);
    EXPECT_TRUE(
        reader.take("COPY public.\"图书类型\" (rowid, \"图书类型名称\") FROM stdin;\n1\tx\n"));
    EXPECT_FALSE(reader.finish());
}

} // namespace
} // namespace lms
