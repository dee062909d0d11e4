#include "core/pubdata.h"

namespace lms {

PubData PubData::defaultSettings() {
    PubData d;
    d.MonthlyRent = 30;
    d.MonthlyDeposit = 100;
    d.MonthlyOpeningFee = 10;
    d.MonthlyMaxBooks = 5;
    d.MonthlyMaxDays = 30;
    d.QuarterlyRent = 80;
    d.QuarterlyDeposit = 100;
    d.QuarterlyOpeningFee = 10;
    d.QuarterlyMaxBooks = 5;
    d.QuarterlyMaxDays = 30;
    d.YearlyRent = 300;
    d.YearlyDeposit = 100;
    d.YearlyOpeningFee = 10;
    d.YearlyMaxBooks = 8;
    d.YearlyMaxDays = 30;
    d.DailyRent = 0.5f;
    d.DailyDeposit = 100;
    d.DailyOpeningFee = 10;
    d.DailyMaxBooks = 3;
    d.DailyMaxDays = 15;
    d.OverdueFinePerDay = 0.5f;
    d.DamageRate = 1.0f;
    d.AllowAmountEdit = true;
    d.ExpiryReminderDays = 3;
    d.AutoExtendValidity = false;
    d.AutoBackupOnStart = false;
    d.ReaderIdMaxLen = 8;
    d.BookIdMaxLen = 8;
    return d;
}

} // namespace lms
