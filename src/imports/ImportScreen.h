#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "imports/ImportCheck.h"
#include "imports/ImportGrid.h"
#include "imports/ImportKind.h"

#include <QTimer>
#include <memory>

namespace lms {

// The import of books or readers from a CSV file: the clerk picks the file, the preview lists
// every row with its verdict under registration's rules, and "导入" stores the good rows in one
// transaction with one log record, or nothing. The refused rows can be saved as a CSV file in the
// file's own form with their reasons, to be corrected and imported again.
class ImportScreen : public FormModel {
    Q_OBJECT
public:
    // Rows checked before the preview shows, and in each later piece.
    static constexpr int kFirstPiece = 200;
    static constexpr int kPiece = 5000;

    ImportScreen(std::unique_ptr<Imports::ImportKind> kind, const ScreenContext& ctx,
                 QObject* parent = nullptr);

    // The menu command: the file dialog, then the preview of the file chosen, or the message
    // saying why nothing of it can be imported.
    void ImportMenuClick();

    void FormShow() override;
    // "导入": the good rows, after the clerk confirms.
    void Button1Click();
    // "保存被拒绝的行…".
    void Button3Click();
    // "关闭".
    void Button2Click();
    void CheckBox1Click();

    // Checks the rest of the file at once (the preview otherwise does it a piece at a time
    // while the window is open); false when the database failed, which has been shown.
    bool finishChecking();
    const Imports::ImportCheck* check() const { return check_.get(); }
    Imports::ImportGrid& grid() { return grid_; }

    // The screen's fields, named as its widgets.
    Field& wjm = // the file's name
        addField(QStringLiteral("wjm"), FieldKind::Label, QStringLiteral("文件："));
    Field& bm = // the encoding it was found to be in
        addField(QStringLiteral("bm"), FieldKind::Label, QStringLiteral("编码："));
    Field& jg = // how many rows are good and how many refused, or how far the check is
        addField(QStringLiteral("jg"), FieldKind::Label, QStringLiteral("检查结果："));
    Field& tsxx = // columns ignored, columns missing, a totals row left out
        addField(QStringLiteral("tsxx"), FieldKind::Label);
    Field& CheckBox1 = // shows only the refused rows
        addField(QStringLiteral("CheckBox1"), FieldKind::Check, QStringLiteral("只显示被拒绝的行"));
    Field& StringGrid1 = // the rows with their verdicts
        addField(QStringLiteral("StringGrid1"), FieldKind::Grid,
                 QStringLiteral("各行的检查结果："));
    Field& Button1 = // imports the good rows
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("导入"));
    Field& Button3 = // saves the refused rows with their reasons
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("保存被拒绝的行…"));
    Field& Button2 = // closes the screen, importing nothing
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    // Checks the next `count` rows and shows them; a database failure ends the preview.
    bool checkPiece(int count);
    void showCounts();
    // The rows checked so far in the grid; the rest are checked while the window is open.
    void showRows();
    // Starts the verdicts afresh (another desk registered ids since they were found).
    void checkAgain();
    QString notes() const;
    bool saveRefused();

    std::unique_ptr<Imports::ImportKind> kind_;
    ScreenContext ctx_;
    std::unique_ptr<Imports::ImportCheck> check_;
    Imports::ImportGrid grid_;
    QTimer pieces_;
};

} // namespace lms
