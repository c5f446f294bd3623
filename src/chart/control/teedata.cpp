// Data exports.
//   columns        Prepare, row count, value headers and values (TSeriesData)
//   text           delimited lines with quoted fields
//   XML, HTML      escaped texts, declared encoding
//   Excel          BIFF records: BOF, DIMENSIONS, cells, EOF
#include "chart/control/teedata.h"
#include "chart/control/teeseriestypes.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teesources.h"
#include "platform/classes/streams.h"
#include "platform/graphics/graphics.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>

QM_CLASS_ABSTRACT(TSeriesData, TTeeExportData)
QM_CLASS_ABSTRACT(TSeriesDataText, TSeriesData)
QM_CLASS_ABSTRACT(TSeriesDataXML, TSeriesData)
QM_CLASS_ABSTRACT(TSeriesDataHTML, TSeriesData)
QM_CLASS_ABSTRACT(TSeriesDataXLS, TSeriesData)

namespace {
const char* const CRLF = "\r\n";

// Texts inside markup: the five characters that would end or open markup.
AnsiString Escape(const AnsiString& S) {
    std::string r;
    for (char c : S.str())
        switch (c) {
        case '&':
            r += "&amp;";
            break;
        case '<':
            r += "&lt;";
            break;
        case '>':
            r += "&gt;";
            break;
        case '"':
            r += "&quot;";
            break;
        default:
            r += c;
        }
    return AnsiString(r);
}

AnsiString Num(double V) {
    return FloatToStr(V);
}

// A list's name as a column heading. Some series clear the name of a list they
// do not use (a box plot's positions, a pie's angles); such a list is called
// by its role, so no column goes without a heading.
AnsiString ListName(TChartSeries* S, TChartValueList* L) {
    if (!L->Name().Trim().IsEmpty()) return L->Name();
    if (L == S->XValues()) return TeeMsg_ValuesX;
    if (L == S->YValues()) return TeeMsg_ValuesY;
    int index = 0;
    while (index < S->ValuesList()->Count() && S->ValuesList()->Get(index) != L)
        ++index;
    return "Value" + IntToStr(index);
}

// An XML attribute name made of a heading: letters, digits, '.', '-' and '_',
// starting with a letter or '_', and unique within its element.
std::string AttributeName(const AnsiString& Heading, std::set<std::string>& Used) {
    std::string n;
    for (char c : Heading.str()) {
        const auto u = static_cast<unsigned char>(c);
        const bool ok = (u < 0x80 && std::isalnum(u)) || c == '.' || c == '-' || c == '_';
        n += ok ? c : '_';
    }
    if (n.empty() || !(std::isalpha(static_cast<unsigned char>(n[0])) || n[0] == '_'))
        n.insert(0, "_");
    std::string unique = n;
    for (int k = 2; !Used.insert(unique).second; ++k)
        unique = n + "_" + std::to_string(k);
    return unique;
}
} // namespace

AnsiString TeeColorText(TColor Color) {
    const COLORREF rgb = ColorToRGB(Color);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%.2x%.2x%.2x", static_cast<unsigned>(rgb & 0xFF),
                  static_cast<unsigned>((rgb >> 8) & 0xFF),
                  static_cast<unsigned>((rgb >> 16) & 0xFF));
    return AnsiString(buf);
}

// ---------------------------------------------------------------------------
// Columns.

TSeriesData::TSeriesData(TCustomAxisPanel* AChart, TChartSeries* ASeries)
    : FChart(AChart), FSeries(ASeries) {}

std::vector<TChartSeries*> TSeriesData::Exported() const {
    // A series freed since the data was made exports nothing, not the chart.
    if (FSeries.Gone()) return {};
    if (FSeries) return {FSeries.Get()};
    std::vector<TChartSeries*> r;
    if (FChart)
        for (int i = 0; i < FChart->SeriesCount(); ++i)
            r.push_back(FChart->GetSeries(i));
    return r;
}

void TSeriesData::Prepare() {
    const auto all = Exported();
    FFlags = all.empty() ? TeeFormatFlags{} : SeriesGuessContents(all.front());
    if (!IncludeLabels) FFlags.Exclude(tfLabel);
    if (!IncludeColors) FFlags.Exclude(tfColor);
}

