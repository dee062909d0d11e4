#include "storage/jet/JetStart.h"

#include "core/Tdm_Dbase.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "storage/jet/JetArrival.h"
#include "storage/jet/JetFormat.h"

#include <QDir>

namespace lms {

namespace {

const QString kNothingChanged = QStringLiteral("程序将结束，文件保持原样。");

} // namespace

JetStart::Outcome JetStart::run(const QString& folder) {
    const QString live = QDir(folder).filePath(Tdm_Dbase::kFileName);
    const JetFormat::Probe probe = JetFormat::probe(live);
    if (probe.kind == JetFormat::Kind::NotJet)
        return Outcome::NoJetFile;
    if (probe.kind != JetFormat::Kind::Jet4) {
        prompter_.error(JetFormat::refusal(probe) + QLatin1Char('\r') + kNothingChanged);
        return Outcome::Ended;
    }
    QList<Jet::TableInfo> catalog;
    try {
        const Jet::ChildReader reader(live, {}, true);
        catalog = reader.catalog();
        JetMove::checkCatalog(catalog);
    } catch (const Jet::ReadError& error) {
        prompter_.error(error.message() + QLatin1Char('\r') + kNothingChanged);
        return Outcome::Ended;
    } catch (const JetMove::Failure& failure) {
        prompter_.error(failure.message() + QLatin1Char('\r') + kNothingChanged);
        return Outcome::Ended;
    }
    const QString question =
        QStringLiteral("程序文件夹中的数据库文件 dbase.zqd 是旧版（Jet 4.0）格式的，其中有：\r%1"
                       "\r\r是否把本店的全部数据移到新的加密数据库文件中？原文件将原样保留为“%2”。"
                       "\r选“否”则程序结束，不做任何改动。")
            .arg(JetMove::foundText(catalog), JetArrival::keptName());
    if (!prompter_.informationYesNo(question))
        return Outcome::Ended;
    try {
        const JetArrival::Moved moved = JetArrival::moveInPlace(folder);
        report_.showReport(moved.text, moved.reportPath);
        host_.showModal(report_);
        return Outcome::Moved;
    } catch (const JetMove::Failure& failure) {
        prompter_.error(QStringLiteral("数据没有移入：") + failure.message() + QLatin1Char('\r') +
                        QStringLiteral("原文件 dbase.zqd 保持原样，程序将结束。"));
        return Outcome::Ended;
    }
}

} // namespace lms
