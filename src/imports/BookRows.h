#pragma once

#include "imports/ImportKind.h"

namespace lms::Imports {

// Books as "所有图书查询" lists them, held to the rules of book registration: a book type of the
// shop's, a remark of at most 255 bytes, and what a file may bring beyond registration (state,
// its date, the entry date, times lent). A lent book is refused: its loan does not come along.
class BookRows : public ImportKind {
public:
    QString screenName() const override { return QStringLiteral("frm_DRBook"); }
    QString caption() const override { return QStringLiteral("导入图书"); }
    QString noun() const override { return QStringLiteral("图书"); }
    QString countWord() const override { return QStringLiteral("本"); }
    QString logEvent() const override { return QStringLiteral("导入图书"); }
    QString listingCaption() const override { return QStringLiteral("所有图书查询"); }
    const std::vector<ImportColumn>& columns() const override;
    QString table() const override { return QStringLiteral("图书"); }
    const QStringList& storedColumns() const override;

    void prepare(Database& db, const PubData& pub, const QDateTime& now) override;
    RowVerdict check(const RowCells& row) const override;
    QString existsReason(const QString& id) const override;
    QString logDetails(const std::vector<QVariantList>&) const override { return {}; }

private:
    QStringList types_;
    int idMaxBytes_ = 0;
    QDateTime now_;
};

} // namespace lms::Imports
