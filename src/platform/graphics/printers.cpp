// TPrinter: print jobs through Qt print support, or into a PDF file when the
// print dialog chose one or no printer is installed (made in memory and written
// whole when complete, never over another print-out unasked), both on the
// paper the dialogs chose; and a printer device that records pages as metafiles.
#include "platform/classes/streams.h"
#include "platform/classes/stringlist.h"
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/graphics/qtbridge.h"
#include "platform/graphics/qtfilenames.h"
#include "platform/graphics/qtpaper.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <climits>
#include <cmath>

QM_CLASS_PLAIN(TPrinter, TObject)

namespace {

constexpr int PdfResolution = 600;

// The printer's canvas: a painter on the page device.
void AttachPainter(TCanvas* Canvas, QPainter* Painter, TSize Size, int Ppi, int Technology) {
    TCanvasPrivate* d = Canvas->Private();
    d->Painter = Painter;
    d->PainterChanged();
    d->DeviceSize = Size;
    d->DevicePpi = Ppi;
    d->DeviceTechnology = Technology;
    d->S = TDCState();
    d->Saved.clear();
    d->ClipChanged();
    // The font keeps its point size on the new device (set before the
    // document begins, it holds for the first page).
    const int points = Canvas->Font()->Size();
    Canvas->Font()->SetPixelsPerInch(Ppi);
    Canvas->Font()->SetSize(points);
    Canvas->Refresh();
}

void DetachPainter(TCanvas* Canvas) {
    TCanvasPrivate* d = Canvas->Private();
    d->Painter = nullptr;
}

// Name followed by Tail, Name cut by whole characters where both would pass
// the bytes a folder allows for one name.
QString FitName(QString Name, const QString& Tail) {
    while (!Name.isEmpty() && QFile::encodeName(Name + Tail).size() > NAME_MAX) {
        Name.chop(1);
        if (!Name.isEmpty() && Name.back().isHighSurrogate()) Name.chop(1);
    }
    return Name + Tail;
}

// Path itself when no such file exists, else the first free "name (n).ext" beside it.
QString FreeName(const QString& Path) {
    if (!QFileInfo::exists(Path)) return Path;
    const QFileInfo info(Path);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = info.dir().filePath(
            FitName(info.completeBaseName(), QStringLiteral(" (%1)").arg(n) + suffix));
        if (!QFileInfo::exists(candidate) || n == INT_MAX) return candidate;
    }
}

class TQtPrinterDevice : public TPrinterDevice {
public:
    // An empty name prints to a PDF file at Path; Replace says whether an
    // existing file there may be replaced (the user agreed in the dialog).
    TQtPrinterDevice(const QString& PrinterName, const QString& Path, int Copies, bool Replace,
                     const TPaperSize& Paper)
        : FName(PrinterName), FPath(Path), FCopies(Copies), FReplace(Replace), FPaper(Paper) {}