int TSeriesData::MaxSeriesCount() const {
    const auto all = Exported();
    if (all.empty()) return -1;
    int n = 0;
    for (TChartSeries* s : all)
        n = std::max(n, s->Count());
    return n;
}

std::vector<AnsiString> TSeriesData::ValueHeaders(TChartSeries* S) const {
    std::vector<AnsiString> r;
    TChartValueLists* lists = S->ValuesList();
    if (HasX()) r.push_back(ListName(S, S->NotMandatoryValues()));
    if (lists->Count() == 2) {
        r.push_back(SeriesTitleOrName(S));
    } else {
        for (int l = 1; l < lists->Count(); ++l)
            r.push_back(ListName(S, lists->Get(l)));
    }
    return r;
}

std::vector<double> TSeriesData::Values(TChartSeries* S, int Index) const {
    std::vector<double> r;
    if (HasX()) r.push_back(S->NotMandatoryValues()->Value(Index));
    r.push_back(S->MandatoryValues()->Value(Index));
    for (int l = 2; l < S->ValuesList()->Count(); ++l)
        r.push_back(S->ValuesList()->Get(l)->Value(Index));
    return r;
}

AnsiString TSeriesData::Encoding() const {
    return TargetEncoding().IsEmpty() ? AnsiString("windows-1252") : TargetEncoding();
}

AnsiString TSeriesData::AsString() {
    Prepare();
    std::string r;
    const int n = MaxSeriesCount();
    for (int i = 0; i < n; ++i)
        r += PointToString(i).str() + CRLF;
    return AnsiString(r);
}

// ---------------------------------------------------------------------------
// Text.

void TSeriesDataText::AddField(AnsiString& Line, bool& First, const AnsiString& Field) const {
    const std::string& f = Field.str();
    std::string out = f;
    if (f.find_first_of(std::string(1, TextDelimiter) + "\"\r\n") != std::string::npos) {
        out = "\"";
        for (char c : f)
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += '"';
    }
    if (!First) Line += AnsiString(std::string(1, TextDelimiter));
    Line += AnsiString(out);
    First = false;
}

AnsiString TSeriesDataText::AsString() {
    Prepare();
    AnsiString header;
    if (IncludeHeader) {
        bool first = true;
        if (IncludeIndex) AddField(header, first, "Index");
        if (HasLabels()) AddField(header, first, "Text");
        if (HasColors()) AddField(header, first, "Colors");
        for (TChartSeries* s : Exported())
            for (const AnsiString& h : ValueHeaders(s))
                AddField(header, first, h);
        header += CRLF;
    }
    return header + TSeriesData::AsString();
}

AnsiString TSeriesDataText::PointToString(int Index) {
    AnsiString line;
    bool first = true;
    if (IncludeIndex) AddField(line, first, IntToStr(Index));
    bool firstSeries = true;
    for (TChartSeries* s : Exported()) {
        const bool has = Index < s->Count();
        if (firstSeries) {
            if (HasLabels()) AddField(line, first, has ? s->GetXLabel(Index) : AnsiString());
            if (HasColors())
                AddField(line, first, TeeColorText(has ? s->ValueColor(Index) : clBlack));
        }
        const size_t columns = ValueHeaders(s).size();
        if (has)
            for (double v : Values(s, Index))
                AddField(line, first, Num(v));
        else
            for (size_t c = 0; c < columns; ++c)
                AddField(line, first, AnsiString());
        firstSeries = false;
    }
    return line;
}

// ---------------------------------------------------------------------------
// XML.

TSeriesDataXML::TSeriesDataXML(TCustomAxisPanel* AChart, TChartSeries* ASeries)
    : TSeriesData(AChart, ASeries) {
    IncludeHeader = true;
}

