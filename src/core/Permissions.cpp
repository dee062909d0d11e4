#include "core/Permissions.h"

namespace lms {

const std::array<PermissionFlag, kPermissionCount>& permissionFlags() {
    static const std::array<PermissionFlag, kPermissionCount> flags = {{
        {1, "TJBookMenu", "添加新书", "添加新书"},
        {2, "GGBookMenu", "更改图书信息", "更改图书信息"},
        {3, "SCBookMenu", "删除图书", "删除图书"},
        {4, "TZJBookMenu", "读者借书", "读者借书"},
        {5, "TZHBookMenu", "读者还书", "读者还书"},
        {6, "TJReaderMenu", "添加读者", "添加读者"},
        {7, "GGReaderMenu", "更改读者信息", "更改读者信息"},
        {8, "SZReaderMenu", "删除读者", "删除读者"},
        {9, "JNZCMenu", "缴费充值", "缴纳租金"},
        {10, "TJUserMenu", "添加新用户", "添加新用户"},
        {11, "GGUserQXMenu", "更改用户权限", "更改用户权限"},
        {12, "GGpwdMenu", "更改密码", "更改用户密码"},
        {13, "SCUserMenu", "删除用户", "删除用户"},
        {14, "BFDataMenu", "备份数据", "备份数据 "},
        {15, "FFDataMenu", "恢复数据", "恢复数据"},
        {16, "CSSetMenu", "系统参数设置", "系统参数设置"},
        {17, "CHRZMenu", "查看操作日志", "查看操作日志"},
        {18, "QKDataMenu", "清空系统数据", "清空系统数据"},
        {19, "QAllBookMenu", "所有图书查询", "所有图书查询"},
        {20, "QJCBookMenu", "借出图书查询", "借出图书查询"},
        {21, "QAllRecMenu", "借阅历史记录查询", "借阅历史记录查询"},
        {22, "QallReaderMenu", "读者查询统计", "读者查询统计"},
        {23, "QAllMoneyMenu", "资金查询统计", "资金查询统计"},
    }};
    return flags;
}

} // namespace lms