    TSize PageSize(TPrinterOrientation o) override {
        Prepare(o);
        if (FPrinter) {
            const QRect r = FPrinter->pageLayout().paintRectPixels(FPrinter->resolution());
            return {r.width(), r.height()};
        }
        return {FPdf->width(), FPdf->height()};
    }
    int PixelsPerInch() override {
        Prepare(FOrientation);
        return FPrinter ? FPrinter->resolution() : PdfResolution;
    }
    void Begin(TCanvas* Canvas, const AnsiString& Title, TPrinterOrientation o) override {
        // Refused before anything is drawn, as a save into that folder would be.
        if (FName.isEmpty()) CheckFolderOf(FileNameFromQt(FPath));
        Prepare(o);
        QPaintDevice* dev;
        if (FPrinter) {
            FPrinter->setDocName(AnsiToQString(Title));
            dev = FPrinter.get();
        } else {
            FPdf->setTitle(AnsiToQString(Title));
            FPdf->setCreator(QStringLiteral("QM read out"));
            dev = FPdf.get();
        }
        FPainter = std::make_unique<QPainter>();
        if (!FPainter->begin(dev)) {
            FPainter.reset();
            throw EPrinter("Printer selected is not valid");
        }
        const TSize size = PageSize(o);
        AttachPainter(Canvas, FPainter.get(), size, PixelsPerInch(), DT_RASPRINTER);
    }
    void NewPage(TCanvas* Canvas) override {
        if (FPrinter)
            FPrinter->newPage();
        else
            FPdf->newPage();
        // Each page starts with a fresh device context, as on the platform.
        const TCanvasPrivate* d = Canvas->Private();
        AttachPainter(Canvas, FPainter.get(), d->DeviceSize, d->DevicePpi, DT_RASPRINTER);
    }
    void End(TCanvas* Canvas) override {
        DetachPainter(Canvas);
        const bool finished = FPainter && FPainter->end();
        FPainter.reset();
        if (FPrinter) {
            if (!finished) throw EPrinter("The printer did not take the print job");
            return;
        }
        FPdf.reset();
        const QByteArray pdf = FBuffer.data();
        FBuffer.close();
        if (!finished || pdf.isEmpty())
            throw EPrinter("Cannot write the print file " + FileNameFromQt(FPath) +
                           ". The document could not be finished.");
        // The whole document is in memory: the file is written whole or not at all,
        // and a file it may not replace keeps its content.
        if (FReplace) {
            SaveFileReplacing(FileNameFromQt(FPath), pdf.constData(), pdf.size());
            FWritten = FileNameFromQt(FPath);
            return;
        }
        QString target = FPath;
        for (int attempt = 0; attempt < 100; ++attempt, target = FreeName(target))
            if (SaveFileNew(FileNameFromQt(target), pdf.constData(), pdf.size())) {
                FWritten = FileNameFromQt(target);
                return;
            }
        throw EPrinter("Cannot write the print file " + FileNameFromQt(FPath));
    }
    AnsiString WrittenFile() const override { return FWritten; }
    void Abort(TCanvas* Canvas) override {
        DetachPainter(Canvas);
        if (FPrinter) FPrinter->abort();
        if (FPainter && FPainter->isActive()) FPainter->end();
        FPainter.reset();
        FPdf.reset();
        FBuffer.close();
    }

private:
    QPageLayout Layout(TPrinterOrientation o) const {
        const QPageLayout::Orientation qo =
            o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        return QPageLayout(FPaper.IsEmpty() ? QPageSize(QPageSize::A4) : QtPageSize(FPaper), qo,
                           QMarginsF(0, 0, 0, 0));
    }
    void Prepare(TPrinterOrientation o) {
        EnsureGuiApplication();
        const QPageLayout::Orientation qo =
            o == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        if (!FName.isEmpty()) {
            if (!FPrinter) {
                FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
                FPrinter->setPrinterName(FName);
                FPrinter->setCopyCount(FCopies);
                FPrinter->setFullPage(false);
                if (!FPaper.IsEmpty()) FPrinter->setPageSize(QtPageSize(FPaper));
            }
            if (FOrientation != o || !FPrepared) FPrinter->setPageOrientation(qo);
        } else if (!FPdf) {
            FBuffer.open(QIODevice::WriteOnly);
            FPdf = std::make_unique<QPdfWriter>(&FBuffer);
            FPdf->setResolution(PdfResolution);
            FPdf->setPageLayout(Layout(o));
        } else if (FOrientation != o) {
            FPdf->setPageOrientation(qo);
        }
        FOrientation = o;
        FPrepared = true;
    }

    QString FName, FPath;
    int FCopies;
    bool FReplace;
    TPaperSize FPaper;
    AnsiString FWritten;
    std::unique_ptr<QPrinter> FPrinter;
    QBuffer FBuffer; // the PDF document until it is complete
    std::unique_ptr<QPdfWriter> FPdf;
    std::unique_ptr<QPainter> FPainter;
    TPrinterOrientation FOrientation = poPortrait;
    bool FPrepared = false;
};

QStringList InstalledPrinters() {
    EnsureGuiApplication();
    return QPrinterInfo::availablePrinterNames();
}

TPrinter* GInstalled = nullptr;

TPrintFileNotice& PrintFileNotice() {
    static TPrintFileNotice notice;
    return notice;
}

} // namespace

TPrinter::TPrinter() : FCanvas(std::make_unique<TCanvas>()) {
    // A job that sets no size prints at 10 points.
    FCanvas->Font()->SetSize(10);
}