AnsiString TSeriesDataXML::SeriesBlock(TChartSeries* S) {
    std::string r = "<series title=\"" + Escape(SeriesTitleOrName(S)).str() + "\" type=\"" +
                    Escape(GetGallerySeriesName(S)).str() + "\" color=\"" +
                    TeeColorText(S->SeriesColor()).str() + "\">" + CRLF;
    r += "<points count=\"" + std::to_string(S->Count()) + "\">" + CRLF;
    for (int i = 0; i < S->Count(); ++i) {
        r += "<point ";
        if (IncludeIndex) r += "index=\"" + std::to_string(i) + "\"";
        if (HasLabels()) r += " text=\"" + Escape(S->GetXLabel(i)).str() + "\"";
        if (HasColors()) r += " color=\"" + TeeColorText(S->ValueColor(i)).str() + "\"";
        const auto values = Values(S, i);
        std::vector<TChartValueList*> lists;
        if (HasX()) lists.push_back(S->NotMandatoryValues());
        lists.push_back(S->MandatoryValues());
        for (int l = 2; l < S->ValuesList()->Count(); ++l)
            lists.push_back(S->ValuesList()->Get(l));
        std::set<std::string> used;
        if (IncludeIndex) used.insert("index");
        if (HasLabels()) used.insert("text");
        if (HasColors()) used.insert("color");
        for (size_t k = 0; k < lists.size(); ++k)
            r += " " + AttributeName(ListName(S, lists[k]), used) + "=\"" + Num(values[k]).str() +
                 "\"";
        r += std::string("/>") + CRLF;
    }
    r += std::string("</points>") + CRLF + "</series>" + CRLF + CRLF;
    return AnsiString(r);
}

AnsiString TSeriesDataXML::AsString() {
    Prepare();
    std::string r;
    // A file holds the system's single-byte code page; the declaration says so.
    if (IncludeHeader)
        r += "<?xml version=\"1.0\" encoding=\"" + Encoding().str() + "\"?>" + std::string(CRLF);
    if (FSeries || FSeries.Gone()) {
        if (FSeries) r += SeriesBlock(FSeries).str();
    } else {
        r += std::string("<chart>") + CRLF;
        for (TChartSeries* s : Exported())
            r += SeriesBlock(s).str();
        r += "</chart>";
    }
    return AnsiString(r);
}

// ---------------------------------------------------------------------------
// HTML.

AnsiString TSeriesDataHTML::AsString() {
    Prepare();
    std::string r;
    // A reader of a table without a declaration takes the system's code page,
    // as a file here holds; bytes in another encoding must say which.
    if (!TargetEncoding().IsEmpty())
        r += "<meta charset=\"" + TargetEncoding().str() + "\">" + std::string(CRLF);
    r += std::string("<table border=\"1\">") + CRLF;
    if (IncludeHeader) {
        r += "<tr>";
        const auto cell = [&](const AnsiString& T) { r += "<td>" + Escape(T).str() + "</td>"; };
        if (IncludeIndex) cell("Index");
        for (TChartSeries* s : Exported()) {
            if (HasLabels()) cell("Text");
            if (HasColors()) cell("Colors");
            for (const AnsiString& h : ValueHeaders(s))
                cell(h);
        }
        r += std::string("</tr>") + CRLF;
    }
    r += TSeriesData::AsString().str() + CRLF + "</table>";
    return AnsiString(r);
}

AnsiString TSeriesDataHTML::PointToString(int Index) {
    std::string r = "<tr>";
    const auto cell = [&](const AnsiString& T) { r += "<td>" + Escape(T).str() + "</td>"; };
    if (IncludeIndex) cell(IntToStr(Index));
    for (TChartSeries* s : Exported()) {
        const bool has = Index < s->Count();
        if (HasLabels()) cell(has ? s->GetXLabel(Index) : AnsiString());
        if (HasColors()) cell(has ? TeeColorText(s->ValueColor(Index)) : AnsiString());
        if (has)
            for (double v : Values(s, Index))
                cell(Num(v));
        else
            for (size_t c = 0; c < ValueHeaders(s).size(); ++c)
                cell(AnsiString());
    }
    return AnsiString(r + "</tr>");
}

// ---------------------------------------------------------------------------
// Excel.

