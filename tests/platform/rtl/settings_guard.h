#pragma once
// Pins the format settings for one test and restores the previous ones after.
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
};
