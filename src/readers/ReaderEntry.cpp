#include "readers/ReaderEntry.h"

#include "core/GbkText.h"

namespace lms::Readers {

std::optional<EntryProblem> checkEntry(const QString& id, int idMaxBytes, const QString& name) {
    if (id.isEmpty())
        return EntryProblem{EntryField::Id, QStringLiteral("请输入读者编号！")};
    // The limit may have been lowered since the id was typed (or the file was written).
    if (idMaxBytes > 0 && Gbk::byteLength(id) > idMaxBytes)
        return EntryProblem{EntryField::Id,
                            QStringLiteral("读者编号最多%1个字符，请重新输入！").arg(idMaxBytes)};
    if (name.trimmed().isEmpty())
        return EntryProblem{EntryField::Name, QStringLiteral("请输入读者姓名！")};
    return std::nullopt;
}

QString invalidAmountMessage() {
    return QStringLiteral("输入费用金额错误！请输入正确的金额。");
}

} // namespace lms::Readers
