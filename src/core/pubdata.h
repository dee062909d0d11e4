#pragma once

#include <QString>

namespace lms {

// The values every screen shares: the program folder, the logged-in user and the settings.
// The application owns one and hands it to each screen; a test builds its own.
struct PubData {
    QString AppPath; // ends with a path separator
    QString CurrentUser;

    float MonthlyRent = 0;
    float MonthlyDeposit = 0;
    float MonthlyOpeningFee = 0;
    int MonthlyMaxBooks = 0;
    int MonthlyMaxDays = 0;
    float QuarterlyRent = 0;
    float QuarterlyDeposit = 0;
    float QuarterlyOpeningFee = 0;
    int QuarterlyMaxBooks = 0;
    int QuarterlyMaxDays = 0;
    float YearlyRent = 0;
    float YearlyDeposit = 0;
    float YearlyOpeningFee = 0;
    int YearlyMaxBooks = 0;
    int YearlyMaxDays = 0;
    float DailyRent = 0;
    float DailyDeposit = 0;
    float DailyOpeningFee = 0;
    int DailyMaxBooks = 0;
    int DailyMaxDays = 0;
    float OverdueFinePerDay = 0;
    float DamageRate = 0;
    bool AllowAmountEdit = false;
    int ExpiryReminderDays = 0;
    bool AutoExtendValidity = false;
    bool AutoBackupOnStart = false;
    int ReaderIdMaxLen = 0;
    int BookIdMaxLen = 0;
    QString ShopName; // printed on the reader cards; empty by default

    // The settings a new database starts with (listed in the README).
    static PubData defaultSettings();
};

} // namespace lms
