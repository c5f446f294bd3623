#pragma once
// Pins the format settings (English names) for one test and restores the
// previous ones after.
#include "platform/rtl/formatsettings.h"

class TFormatSettingsGuard {
public:
    explicit TFormatSettingsGuard(char decimal = '.', char thousands = ',') {
        DecimalSeparator = decimal;
        ThousandSeparator = thousands;
        DateSeparator = '/';
        TimeSeparator = ':';
        ShortDateFormat = "m/d/yyyy";
        LongDateFormat = "dddd, mmmm d, yyyy";
        ShortTimeFormat = "hh:nn";
        LongTimeFormat = "hh:nn:ss";
        TimeAMString = "AM";
        TimePMString = "PM";
        CurrencyString = "$";
        CurrencyFormat = 0;
        NegCurrFormat = 0;
        FirstDayOfWeek = 0;
        for (int i = 0; i < 13; ++i) {
            FShortMonths[i] = ShortMonthNames[i];
            FLongMonths[i] = LongMonthNames[i];
        }
        for (int i = 0; i < 8; ++i) {
            FShortDays[i] = ShortDayNames[i];
            FLongDays[i] = LongDayNames[i];
        }
        const char* const months[] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
        const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
        for (int i = 1; i <= 12; ++i) {
            LongMonthNames[i] = months[i - 1];
            ShortMonthNames[i] = LongMonthNames[i].SubString(1, 3);
        }
        for (int i = 1; i <= 7; ++i) {
            LongDayNames[i] = days[i - 1];
            ShortDayNames[i] = LongDayNames[i].SubString(1, 3);
        }
    }
    ~TFormatSettingsGuard() {
        DecimalSeparator = FDecimal;
        ThousandSeparator = FThousands;
        DateSeparator = FDateSep;
        TimeSeparator = FTimeSep;
        ShortDateFormat = FShortDate;
        LongDateFormat = FLongDate;
        ShortTimeFormat = FShortTime;
        LongTimeFormat = FLongTime;
        TimeAMString = FAm;
        TimePMString = FPm;
        CurrencyString = FCurrency;
        CurrencyFormat = FCurrFormat;
        NegCurrFormat = FNegCurrFormat;
        FirstDayOfWeek = FFirstDay;
        for (int i = 0; i < 13; ++i) {
            ShortMonthNames[i] = FShortMonths[i];
            LongMonthNames[i] = FLongMonths[i];
        }
        for (int i = 0; i < 8; ++i) {
            ShortDayNames[i] = FShortDays[i];
            LongDayNames[i] = FLongDays[i];
        }
    }
    TFormatSettingsGuard(const TFormatSettingsGuard&) = delete;
    TFormatSettingsGuard& operator=(const TFormatSettingsGuard&) = delete;

private:
    char FDecimal = DecimalSeparator, FThousands = ThousandSeparator;
    char FDateSep = DateSeparator, FTimeSep = TimeSeparator;
    AnsiString FShortDate = ShortDateFormat, FLongDate = LongDateFormat;
    AnsiString FShortTime = ShortTimeFormat, FLongTime = LongTimeFormat;
    AnsiString FAm = TimeAMString, FPm = TimePMString, FCurrency = CurrencyString;
    int FCurrFormat = CurrencyFormat, FNegCurrFormat = NegCurrFormat;
    int FFirstDay = FirstDayOfWeek;
    AnsiString FShortMonths[13], FLongMonths[13], FShortDays[8], FLongDays[8];
};
