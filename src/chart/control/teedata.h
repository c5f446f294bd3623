#pragma once
// Point data of one series, or of every series of a chart side by side, as
// delimited text, XML, an HTML table or an Excel worksheet.
#include "chart/engine/teeexport.h"
#include "chart/engine/teengine.h"
#include "platform/classes/watched.h"

class TCustomAxisPanel;
class TChartSeries;

class TSeriesData : public TTeeExportData {
    QM_CLASS(TSeriesData)
public:
    // Without a series every series of the chart is exported.
    TSeriesData(TCustomAxisPanel* AChart, TChartSeries* ASeries = nullptr);

    AnsiString AsString() override;
    virtual AnsiString PointToString(int Index) {
        (void)Index;
        return AnsiString();
    }
    // Works out which columns the export has.
    void Prepare();
    // Rows: the longest exported series; -1 without any series.
    int MaxSeriesCount() const;

    bool IncludeColors = false;
    bool IncludeIndex = false;
    bool IncludeHeader = false;
    bool IncludeLabels = true;

protected:
    // The exported series in chart order.
    std::vector<TChartSeries*> Exported() const;
    bool HasX() const { return FFlags.Contains(tfNoMandatory); }
    bool HasColors() const { return FFlags.Contains(tfColor); }
    bool HasLabels() const { return FFlags.Contains(tfLabel); }
    // The header texts of one series' value columns.
    std::vector<AnsiString> ValueHeaders(TChartSeries* S) const;
    // The values of point Index: X (when exported), Y and the further lists.
    std::vector<double> Values(TChartSeries* S, int Index) const;
    // The encoding of the bytes the text goes out in, as a declaration names it.
    AnsiString Encoding() const;

    // The caller may free either while the data is kept: both read gone then.
    TWatched<TCustomAxisPanel> FChart;
    TWatched<TChartSeries> FSeries;
    TeeFormatFlags FFlags;
};

class TSeriesDataText : public TSeriesData {
    QM_CLASS(TSeriesDataText)
public:
    using TSeriesData::TSeriesData;
    AnsiString AsString() override;
    AnsiString PointToString(int Index) override;
    char TextDelimiter = '\t';

private:
    // A field holding the delimiter, a quote or a line break is quoted, so
    // each line keeps its columns.
    void AddField(AnsiString& Line, bool& First, const AnsiString& Field) const;
};

class TSeriesDataXML : public TSeriesData {
    QM_CLASS(TSeriesDataXML)
public:
    TSeriesDataXML(TCustomAxisPanel* AChart, TChartSeries* ASeries = nullptr);
    AnsiString AsString() override;

private:
    AnsiString SeriesBlock(TChartSeries* S);
};

class TSeriesDataHTML : public TSeriesData {
    QM_CLASS(TSeriesDataHTML)
public:
    using TSeriesData::TSeriesData;
    AnsiString AsString() override;
    AnsiString PointToString(int Index) override;
};

class TSeriesDataXLS : public TSeriesData {
    QM_CLASS(TSeriesDataXLS)
public:
    using TSeriesData::TSeriesData;
    void SaveToStream(TStream* AStream) override;
    // The worksheet's bytes.
    AnsiString AsString() override;

protected:
    // The worksheet goes to the clipboard as itself, never as text.
    AnsiString ClipboardFormat() const override { return "application/vnd.ms-excel"; }
};

// "#rrggbb" of a colour, lower-case.
AnsiString TeeColorText(TColor Color);
