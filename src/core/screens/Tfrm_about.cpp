#include "core/screens/Tfrm_about.h"

#include "core/screens/Tfrm_Main.h"

#include <QCoreApplication>

namespace lms {

Tfrm_about::Tfrm_about(QObject* parent)
    : FormModel(QStringLiteral("frm_about"), QStringLiteral("关于"), parent) {
    addField(QStringLiteral("ProductName"), FieldKind::Label).setValue(Tfrm_Main::title());
    addField(QStringLiteral("Version"), FieldKind::Label)
        .setValue(QStringLiteral("版本 ") + QStringLiteral(LMS_VERSION));
    addField(QStringLiteral("Comments"), FieldKind::Label)
        .setValue(QStringLiteral("读者、图书、借还、收费与查询统计的一体化管理。\r"
                                 "全部数据保存在程序目录下的加密数据库文件 dbase.zqd 中。"));
    addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("确定"));
    addOperation(QStringLiteral("Button1Click"), [this] { close(Result::Accepted); });
}

} // namespace lms
