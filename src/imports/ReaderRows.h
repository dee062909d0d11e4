#pragma once

#include "core/pubdata.h"
#include "imports/ImportKind.h"

namespace lms::Imports {

// Readers as "读者查询统计" lists them (with the phone, the opening date and the loan limits the
// table adds), held to the rules of reader registration: name, identity number, phone and remark
// within their byte limits, a reader type, a sex and a state from their lists. A reader brings
// the deposit balance of the earlier system as his 押金; values missing take registration's
// proposals for the type. A reader with books out is refused: the loans do not come along.
class ReaderRows : public ImportKind {
public:
    QString screenName() const override { return QStringLiteral("frm_DRReader"); }
    QString caption() const override { return QStringLiteral("导入读者"); }
    QString noun() const override { return QStringLiteral("读者"); }
    QString countWord() const override { return QStringLiteral("名"); }
    QString logEvent() const override { return QStringLiteral("导入读者"); }
    QString listingCaption() const override { return QStringLiteral("读者查询统计"); }
    const std::vector<ImportColumn>& columns() const override;
    QString table() const override { return QStringLiteral("读者"); }
    const QStringList& storedColumns() const override;

    void prepare(Database& db, const PubData& pub, const QDateTime& now) override;
    RowVerdict check(const RowCells& row) const override;
    QString existsReason(const QString& id) const override;
    // The deposits brought in, which the ledger does not record.
    QString logDetails(const std::vector<QVariantList>& values) const override;

private:
    PubData pub_;
    QDateTime now_;
};

} // namespace lms::Imports