namespace {
class TBiff {
public:
    void Record(uint16_t Type, const std::string& Data) {
        U16(Type);
        U16(static_cast<uint16_t>(Data.size()));
        FBytes += Data;
    }
    static std::string Head(int Row, int Col) {
        std::string h;
        Put16(h, static_cast<uint16_t>(Row));
        Put16(h, static_cast<uint16_t>(Col));
        h.append(3, '\0');
        return h;
    }
    void Blank(int Row, int Col) { Record(0x0001, Head(Row, Col)); }
    void Number(int Row, int Col, double V) {
        std::string d = Head(Row, Col);
        char b[8];
        std::memcpy(b, &V, 8);
        d.append(b, 8);
        Record(0x0003, d);
    }
    void Label(int Row, int Col, const AnsiString& Text) {
        std::string d = Head(Row, Col);
        const std::string t = Text.str().substr(0, 255);
        d += static_cast<char>(t.size());
        d += t;
        Record(0x0004, d);
    }
    static void Put16(std::string& S, uint16_t V) {
        S += static_cast<char>(V & 0xFF);
        S += static_cast<char>(V >> 8);
    }
    void U16(uint16_t V) { Put16(FBytes, V); }
    std::string FBytes;
};
} // namespace

void TSeriesDataXLS::SaveToStream(TStream* AStream) {
    const AnsiString bytes = AsString();
    AStream->WriteBuffer(bytes.data(), bytes.Length());
}

AnsiString TSeriesDataXLS::AsString() {
    Prepare();
    TBiff x;
    x.FBytes.assign("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00", 12);
    const auto all = Exported();
    const int rows = MaxSeriesCount();
    // The sheet's rows and columns must fit the format's 16-bit numbers.
    if (rows + 1 > 0xFFFF) throw ChartException("Too many points for an Excel sheet");
    const int perFlag = static_cast<int>(all.size());
    int cols = IncludeIndex ? 1 : 0;
    cols += ((HasLabels() ? 1 : 0) + (HasColors() ? 1 : 0) + (HasX() ? 1 : 0)) * perFlag;
    for (TChartSeries* s : all)
        cols += s->ValuesList()->Count() - 1;
    std::string dim;
    TBiff::Put16(dim, 0);
    TBiff::Put16(dim, static_cast<uint16_t>(std::max(0, rows) + (IncludeHeader ? 1 : 0)));
    TBiff::Put16(dim, 0);
    TBiff::Put16(dim, static_cast<uint16_t>(cols));
    TBiff::Put16(dim, 0);
    x.Record(0x0200, dim);

    if (IncludeHeader) {
        int c = 0;
        if (IncludeIndex) x.Label(0, c++, "Index");
        for (TChartSeries* s : all) {
            if (HasLabels()) x.Label(0, c++, "Text");
            if (HasColors()) x.Label(0, c++, "Colors");
            if (HasX()) x.Label(0, c++, ListName(s, s->NotMandatoryValues()));
            for (int l = 1; l < s->ValuesList()->Count(); ++l)
                x.Label(0, c++, ListName(s, s->ValuesList()->Get(l)));
        }
    }
    const int top = IncludeHeader ? 1 : 0;
    for (int i = 0; i < rows; ++i) {
        const int row = i + top;
        int c = 0;
        if (IncludeIndex) x.Number(row, c++, i);
        for (TChartSeries* s : all) {
            const bool has = i < s->Count();
            if (HasLabels()) x.Label(row, c++, has ? s->GetXLabel(i) : AnsiString());
            if (HasColors()) x.Label(row, c++, has ? TeeColorText(s->ValueColor(i)) : AnsiString());
            if (HasX()) {
                if (has)
                    x.Number(row, c++, s->NotMandatoryValues()->Value(i));
                else
                    x.Blank(row, c++);
            }
            const bool values = has && !s->IsNull(i);
            for (int l = 1; l < s->ValuesList()->Count(); ++l) {
                TChartValueList* list = l == 1 ? s->MandatoryValues() : s->ValuesList()->Get(l);
                if (values)
                    x.Number(row, c++, list->Value(i));
                else
                    x.Blank(row, c++);
            }
        }
    }
    x.Record(0x000A, std::string());
    return AnsiString(x.FBytes);
}