TPrinter::~TPrinter() {
    if (FPrinting && FDevice) {
        try {
            FDevice->Abort(FCanvas.get());
        } catch (...) {
        }
    }
}

TCanvas* TPrinter::Canvas() {
    // Outside a job the canvas measures for the printer (its resolution).
    if (!FPrinting) {
        TCanvasPrivate* d = FCanvas->Private();
        const int ppi = Device()->PixelsPerInch();
        if (d->DevicePpi != ppi) {
            d->DevicePpi = ppi;
            d->DeviceTechnology = DT_RASPRINTER;
            d->DeviceSize = Device()->PageSize(FOrientation);
            FCanvas->Font()->SetPixelsPerInch(ppi);
        }
    }
    return FCanvas.get();
}

TPrinterDevice* TPrinter::Device() {
    if (!FDevice) FDevice = CreateDevice();
    return FDevice.get();
}

std::unique_ptr<TPrinterDevice> TPrinter::CreateDevice() {
    Printers();
    // A file named in the dialog also decides how the job measures before it starts.
    const AnsiString named = FStarting ? FJobFile : FOutputFile;
    if (!named.IsEmpty())
        return std::make_unique<TQtPrinterDevice>(QString(), FileNameToQt(named), FCopies, true,
                                                  FPaper);
    const QStringList names = InstalledPrinters();
    if (!names.isEmpty()) {
        QString name;
        if (FPrinterIndex >= 0 && FPrinterIndex < names.size())
            name = names[FPrinterIndex];
        else {
            name = QPrinterInfo::defaultPrinterName();
            if (name.isEmpty()) name = names.front();
        }
        return std::make_unique<TQtPrinterDevice>(name, QString(), FCopies, false, FPaper);
    }
    // Outside a job the device only measures; a job takes a free name.
    FAnnounce = FStarting;
    const AnsiString path = FStarting ? FreePdfOutputPath() : PdfOutputPath();
    return std::make_unique<TQtPrinterDevice>(QString(), FileNameToQt(path), FCopies, false,
                                              FPaper);
}

void TPrinter::CheckPrinting(bool Printing) {
    if (FPrinting != Printing) {
        if (Printing) throw EPrinter("Printer is not currently printing");
        throw EPrinter("Printing in progress");
    }
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    FDevice.reset(); // a fresh device for each job (printer, orientation, file)
    FAborted = false;
    FPageNumber = 1;
    FLastOutput = AnsiString();
    FAnnounce = false;
    FJobFile = FOutputFile;
    FOutputFile = AnsiString();
    struct TStarting {
        bool& Flag;
        explicit TStarting(bool& F) : Flag(F) { Flag = true; }
        ~TStarting() { Flag = false; }
    } starting(FStarting);
    Device()->Begin(FCanvas.get(), FTitle, FOrientation);
    FPrinting = true;
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    Device()->NewPage(FCanvas.get());
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    FPrinting = false;
    FDevice->End(FCanvas.get());
    FLastOutput = FDevice->WrittenFile();
    if (FAnnounce && !FLastOutput.IsEmpty() && PrintFileNotice()) PrintFileNotice()(FLastOutput);
}

void TPrinter::Abort() {
    CheckPrinting(true);
    FPrinting = false;
    FAborted = true;
    FDevice->Abort(FCanvas.get());
}

int TPrinter::PageWidth() {
    if (FPrinting) return FCanvas->Private()->DeviceSize.cx;
    return Device()->PageSize(FOrientation).cx;
}

int TPrinter::PageHeight() {
    if (FPrinting) return FCanvas->Private()->DeviceSize.cy;
    return Device()->PageSize(FOrientation).cy;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
    if (Value == FOrientation) return;
    CheckPrinting(false);
    FOrientation = Value;
}

void TPrinter::SetPaper(const TPaperSize& Value) {
    if (Value == FPaper) return;
    CheckPrinting(false);
    FPaper = Value;
    FDevice.reset();
}

TSize PaperPixels(const TPaperSize& Paper, TPrinterOrientation Orientation, int PixelsPerInch) {
    const auto pixels = [PixelsPerInch](int Tenths) {
        return int(std::lround(Tenths * PixelsPerInch / 254.0));
    };
    const TSize upright(pixels(Paper.Width), pixels(Paper.Height));
    return Orientation == poLandscape ? TSize(upright.cy, upright.cx) : upright;
}

