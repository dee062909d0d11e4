#include "storage/jet/JetFormat.h"

#include <QFile>

namespace lms::JetFormat {

namespace {

// Bytes 0 to 3: page type 0 and its fixed marks; bytes 4 to 19 the engine's name; byte 0x14 the
// version: 0 Jet 3, 1 Jet 4, 2 and later the engines that followed it.
constexpr char kJetName[] = "Standard Jet DB";
constexpr char kAceName[] = "Standard ACE DB";
constexpr int kNameOffset = 4;
constexpr int kVersionOffset = 0x14;
constexpr int kJet4 = 1;

} // namespace

Probe probe(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kVersionOffset + 1);
    const auto named = [&head](const char* name) {
        return head.size() > kVersionOffset && head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
               head.mid(kNameOffset, 16) == QByteArray(name, 16);
    };
    if (named(kAceName))
        return {.kind = Kind::OtherEngine,
                .version = static_cast<unsigned char>(head[kVersionOffset])};
    if (!named(kJetName))
        return {};
    const int version = static_cast<unsigned char>(head[kVersionOffset]);
    if (version != kJet4)
        return {.kind = Kind::OtherEngine, .version = version};
    const qint64 size = file.size();
    if (size < 3 * kPageSize || size % kPageSize != 0)
        return {.kind = Kind::Damaged, .version = version};
    return {.kind = Kind::Jet4, .version = version};
}

QString refusal(const Probe& probe) {
    switch (probe.kind) {
    case Kind::Jet4:
    case Kind::NotJet:
        return {};
    case Kind::OtherEngine:
        return probe.version == 0
                   ? QStringLiteral("这个数据库文件是更早的 Jet 3 格式，本程序只能移入 Jet 4.0 "
                                    "格式的文件。")
                   : QStringLiteral("这个数据库文件是较新版本的数据库引擎写的（版本号 %1），本程序"
                                    "只能移入 Jet 4.0 格式的文件。请先用原来的数据库软件把它另存"
                                    "为 Access 2000（Jet 4.0）格式。")
                         .arg(probe.version);
    case Kind::Damaged:
        break;
    }
    return QStringLiteral("这个 Jet 4.0 数据库文件已经损坏（文件不完整），不能移入。");
}

} // namespace lms::JetFormat
