#pragma once

// What the import tests share: a new shop with the default settings and "clerk" at work, the two
// import screens, files written into the program folder (UTF-8 with its mark, or GBK), and the
// preview's rows read back as "row number|verdict|reason".

#include "imports/Tfrm_DRBook.h"
#include "imports/Tfrm_DRReader.h"
#include "queries/Csv.h"
#include "support/ShopRows.h"
#include "support/ShopScreenTest.h"
#include "support/TableRows.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace lms::test {

class ImportTest : public ShopScreenTest {
protected:
    static QString csv(const QList<QStringList>& records) {
        QString text;
        for (const QStringList& record : records)
            text += Csv::record(record);
        return text;
    }
    // The file a listing export writes: UTF-8 with its byte-order mark.
    QString writeUtf8(const QString& name, const QList<QStringList>& records) {
        return writeBytes(name, Csv::byteOrderMark() + csv(records).toUtf8());
    }
    // The file a spreadsheet program on a Chinese system writes.
    QString writeGbk(const QString& name, const QList<QStringList>& records) {
        return writeBytes(name, QStringEncoder("GB18030").encode(csv(records)));
    }
    QString writeBytes(const QString& name, const QByteArray& bytes) {
        shop.folder.writeFile(name, bytes);
        return shop.folder.file(name);
    }

    // Chooses the file in the screen's file dialog and checks it whole; false when no preview
    // opened (the message says why).
    bool preview(ImportScreen& screen, const QString& path) {
        prompter.answerFile(path);
        const qsizetype shown = host.shown().size();
        screen.ImportMenuClick();
        return host.shown().size() > shown && screen.finishChecking();
    }
    // Previews the file and imports its good rows, confirming, and saves no file of the refused
    // rows when asked.
    void import(ImportScreen& screen, const QString& path) {
        ASSERT_TRUE(preview(screen, path)) << prompter.texts().join(QLatin1Char('|')).toStdString();
        prompter.answer(true);
        if (screen.check()->refusedCount() > 0)
            prompter.answer(false);
        screen.Button1Click();
    }

    // The preview's rows as "row number|verdict|reason".
    static QStringList verdicts(ImportScreen& screen) {
        QStringList rows;
        const QAbstractItemModel& grid = screen.grid();
        for (int r = 0; r < grid.rowCount(); ++r)
            rows << QStringLiteral("%1|%2|%3")
                        .arg(grid.index(r, 0).data().toString(), grid.index(r, 1).data().toString(),
                             grid.index(r, 2).data().toString());
        return rows;
    }

    QVariant column(const QString& table, const QString& idColumn, const QString& id,
                    const QString& name) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\" = ?").arg(name, table, idColumn),
            {id});
    }

    Tfrm_DRBook books{ctx};
    Tfrm_DRReader readers{ctx};
};

} // namespace lms::test
