// Registration of the price series and the indicator, statistical, fitting and
// smoothing functions: gallery pages "Financial", "Extended" and "Other".
#include "chart/control/teeseriestypes.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"

namespace {
// Referenced by the registry, so they live as long as the program.
AnsiString PageFinancial = "Financial";
AnsiString PageExtended = "Extended";
AnsiString PageOther = "Other";
AnsiString NameCandle = "Candle";
AnsiString NameVolume = "Volume";
AnsiString NameBigCandle = "Big Candle";
AnsiString NameMovAve = "Moving\rAverage";
AnsiString NameExpMovAve = "Exp.Moving\rAverage";
AnsiString NameExpAverage = "Exponential\rAverage";
AnsiString NameMomentum = "Momentum";
AnsiString NameMomentumDiv = "Momentum\rDivision";
AnsiString NameMACD = "MACD";
AnsiString NameStochastic = "Stochastic";
AnsiString NameRSI = "R.S.I.";
AnsiString NameADX = "ADX";
AnsiString NameStdDev = "Standard\rDeviation";
AnsiString NameRMS = "Root Mean\rSquare";
AnsiString NameBollinger = "Bollinger\rbands";
AnsiString NameCumulative = "Cumulative";
AnsiString NameCount = "Count";
AnsiString NameCross = "Cross Points";
AnsiString NamePerformance = "Performance";
AnsiString NameCCI = "Commodity\rChannel Index";
AnsiString NameCLV = "Close Location\rValue";
AnsiString NameOBV = "On Balance\rVolume";
AnsiString NamePVO = "Volume\rOscillator";
AnsiString NameCompress = "Compression";
AnsiString NameCurve = "Curve Fitting";
AnsiString NameTrend = "Trend";
AnsiString NameExpTrend = "Exponential\rTrend";
AnsiString NameSmoothing = "Smoothing";
} // namespace

void RegisterTeeFinancialSeries() {
    RegisterTeeSeries(&TCandleSeries::ClassInfo, &NameCandle, &PageFinancial, 1);
    RegisterTeeSeries(&TVolumeSeries::ClassInfo, &NameVolume, &PageFinancial, 1);
    RegisterTeeSeries(&TBigCandleSeries::ClassInfo, &NameBigCandle, &PageOther, 1);

    RegisterTeeFunction(&TMovingAverageFunction::ClassInfo, &NameMovAve, &PageFinancial, 1);
    RegisterTeeFunction(&TExpMovAveFunction::ClassInfo, &NameExpMovAve, &PageFinancial, 1);
    RegisterTeeFunction(&TExpAverageFunction::ClassInfo, &NameExpAverage, &PageExtended, 1);
    RegisterTeeFunction(&TMomentumFunction::ClassInfo, &NameMomentum, &PageFinancial, 1);
    RegisterTeeFunction(&TMomentumDivFunction::ClassInfo, &NameMomentumDiv, &PageFinancial, 1);
    RegisterTeeFunction(&TMACDFunction::ClassInfo, &NameMACD, &PageFinancial, 1);
    RegisterTeeFunction(&TStochasticFunction::ClassInfo, &NameStochastic, &PageFinancial, 1);
    RegisterTeeFunction(&TRSIFunction::ClassInfo, &NameRSI, &PageFinancial, 1);
    RegisterTeeFunction(&TADXFunction::ClassInfo, &NameADX, &PageFinancial, 1);

    RegisterTeeFunction(&TStdDeviationFunction::ClassInfo, &NameStdDev, &PageExtended, 1);
    RegisterTeeFunction(&TRMSFunction::ClassInfo, &NameRMS, &PageExtended, 1);
    RegisterTeeFunction(&TBollingerFunction::ClassInfo, &NameBollinger, &PageFinancial, 1);
    RegisterTeeFunction(&TCumulative::ClassInfo, &NameCumulative, &PageExtended, 2);
    RegisterTeeBasicFunction(&TCountTeeFunction::ClassInfo, &NameCount);
    RegisterTeeFunction(&TCrossPointsFunction::ClassInfo, &NameCross, &PageExtended, 1);
    RegisterTeeFunction(&TPerformanceFunction::ClassInfo, &NamePerformance, &PageExtended, 1);
    RegisterTeeFunction(&TCCIFunction::ClassInfo, &NameCCI, &PageFinancial, 1);
    RegisterTeeFunction(&TCLVFunction::ClassInfo, &NameCLV, &PageFinancial, 1);
    RegisterTeeFunction(&TOBVFunction::ClassInfo, &NameOBV, &PageFinancial, 1);
    RegisterTeeFunction(&TPVOFunction::ClassInfo, &NamePVO, &PageFinancial, 1);
    RegisterTeeFunction(&TCompressFunction::ClassInfo, &NameCompress, &PageFinancial, 1);

    RegisterTeeFunction(&TCurveFittingFunction::ClassInfo, &NameCurve, &PageExtended, 1);
    RegisterTeeFunction(&TTrendFunction::ClassInfo, &NameTrend, &PageExtended, 1);
    RegisterTeeFunction(&TExpTrendFunction::ClassInfo, &NameExpTrend, &PageExtended, 1);
    RegisterTeeFunction(&TSmoothingFunction::ClassInfo, &NameSmoothing, &PageExtended, 1);
}
