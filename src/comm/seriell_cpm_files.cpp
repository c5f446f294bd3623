#include "comm/commhost.h"
#include "comm/comport.h"
#include "comm/recordfile.h"
#include "comm/seriell_cpm.h"
#include "comm/seriell_link.h"
#include "platform/classes/inifiles.h"
#include "platform/classes/streams.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include "platform/win32/kernel.h"

namespace {
constexpr int StoredFileLength = 28;
const char* const CRLF = "\r\n";
const char* const ResultHeader = "Date;Time;CPM-Mode;Start (V);Stop (V);Offset (sec);"
                                 "Decay time pos.(sec.);Decay time neg.(sec.);Offset (V);Comment";
const char* const StoredFilesHeader =
    "Date;Time;File no.;CPM-Mode;Start (V);Stop (V);Offset (sec);Decay time pos.(sec.);"
    "Decay time neg.(sec.);Offset (V);Comment";

// Twenty-eight hex digits, and not the "FF" mark of a file that is not there.
bool IsStoredFile(const AnsiString& text) {
    return text.Length() == StoredFileLength && C_CPM_EF::IsHexText(text) &&
           text.SubString(3, 2) != "FF";
}

AnsiString Decimal1(double v) {
    return FloatToStrF(v, ffFixed, 5, 1);
}

void TellNotWritten(const AnsiString& fileName) {
    CommHost().MessageBox("Can't write file : " + fileName + " ! Data not saved.", "Error", cbOK,
                          ciStop);
}

AnsiString Heading(const char* columns, const std::array<AnsiString, 12>& setup) {
    return AnsiString(columns) + CRLF + "Device: " + setup[0] + ";Serial No.: " + setup[1] +
           ";Cal.Date: " + setup[2] + CRLF;
}
} // namespace

AnsiString C_CPM_EF::ExtractDirectory(const AnsiString& path) {
    for (int i = path.Length(); i >= 1; --i)
        if (path[i] == '\\' || path[i] == '/') return path.SubString(1, i);
    return "";
}

AnsiString C_CPM_EF::ModeText(int mode) const {
    switch (mode) {
    case 16:
        return "Auto";
    case 33:
        return "Pos.";
    case 50:
        return "Neg.";
    default:
        return "";
    }
}

void C_CPM_EF::StoreDataDirectory(const AnsiString& fileName, bool updateMainWindow) {
    TCommHost& host = CommHost();
    const AnsiString folder = ExtractDirectory(fileName);
    if (folder.IsEmpty() || folder == host.CPM_DataDirectory()) return;
    if (updateMainWindow) host.SetCPM_DataDirectory(folder);
    try {
        TIniFile ini(host.SetupIniPath());
        ini.WriteString("CPM", "DataDirectory", folder);
    } catch (const std::exception& e) {
        host.MessageBox(FolderNotRememberedText(e.what()), FolderNotRememberedCaption, cbOK,
                        ciExclamation);
    }
}

TCpmResult C_CPM_EF::ReadStoredFile(int first, int& last, TStoredReplies& replies, int& count) {
    TCommHost& host = CommHost();
    host.ClearMemoDisplay();
    host.SetMemoDisplayFontSize(12);
    host.ProcessMessages();
    // File numbers index the replies and go out as two digits.
    if (first < 0 || last > 99 || first > last) {
        count = first - 1;
        return TCpmResult::NothingStored;
    }
    TCpmResult status = TCpmResult::Ok;
    count = first - 1;
    try {
        const char* const readSetup[9] = {"1", "0", "0", "0", "50", "9", "1", "1", "1"};
        for (int i = 0; i < 9; ++i)
            _struct_setup[3 + i] = readSetup[i];
        WriteSetup();
        Sleep(1000);
        TComPort& port = InstrumentPort();
        for (int n = first; n <= last; ++n) {
            Sleep(100);
            SendEnquiry(port);
            if (!WaitForAck(port)) status = TCpmResult::NoAck;
            if (status != TCpmResult::Ok) continue;
            const AnsiString number = (n < 10 ? "0" : "") + IntToStr(n);
            Sleep(20);
            port.WriteString(AnsiString(STX) + "r3" + ETX);
            Sleep(20);
            port.WriteString(AnsiString(STX) + number + ETX);
            Sleep(10);
            const AnsiString reply = ExtractReply(ReadFrame(port, ETX));
            replies[n] = reply;
            // An empty, cut-off or "FF" reply ends the stored files, and so
            // does one that is no stored file (the late reply of another request).
            if (!IsStoredFile(reply)) {
                status = n == first ? TCpmResult::NothingStored : TCpmResult::EndOfFiles;
                break;
            }
            host.AddMemoDisplayLine("Reading file no. : " + number + "  value : " + reply);
            host.ProcessMessages();
            count = n;
        }
    } catch (const Exception&) {
        return TCpmResult::ReadFailed;
    }
    if (status == TCpmResult::Ok || status == TCpmResult::EndOfFiles) last = count;
    return status;
}

