#pragma once

#include "core/Tdm_Dbase.h"
#include "core/pubdata.h"

#include <QString>

namespace lms::crash {

// Prints a line of the run's report at once.
void say(const QString& line);

// An open shop as the program opens it, with the settings loaded and the super user at work:
// the file in `folder`, or the database `server` names (a libpq connection string).
struct OpenShop {
    explicit OpenShop(const QString& folder, const QString& server = {});
    // Throws DbError.
    void open();
    PubData pub;
    Tdm_Dbase dm;
};

// The shop every run starts from, made through the screens so its rows have their log and ledger
// records like every later one. Throws DbError.
void makeShop(const QString& folder, const QString& server, quint32 seed);

} // namespace lms::crash
