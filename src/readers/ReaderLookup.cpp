#include "readers/ReaderLookup.h"

#include "core/Messages.h"
#include "core/NumberForms.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/StoredValues.h"
#include "readers/ReaderMessages.h"
#include "readers/ReaderStore.h"

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

void showReader(const ReaderPanel& panel, const ReaderRecord& reader) {
    const std::pair<Field*, QVariant> values[] = {
        {panel.name, reader.name},         {panel.type, reader.type},
        {panel.sex, reader.sex},           {panel.phone, reader.phone},
        {panel.idNumber, reader.idNumber}, {panel.remark, reader.remark},
        {panel.maxBooks, reader.maxBooks}, {panel.maxDays, reader.maxDays},
        {panel.booksOut, reader.booksOut}, {panel.loansTotal, reader.loansTotal},
        {panel.state, reader.state},       {panel.stateSince, reader.stateSince},
        {panel.openedAt, reader.openedAt}, {panel.deposit, depositText(reader)},
    };
    for (const auto& [field, value] : values)
        if (field)
            showStored(*field, value);
}

} // namespace lms::Readers
