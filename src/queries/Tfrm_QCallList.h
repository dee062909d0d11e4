#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "催还与到期": whom to call today, one of two lists at a time: the loans past their due date
// with the reader's phone, the days late and the fine so far, or the readers whose validity runs
// out within the reminder days (and those past it who still hold books).
class Tfrm_QCallList : public QueryScreen {
    Q_OBJECT
public:
    enum List { OverdueLoans = 0, ExpiringReaders = 1 };
    static QueryDefinition overdueDefinition();
    static QueryDefinition expiringDefinition();

    explicit Tfrm_QCallList(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
    Statement statement() const override;

    Field& RadioGroup1 = // which list: overdue loans or expiring readers
        addField(QStringLiteral("RadioGroup1"), FieldKind::Radio, QStringLiteral("名单"))
            .setItems({QStringLiteral("超期未还图书"), QStringLiteral("即将到期读者")})
            .setValue(OverdueLoans);

protected:
    QString criteriaInWords() const override;

private:
    List chosen() const;
};

} // namespace lms
