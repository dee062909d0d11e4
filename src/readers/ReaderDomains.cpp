#include "readers/ReaderDomains.h"

namespace lms::Readers {

const QStringList& types() {
    static const QStringList list = {QStringLiteral("包月"), QStringLiteral("包季度"),
                                     QStringLiteral("包年"), QStringLiteral("按日租借")};
    return list;
}

const QStringList& states() {
    static const QStringList list = {QStringLiteral("正常使用"), QStringLiteral("自动延期"),
                                     QStringLiteral("暂停使用"), QStringLiteral("挂失停用")};
    return list;
}

const QStringList& sexes() {
    static const QStringList list = {QStringLiteral("男"), QStringLiteral("女")};
    return list;
}

} // namespace lms::Readers
