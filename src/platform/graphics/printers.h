#pragma once
// The printer: a print job on the installed printer, or a PDF file when no
// printer is installed; its canvas draws pages in device pixels.
#include "platform/graphics/graphics.h"
#include "platform/graphics/paper.h"
#include <functional>

class TStrings;
class TStringList;

// The sheet in device pixels, turned for the orientation.
TSize PaperPixels(const TPaperSize& Paper, TPrinterOrientation Orientation, int PixelsPerInch);

QM_DECLARE_EXCEPTION(EPrinter, Exception)

// Where the pages of a print job go. The canvas is the printer's, the same
// for the whole job.
class TPrinterDevice {
public:
    virtual ~TPrinterDevice() = default;
    // Page size in device pixels and the device's pixels per inch, for the
    // given orientation.
    virtual TSize PageSize(TPrinterOrientation Orientation) = 0;
    virtual int PixelsPerInch() = 0;
    virtual void Begin(TCanvas* Canvas, const AnsiString& Title,
                       TPrinterOrientation Orientation) = 0;
    virtual void NewPage(TCanvas* Canvas) = 0;
    virtual void End(TCanvas* Canvas) = 0;
    virtual void Abort(TCanvas* Canvas) = 0;
    // The file the finished job was written to (empty on a printer).
    virtual AnsiString WrittenFile() const { return AnsiString(); }
};

class TPrinter : public TObject {
    QM_CLASS(TPrinter)
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    TCanvas* Canvas();
    // BeginDoc raises EPrinter "Printing in progress" during a job; NewPage and
    // EndDoc raise "Printer is not currently printing" outside one.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }

    int PageWidth();
    int PageHeight();
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    // The paper the print dialogs chose; every later job prints on it.
    TPaperSize Paper() const { return FPaper; }
    void SetPaper(const TPaperSize& Value);
    AnsiString Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value < 1 ? 1 : Value; }

    // Installed printers; index -1 is the default printer. Without printers
    // the list holds the PDF file output only.
    TStrings* Printers();
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int Value);
    void Refresh();
    // The file the next job prints into, as the print dialog's "print to file"
    // chose it (the user agreed to replace it); taken by that one job. Empty:
    // the printer.
    AnsiString OutputFile() const { return FOutputFile; }
    void SetOutputFile(const AnsiString& Value);
    // The PDF file proposed when no printer is installed (default: a file named
    // after the title in the user's documents folder, or home folder).
    // EFileNameError when that folder's name cannot be held.
    AnsiString PdfOutputPath() const;
    void SetPdfOutputPath(const AnsiString& Value) { FPdfPath = Value; }
    // PdfOutputPath, or where a file of that name exists, the first free name
    // beside it ("Chart1 (2).pdf"). A job that no dialog named goes there and
    // the print-file notice says so: no print-out replaces another unasked.
    AnsiString FreePdfOutputPath() const;
    // The file the last job was written to (empty after a printer's job).
    AnsiString LastOutputFile() const { return FLastOutput; }

protected:
    // The device of the next job; tests return a recording device.
    virtual std::unique_ptr<TPrinterDevice> CreateDevice();
    TPrinterDevice* Device();

private:
    void CheckPrinting(bool Printing);
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TPrinterDevice> FDevice;
    std::unique_ptr<TStringList> FPrinters;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    TPrinterOrientation FOrientation = poPortrait;
    TPaperSize FPaper;
    AnsiString FTitle;
    int FCopies = 1;
    int FPrinterIndex = -1;
    AnsiString FPdfPath;
    AnsiString FOutputFile;
    AnsiString FJobFile; // the dialog's file, taken by the job starting
    bool FStarting = false;
    bool FAnnounce = false;
    AnsiString FLastOutput;
};

// Called with the file name when a print-out went to a file that no dialog
// named, so the user learns where it is (the forms layer shows a message).
using TPrintFileNotice = std::function<void(const AnsiString& FileName)>;
void SetPrintFileNotice(TPrintFileNotice Notice);

// The program's printer; SetPrinter installs another (the caller keeps
// ownership) and returns the previous one; nullptr restores the default.
TPrinter* Printer();
TPrinter* SetPrinter(TPrinter* NewPrinter);

// Pages recorded into metafiles instead of printed (used by print previews and
// tests): each page a TMetafile of the page size.
class TMetafile;
class TMetafilePrinterDevice : public TPrinterDevice {
public:
    explicit TMetafilePrinterDevice(TSize PageSize = TSize(2480, 3508), int PixelsPerInch = 300);
    ~TMetafilePrinterDevice() override;
    TSize PageSize(TPrinterOrientation Orientation) override;
    int PixelsPerInch() override { return FPpi; }
    void Begin(TCanvas* Canvas, const AnsiString& Title, TPrinterOrientation Orientation) override;
    void NewPage(TCanvas* Canvas) override;
    void End(TCanvas* Canvas) override;
    void Abort(TCanvas* Canvas) override;

    const std::vector<std::unique_ptr<TMetafile>>& Pages() const { return FPages; }
    std::vector<std::unique_ptr<TMetafile>> TakePages() { return std::move(FPages); }
    AnsiString Title() const { return FTitle; }
    bool Ended() const { return FEnded; }
    bool WasAborted() const { return FAborted; }

private:
    void StartPage(TCanvas* Canvas);
    TSize FSize;
    int FPpi;
    TPrinterOrientation FOrientation = poPortrait;
    std::vector<std::unique_ptr<TMetafile>> FPages;
    AnsiString FTitle;
    bool FEnded = false;
    bool FAborted = false;
};
