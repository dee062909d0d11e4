#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "core/pubdata.h"

#include <array>
#include <optional>

namespace lms {

// The system parameters (fees and limits of the four reader types, fine, damage rate, switches,
// id lengths), applied to the running program and stored, and the list of book types.
class Tfrm_CSSet : public FormModel {
    Q_OBJECT
public:
    static constexpr int kAmountMaxBytes = 5;
    static constexpr int kRateMaxBytes = 10;
    static constexpr int kIdLengthMin = 1;
    static constexpr int kIdLengthMax = 20;
    static constexpr int kShopNameMaxBytes = 40;

    // The five fields of one reader type's page, R<k>…input for page k.
    struct ReaderTypeFields {
        Field& rent;       // R<k>ZJinput: the rent in yuan (按日租借: per book and day)
        Field& deposit;    // R<k>YJinput: the deposit in yuan
        Field& openingFee; // R<k>KFFinput: the account-opening fee in yuan
        Field& maxBooks;   // R<k>BNinput: the most books held at once, any number
        Field& maxDays;    // R<k>DNinput: the longest loan in days
    };

    explicit Tfrm_CSSet(ScreenContext& context);

    // The names of the 14 amount fields, in the order they are read.
    static const QStringList& amountFields();

    void FormShow() override;
    // Fills the pending copy from the fields; false when some field does not convert.
    bool savetols();
    void showTSRX();
    void R1ZJinputExit();
    void Button3Click();
    void Button1Click();
    void Button4Click();
    void Button5Click();

    // The values the fields held at the last successful savetols.
    const PubData& pending() const { return pending_; }

    // The screen's fields in the order of the layout, named as its widgets.
    Field& GroupBox1 = // group of the money parameters
        addField(QStringLiteral("GroupBox1"), FieldKind::Group, QStringLiteral("款项有关参数："));
    Field& GroupBox2 = // the pages of the four reader types
        addField(QStringLiteral("GroupBox2"), FieldKind::Group, QStringLiteral("读者类型："));
    ReaderTypeFields R1 = // page "包月读者"
        addReaderTypePage(1, QStringLiteral("每月租金（元）："));
    ReaderTypeFields R2 = // page "包季度读者"
        addReaderTypePage(2, QStringLiteral("每季度租金（元）："));
    ReaderTypeFields R3 = // page "包年读者"
        addReaderTypePage(3, QStringLiteral("每年租金（元）："));
    ReaderTypeFields R4 = // page "按日租借读者"
        addReaderTypePage(4, QStringLiteral("每本每日租金（元）："));
    Field& CQFJinput = // overdue fine per book and day, in yuan
        addField(QStringLiteral("CQFJinput"), FieldKind::Text,
                 QStringLiteral("图书租借超期每日每本书罚金:"))
            .setMaxBytes(kAmountMaxBytes);
    Field& PSFJinput = // damage or loss compensation, in percent of the book's price
        addField(QStringLiteral("PSFJinput"), FieldKind::Text,
                 QStringLiteral("图书破损遗失按书价:"))
            .setMaxBytes(kRateMaxBytes);
    Field& isGGinput = // the clerk may change amounts the system computes
        addField(QStringLiteral("isGGinput"), FieldKind::Check,
                 QStringLiteral("系统自动计算出的金额可手工更改"));
    Field& TSTSinput = // days of validity left below which a reader is reminded; any number
        addField(QStringLiteral("TSTSinput"), FieldKind::Spin, QStringLiteral("有效期小于"))
            .setUnbounded();
    Field& GroupBox3 = // group of the other parameters
        addField(QStringLiteral("GroupBox3"), FieldKind::Group, QStringLiteral("其它参数："));
    Field& TZCDinput = // length of a full reader id, in bytes
        addField(QStringLiteral("TZCDinput"), FieldKind::Spin, QStringLiteral("读者编号最多"))
            .setRange(kIdLengthMin, kIdLengthMax);
    Field& TSCDinput = // length of a full book id, in bytes
        addField(QStringLiteral("TSCDinput"), FieldKind::Spin, QStringLiteral("图书编号最多"))
            .setRange(kIdLengthMin, kIdLengthMax);
    Field& isYCZJQinput = // a reader without books out has the validity extended
        addField(QStringLiteral("isYCZJQinput"), FieldKind::Check,
                 QStringLiteral("读者未借书时租借有效期自动延长"));
    Field& isBFSJinput = // the database is backed up when the program starts
        addField(QStringLiteral("isBFSJinput"), FieldKind::Check,
                 QStringLiteral("软件运行时自动备份数据库"));
    Field& BDMCinput = // the shop's name, printed on the reader cards
        addField(QStringLiteral("BDMCinput"), FieldKind::Text, QStringLiteral("本店名称："))
            .setMaxBytes(kShopNameMaxBytes);
    Field& GroupBox4 = // group of the book types
        addField(QStringLiteral("GroupBox4"), FieldKind::Group, QStringLiteral("图书类型："));
    Field& tsrx = // the book types in the order they were added
        addField(QStringLiteral("tsrx"), FieldKind::ListBox);
    Field& Button4 = // adds a book type
        addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("增加"));
    Field& Button5 = // deletes the chosen book type
        addField(QStringLiteral("Button5"), FieldKind::Button, QStringLiteral("删除"));
    Field& TypeHint1 = // the hint about book types, in three lines
        addField(QStringLiteral("TypeHint1"), FieldKind::Label).setValue(QStringLiteral("提示："));
    Field& TypeHint2 = addField(QStringLiteral("TypeHint2"), FieldKind::Label)
                           .setValue(QStringLiteral("请在图书录入之前确定好图"));
    Field& TypeHint3 = addField(QStringLiteral("TypeHint3"), FieldKind::Label)
                           .setValue(QStringLiteral("类型，否则会影响系统中图书分类"));
    Field& Button3 = // "应用": the running program takes the values
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("应用"));
    Field& Button1 = // "应用并保存": the same, and the values are stored
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("应用并保存"));
    Field& Button2 = // closes the screen; values not applied are lost
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    // Shows the running settings in the fields.
    void showSettings();
    ReaderTypeFields addReaderTypePage(int page, const QString& rentCaption);
    std::array<const ReaderTypeFields*, 4> pages() const { return {&R1, &R2, &R3, &R4}; }
    // The 14 amount fields, in the order they are read.
    std::array<Field*, 14> amounts();
    // The value an amount field holds as the settings keep it; nothing when it does not convert.
    std::optional<float> amountValue(const Field& field) const;
    void applyPending();
    void showError();

    ScreenContext& ctx_;
    PubData pending_;
};

} // namespace lms
