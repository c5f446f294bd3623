#pragma once
// The plate monitor's decay-test chart window: the live curve of the running
// test, its reference lines and the zero line, with the commander and a cursor.
#include "platform/forms/buttons.h"
#include "platform/forms/forms.h"
#include <array>
#include <memory>

class TChart;
class TLineSeries;
class TTeeCommander;
class TCursorTool;
class TCommSeriesSink;

class TFormChartCPM : public TForm {
    QM_CLASS(TFormChartCPM)
public:
    explicit TFormChartCPM(TComponent* AOwner);
    ~TFormChartCPM() override;

    TTeeCommander* TeeCommander1;
    TBitBtn* BitBtn_Exit;
    TChart* Chart1;
    // nullptr once the chart editor has replaced or deleted the series.
    TLineSeries *Series1, *Series2, *Series3, *Series4, *Series5, *Series6;
    TCursorTool* ChartTool1;

    // Series1..Series6 as the instrument code writes them; nullptr otherwise.
    TCommSeriesSink* Sink(int Number) const;

    void BitBtn_ExitClick(TObject* Sender);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::array<std::unique_ptr<TCommSeriesSink>, 6> FSinks;
};

extern TFormChartCPM* FormChartCPM;
