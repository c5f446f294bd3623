#pragma once
// Price-and-volume functions (units Teeccifunction, Teeclvfunction,
// Teeobvfunction, Teepvofunction, Teecompressohlc): commodity channel index,
// close location value, on-balance volume, volume oscillator and the
// compression of price points into day, week, month... candles.
#include "chart/series/statchar.h"
#include "platform/classes/watched.h"
#include <functional>

class TOHLCSeries;

class TCCIFunction : public TTeeFunction {
    QM_CLASS(TCCIFunction)
public:
    explicit TCCIFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCCIFuncEditor"; }
    bool IsValidSource(TChartSeries* Value) override;
    void AddPoints(TChartSeries* Source) override;
    double Constant() const { return FConstant; }
    void SetConstant(double Value);
    bool IsConstantStored() const { return FConstant != 0.015; }

private:
    double FConstant = 0.015;
};

// Functions that read a second series of volumes.
class TVolumeTeeFunction : public TTeeFunction {
    QM_CLASS(TVolumeTeeFunction)
public:
    explicit TVolumeTeeFunction(TComponent* AOwner);
    ~TVolumeTeeFunction() override;
    bool IsValidSource(TChartSeries* Value) override;
    TChartSeries* Volume() const { return FVolume; }
    void SetVolume(TChartSeries* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TWatched<TChartSeries> FVolume;
};

class TCLVFunction : public TVolumeTeeFunction {
    QM_CLASS(TCLVFunction)
public:
    explicit TCLVFunction(TComponent* AOwner) : TVolumeTeeFunction(AOwner) {}
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCLVFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
    bool Accumulate() const { return FAccumulate; }
    void SetAccumulate(bool Value);

private:
    bool FAccumulate = true;
};

class TOBVFunction : public TVolumeTeeFunction {
    QM_CLASS(TOBVFunction)
public:
    explicit TOBVFunction(TComponent* AOwner) : TVolumeTeeFunction(AOwner) {}
    AnsiString GetEditorClass() override { return "TOBVFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
};

class TPVOFunction : public TTeeFunction {
    QM_CLASS(TPVOFunction)
public:
    explicit TPVOFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TPVOFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
    int Period2() const { return FPeriod2; }
    void SetPeriod2(int Value);
    bool Percentage() const { return FPercentage; }
    void SetPercentage(bool Value);

private:
    int FPeriod2 = 26;
    bool FPercentage = true;
};

enum TCompressionPeriod { ocDay, ocWeek, ocMonth, ocBiMonth, ocQuarter, ocYear };
QM_ENUM_NAMES(TCompressionPeriod, ocDay, ocWeek, ocMonth, ocBiMonth, ocQuarter, ocYear)

class TCompressFunction;
using TCompressGetDate =
    std::function<void(TTeeFunction* Sender, TChartSeries* Source, double& Date, int ValueIndex)>;

class TCompressFunction : public TTeeFunction {
    QM_CLASS(TCompressFunction)
public:
    explicit TCompressFunction(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TCompressFuncEditor"; }
    void AddPoints(TChartSeries* Source) override;
    void PrepareForGallery(TCustomAxisPanel* Chart) override;
    void CompressSeries(TChartSeries* Source, TOHLCSeries* DestOHLC, TChartSeries* Volume,
                        TChartSeries* DestVolume);
    TCompressionPeriod Compress() const { return FCompress; }
    void SetCompress(TCompressionPeriod Value);

    TCompressGetDate OnGetDate;

private:
    TCompressionPeriod FCompress = ocWeek;
};
