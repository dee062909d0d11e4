#include "ChineseNames.h"

#include <QStringList>

namespace lms::datagen {

namespace {

const QString kSurnames =
    QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹"
                   "彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金");
const QString kGiven = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀英华慧巧美玉桂兰平刚"
                                      "建国志文红霞海燕晓东雪梅春晖鹏飞宇航欣怡子涵浩然思远佳琪");
const QString kTitleHeads = QStringLiteral("春秋风云山河江湖明月长夜星海烟雨江南北方故园少年青春"
                                           "红楼西游三国水浒围城家春边城骆驼");
const QStringList kTitleTails = {
    QStringLiteral("传"),     QStringLiteral("记"),     QStringLiteral("故事"),
    QStringLiteral("往事"),   QStringLiteral("之歌"),   QStringLiteral("笔记"),
    QStringLiteral("史话"),   QStringLiteral("漫游"),   QStringLiteral("简史"),
    QStringLiteral("入门"),   QStringLiteral("探秘"),   QStringLiteral("物语"),
    QStringLiteral("（上）"), QStringLiteral("（下）"), QStringLiteral("全集")};

} // namespace

int ChineseNames::pick(int count) {
    return static_cast<int>(random_() % static_cast<unsigned>(count));
}

QString ChineseNames::personName() {
    QString name = kSurnames.at(pick(static_cast<int>(kSurnames.size())));
    const int given = pick(3) == 0 ? 1 : 2;
    for (int i = 0; i < given; ++i)
        name += kGiven.at(pick(static_cast<int>(kGiven.size())));
    return name;
}

QString ChineseNames::bookTitle() {
    QString title;
    const int heads = 2 + pick(3);
    for (int i = 0; i < heads; ++i)
        title += kTitleHeads.at(pick(static_cast<int>(kTitleHeads.size())));
    return title + kTitleTails.at(pick(static_cast<int>(kTitleTails.size())));
}

QString ChineseNames::phone() {
    static const char* const prefixes[] = {"138", "139", "150", "186", "133", "177"};
    QString number = QString::fromLatin1(prefixes[pick(6)]);
    for (int i = 0; i < 8; ++i)
        number += QChar(u'0' + pick(10));
    return number;
}

QString ChineseNames::idCardNumber(int birthYear) {
    QString number = QStringLiteral("3702%1").arg(11 + pick(80));
    number += QStringLiteral("%1%2%3")
                  .arg(birthYear)
                  .arg(1 + pick(12), 2, 10, QChar(u'0'))
                  .arg(1 + pick(28), 2, 10, QChar(u'0'));
    for (int i = 0; i < 4; ++i)
        number += QChar(u'0' + pick(10));
    return number;
}

} // namespace lms::datagen