TCpmResult C_CPM_EF::DecodeStoredFile(const AnsiString& text) {
    if (!IsStoredFile(text)) return TCpmResult::Failed;
    TResults& r = _struct_results;
    r.FileNumber = HexToInt(text.SubString(1, 2));
    r.Mode = HexToInt(text.SubString(3, 2));
    DecodeResultFields(text, r);
    return TCpmResult::Ok;
}

TCpmResult C_CPM_EF::SaveResult(int vStart, int vStop, int tOffset, double decayPos,
                                double decayNeg, double offsetV, const AnsiString& comment) {
    TCommHost& host = CommHost();
    AnsiString fileName;
    if (!host.ExecuteSaveDialog(MapWindowsPath(host.CPM_DataDirectory()), fileName))
        return TCpmResult::SaveCancelled;
    const TDateTime now = Now();

    const AnsiString row = DateToStr(now) + ";" + TimeToStr(now) + ";" +
                           ModeText(StrToIntDef(_struct_setup[7], 0)) + ";" + IntToStr(vStart) +
                           ";" + IntToStr(vStop) + ";" + IntToStr(tOffset) + ";" +
                           Decimal1(decayPos) + ";" + Decimal1(decayNeg) + ";" + Decimal1(offsetV) +
                           ";" + CsvText(comment) + CRLF;
    TRecordFile file(fileName);
    file.AddHeading(Heading(ResultHeader, _struct_setup));
    file.Add(row);
    const TRecordWrite written = file.Write();
    if (written == TRecordWrite::NotCreated)
        host.MessageBox("Can't create file : " + fileName, "Error", cbOK, ciNone);
    if (written == TRecordWrite::Short) TellNotWritten(fileName);
    // The data go first: a settings file that cannot be written never costs them.
    StoreDataDirectory(fileName, false);
    if (written == TRecordWrite::NotOpened) throw EFOpenError(file.Error());
    return written == TRecordWrite::Written ? TCpmResult::Ok : TCpmResult::Failed;
}

TCpmResult C_CPM_EF::CreateStoredFilesCsv(AnsiString& fileName) {
    TCommHost& host = CommHost();
    AnsiString chosen;
    if (!host.ExecuteSaveDialog(MapWindowsPath(host.CPM_DataDirectory()), chosen))
        return TCpmResult::CsvCancelled;
    fileName = chosen;
    TRecordFile file(chosen);
    bool ready = true;
    if (file.IsNew()) {
        // The identity is read before the file exists, so a failed read never
        // leaves a file without its heading.
        host.ReadCPMIdentity();
        file.AddHeading(Heading(StoredFilesHeader, _struct_setup));
        // The window tells a failure in its display.
        ready = file.Write() == TRecordWrite::Written;
    }
    StoreDataDirectory(chosen, true);
    return ready ? TCpmResult::Ok : TCpmResult::Failed;
}

TCpmResult C_CPM_EF::AppendStoredFileRow(const AnsiString& fileName) {
    const TDateTime now = Now();
    TResults& r = _struct_results;
    if (r.Mode == 33) r.DecayTimeNeg = 0.0;
    if (r.Mode == 50) r.DecayTimePos = 0.0;
    const AnsiString row = DateToStr(now) + ";" + TimeToStr(now) + ";" + IntToStr(r.FileNumber) +
                           ";" + ModeText(r.Mode) + ";" + IntToStr(r.StartVoltage) + ";" +
                           IntToStr(r.StopVoltage) + ";" + IntToStr(r.OffsetTime) + ";" +
                           Decimal1(r.DecayTimePos) + ";" + Decimal1(r.DecayTimeNeg) + ";" +
                           Decimal1(r.OffsetVoltage) + ";" + CsvText(r.Comment) + CRLF;
    for (;;) {
        // Rows go only into the file made with its heading.
        TRecordFile file(fileName);
        file.Add(row);
        if (!file.IsNew() && file.Write() == TRecordWrite::Written) return TCpmResult::Ok;
        if (CommHost().MessageBox("Can't save data! Is data file " + fileName +
                                      " open with another program ?",
                                  "Error", cbRetryCancel, ciStop) != crRetry)
            return TCpmResult::Failed;
    }
}
