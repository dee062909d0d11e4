#include "imports/TextDecoding.h"

#include <QStringDecoder>
#include <optional>

namespace lms::Imports {

namespace {

const QChar kCR(13);

DecodedText failure(const QString& problem) {
    return {QString(), QString(),
            problem + kCR +
                QStringLiteral(
                    "请在电子表格程序中把数据另存为 CSV 文件（UTF-8 或 GBK 编码）后再导入。")};
}

DecodedText notText() {
    return failure(QStringLiteral("这个文件不是文本文件（例如是 Excel 工作簿或图片），无法导入。"));
}

// The text, when every byte decodes without error.
std::optional<QString> strictly(QStringDecoder decoder, QByteArrayView bytes) {
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Text holding U+0000 is no shop's data either (and the server cannot store it).
DecodedText found(QString text, const QString& encoding) {
    if (text.contains(QChar(0)))
        return notText();
    return {std::move(text), encoding, {}};
}

} // namespace

DecodedText decodeText(const QByteArray& bytes) {
    using Flag = QStringConverter::Flag;
    const std::optional<QStringConverter::Encoding> mark = QStringConverter::encodingForData(bytes);
    if (mark == QStringConverter::Utf8) {
        // The mark stays out of the text, as every reader of such a file expects.
        if (auto text = strictly(QStringDecoder(QStringConverter::Utf8, Flag::Stateless),
                                 QByteArrayView(bytes).sliced(3)))
            return found(*text, QStringLiteral("UTF-8（带BOM）"));
        return failure(QStringLiteral("文件以 UTF-8 标记开头，内容却不是有效的 UTF-8 文字。"));
    }
    if (mark == QStringConverter::Utf16LE || mark == QStringConverter::Utf16BE) {
        if (auto text =
                strictly(QStringDecoder(*mark, Flag::Stateless), QByteArrayView(bytes).sliced(2)))
            return found(*text, QStringLiteral("UTF-16（带BOM）"));
        return failure(QStringLiteral("文件以 UTF-16 标记开头，内容却不是有效的 UTF-16 文字。"));
    }
    if (bytes.contains('\0'))
        return notText();
    if (auto text = strictly(QStringDecoder(QStringConverter::Utf8, Flag::Stateless), bytes))
        return found(*text, QStringLiteral("UTF-8"));
    // GB18030 reads every GBK file as GBK does, and a few more characters.
    if (auto text = strictly(QStringDecoder("GB18030", Flag::Stateless), bytes))
        return found(*text, QStringLiteral("GBK"));
    return failure(QStringLiteral("无法识别文件的编码：它既不是 UTF-8 也不是 GBK 编码的文字。"));
}

} // namespace lms::Imports
