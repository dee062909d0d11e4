#pragma once

#include "queries/AccountFacts.h"
#include "queries/QueryScreen.h"

namespace lms {

// "读者账户明细": one reader's ledger records, oldest first, with the deposit balance after each,
// and the stored deposit checked against the balance they add up to. Opened for a reader by the
// reader listing and reader maintenance; it lists nothing of another reader.
class Tfrm_ZHMX : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_ZHMX(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;

    // Shows the statement of this reader and returns when it is closed.
    void showFor(const QString& readerId);

    Field& GroupBoxCheck = // the deposit checked against the lines
        addField(QStringLiteral("GroupBoxCheck"), FieldKind::Group, QStringLiteral("押金核对："));
    Field& tzxm = // the reader's name
        addField(QStringLiteral("tzxm"), FieldKind::Label, QStringLiteral("读者姓名："));
    Field& yj = // the deposit stored with the reader
        addField(QStringLiteral("yj"), FieldKind::Label, QStringLiteral("读者现有押金(元)："));
    Field& mxye = // the deposit the lines add up to
        addField(QStringLiteral("mxye"), FieldKind::Label, QStringLiteral("明细押金余额(元)："));
    Field& ce = // stored minus added up
        addField(QStringLiteral("ce"), FieldKind::Label, QStringLiteral("差额(元)："));
    Field& hdsm = // whether they agree, else the likely causes
        addField(QStringLiteral("hdsm"), FieldKind::Label);

    // The explanation of a difference of `differenceCents` (stored minus the lines), its lines
    // separated by a carriage return.
    static QString explanation(const Accounts::AccountFacts& facts, long long differenceCents);

protected:
    void arrived(Arrival arrival) override;
    std::vector<PrintoutLine> totalLines() const override;

private:
    void showCheck(long long balanceCents);
    void clearCheck(const QString& note);
};

} // namespace lms
