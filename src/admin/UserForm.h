#pragma once

#include "core/Database.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "core/pubdata.h"

#include <QVariantList>

namespace lms {

// What the four system-user screens share: the screen context, the 23 permission check boxes
// and the hint about the permissions shown in red.
class UserForm : public FormModel {
    Q_OBJECT
public:
    static QString redPermissionsHint();

protected:
    UserForm(const QString& name, const QString& caption, ScreenContext& context);

    Database& db();
    // The group "请选择该用户权限：" with CheckBox1 .. CheckBox23.
    void addPermissionBoxes();
    // Ticks CheckBoxN exactly when 功能N of the row is set. Throws DbError.
    void showFlags(qint64 rowid);
    // The ticked state of CheckBox1 .. CheckBox23, as stored in 功能1 .. 功能23.
    QVariantList tickedFlags() const;
    // "功能1 = ?, …, 功能23 = ?" for an update.
    static QString flagAssignments();
    void log(const QString& event, const QString& explanation);

    ScreenContext& ctx_;
};

} // namespace lms
