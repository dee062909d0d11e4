#include "readers/ReaderLookup.h"

#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"
#include "readers/ReaderMessages.h"

#include <utility>
#include <vector>

namespace lms::Readers {

ReaderLookup lookUpReader(Tdm_Dbase& dm, Prompter& prompter, const QString& id) {
    ReaderLookup result;
    try {
        std::optional<ReaderRecord> reader = loadReader(dm.db(), id);
        if (!reader) {
            prompter.error(notFoundMessage(id));
            result.outcome = LookupOutcome::NotFound;
            return result;
        }
        result.outcome = LookupOutcome::Found;
        result.reader = std::move(*reader);
    } catch (const DbError&) {
        prompter.error(Messages::databaseError());
        result.outcome = LookupOutcome::Failed;
    }
    return result;
}

QString depositText(const ReaderRecord& reader) {
    return Numbers::generalForm(reader.deposit);
}

void showReader(FormModel& screen, const ReaderRecord& reader, const QString& remarkField) {
    const std::vector<std::pair<QString, QVariant>> values = {
        {QStringLiteral("tzxm"), reader.name},     {QStringLiteral("tzrx"), reader.type},
        {QStringLiteral("xp"), reader.sex},        {QStringLiteral("df"), reader.phone},
        {QStringLiteral("zjhm"), reader.idNumber}, {remarkField, reader.remark},
        {QStringLiteral("tssn"), reader.maxBooks}, {QStringLiteral("tssj"), reader.maxDays},
        {QStringLiteral("whsn"), reader.booksOut}, {QStringLiteral("jyzj"), reader.loansTotal},
        {QStringLiteral("tzzt"), reader.state},    {QStringLiteral("tzztszq"), reader.stateSince},
        {QStringLiteral("khrq"), reader.openedAt}, {QStringLiteral("yj"), depositText(reader)},
    };
    for (const auto& [name, value] : values) {
        if (screen.hasField(name))
            showStored(screen.field(name), value);
    }
}

} // namespace lms::Readers