TStrings* TPrinter::Printers() {
    if (!FPrinters) {
        FPrinters = std::make_unique<TStringList>();
        Refresh();
    }
    return FPrinters.get();
}

void TPrinter::Refresh() {
    if (!FPrinters) FPrinters = std::make_unique<TStringList>();
    FPrinters->Clear();
    const QStringList names = InstalledPrinters();
    for (const QString& n : names)
        FPrinters->Add(QStringToAnsi(n));
    if (names.isEmpty()) FPrinters->Add("PDF file");
    FDevice.reset();
}

void TPrinter::SetPrinterIndex(int Value) {
    CheckPrinting(false);
    if (Value < -1 || Value >= Printers()->Count()) throw EPrinter("Printer index out of range");
    FPrinterIndex = Value;
    FDevice.reset();
}

AnsiString TPrinter::PdfOutputPath() const {
    if (!FPdfPath.IsEmpty()) return FPdfPath;
    EnsureGuiApplication();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::homePath();
    QString name = AnsiToQString(FTitle).trimmed();
    static const QString forbidden = QStringLiteral("/\\\\:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    if (name.isEmpty()) name = QStringLiteral("Print");
    return FileNameFromQt(QDir(dir).filePath(FitName(name, QStringLiteral(".pdf"))));
}

void TPrinter::SetOutputFile(const AnsiString& Value) {
    CheckPrinting(false);
    FOutputFile = Value;
    FDevice.reset();
}

AnsiString TPrinter::FreePdfOutputPath() const {
    return FileNameFromQt(FreeName(FileNameToQt(PdfOutputPath())));
}

void SetPrintFileNotice(TPrintFileNotice Notice) {
    PrintFileNotice() = std::move(Notice);
}

TPrinter* Printer() {
    if (GInstalled) return GInstalled;
    static TPrinter* standard = new TPrinter(); // lives as long as the program
    return standard;
}

TPrinter* SetPrinter(TPrinter* NewPrinter) {
    TPrinter* old = Printer();
    GInstalled = NewPrinter;
    return old;
}

// --- metafile pages ---------------------------------------------------------------

TMetafilePrinterDevice::TMetafilePrinterDevice(TSize PageSize, int PixelsPerInch)
    : FSize(PageSize), FPpi(PixelsPerInch) {}

TMetafilePrinterDevice::~TMetafilePrinterDevice() = default;

TSize TMetafilePrinterDevice::PageSize(TPrinterOrientation o) {
    return o == poLandscape ? TSize(FSize.cy, FSize.cx) : FSize;
}

void TMetafilePrinterDevice::StartPage(TCanvas* Canvas) {
    auto page = std::make_unique<TMetafile>();
    const TSize s = PageSize(FOrientation);
    page->SetWidth(s.cx);
    page->SetHeight(s.cy);
    TCanvasPrivate* d = Canvas->Private();
    d->Image = nullptr;
    d->Painter = nullptr;
    d->DevicePpi = FPpi;
    d->DeviceTechnology = DT_RASPRINTER;
    d->S = TDCState();
    d->Saved.clear();
    d->ClipChanged();
    RecordInto(Canvas, page.get());
    const int points = Canvas->Font()->Size();
    Canvas->Font()->SetPixelsPerInch(FPpi);
    Canvas->Font()->SetSize(points);
    Canvas->Refresh();
    FPages.push_back(std::move(page));
}

void TMetafilePrinterDevice::Begin(TCanvas* Canvas, const AnsiString& Title,
                                   TPrinterOrientation Orientation) {
    FTitle = Title;
    FOrientation = Orientation;
    FPages.clear();
    FEnded = FAborted = false;
    StartPage(Canvas);
}

void TMetafilePrinterDevice::NewPage(TCanvas* Canvas) {
    StartPage(Canvas);
}

void TMetafilePrinterDevice::End(TCanvas* Canvas) {
    RecordInto(Canvas, nullptr);
    FEnded = true;
}

void TMetafilePrinterDevice::Abort(TCanvas* Canvas) {
    RecordInto(Canvas, nullptr);
    FAborted = true;
}
