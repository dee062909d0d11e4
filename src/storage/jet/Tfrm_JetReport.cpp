#include "storage/jet/Tfrm_JetReport.h"

#include <QDir>

namespace lms {

Tfrm_JetReport::Tfrm_JetReport(QObject* parent)
    : FormModel(QStringLiteral("frm_JetReport"), QStringLiteral("旧数据库文件的移入报告"), parent) {
    Title.setValue(QStringLiteral("本店的数据已从旧版（Jet 4.0）数据库文件移入新的加密数据库。"));
    addOperation(QStringLiteral("Button1Click"), [this] { close(Result::Accepted); });
}

void Tfrm_JetReport::showReport(const QString& text, const QString& savedAs) {
    ReportText.setValue(text);
    SavedAs.setValue(
        savedAs.isEmpty()
            ? QStringLiteral("报告未能保存到文件。")
            : QStringLiteral("这份报告已保存为：%1").arg(QDir::toNativeSeparators(savedAs)));
}

} // namespace lms
