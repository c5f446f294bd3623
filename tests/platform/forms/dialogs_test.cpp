// Message boxes, input boxes and common dialogs through the dialog responder,
// and the responder's own verdicts on unexpected and missing items.
#include "forms_fixture.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/formsqt.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include "platform/graphics/printers.h"
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <string>
#include <vector>

class DialogsTest : public FormsTest {};

TEST_F(DialogsTest, MessageBoxesReportTextCaptionFlagsAndTheAnswer) {
    Responder.ExpectMessage("Are you sure", IDCANCEL).ExpectMessage("LED", IDOK);
    EXPECT_EQ(Application->MessageBox("Are you sure !", "Delete statistic data memory !",
                                      MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDCANCEL);
    // An empty caption stays empty (only a missing one would read "Error").
    EXPECT_EQ(Application->MessageBox("Press until the LED lights up", "", MB_OKCANCEL), IDOK);
    ASSERT_EQ(Responder.Shown().size(), 2u);
    EXPECT_EQ(Responder.Shown()[0].Caption, "Delete statistic data memory !");
    EXPECT_EQ(Responder.Shown()[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Responder.Shown()[1].Caption, "");
    EXPECT_TRUE(Responder.Done());
}

TEST_F(DialogsTest, MessageDlgMapsTypesAndButtons) {
    const struct {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Caption;
        int Flags;
    } rows[] = {
        {mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, "Confirmation", MB_YESNO | MB_ICONQUESTION},
        {mtWarning, mbYesNoCancel, "Warning", MB_YESNOCANCEL | MB_ICONWARNING},
        {mtError, TMsgDlgButtons{mbOK}, "Error", MB_OK | MB_ICONERROR},
        {mtInformation, mbOKCancel, "Information", MB_OKCANCEL | MB_ICONINFORMATION},
        {mtError, mbAbortRetryIgnore, "Error", MB_ABORTRETRYIGNORE | MB_ICONERROR},
    };
    for (const auto& row : rows) {
        Responder.ExpectMessage("Delete", IDYES);
        EXPECT_EQ(MessageDlg("Delete Series1 ?", row.Type, row.Buttons), mrYes);
        EXPECT_EQ(Responder.Shown().back().Caption, row.Caption);
        EXPECT_EQ(Responder.Shown().back().Flags, row.Flags);
    }
    Responder.ExpectMessage("Delete", IDNO);
    EXPECT_EQ(
        MessageDlgPos("Delete Series1 ?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0, 130, 120),
        mrNo);
}

// The box the user sees is wide enough for its title as a window manager
// writes it (bold), beside the frame's icon and buttons.
TEST_F(DialogsTest, MessageBoxesNeverCutTheirTitle) {
    const struct {
        const char* Caption;
        const char* Text;
        int Flags;
        std::vector<int> Ids;
    } boxes[] = {
        {"Input errors", "Incorrect date entry ", MB_OK, {IDOK}},
        {"Delete statistic data memory !",
         "Are you sure !",
         MB_OKCANCEL | MB_ICONEXCLAMATION,
         {IDOK, IDCANCEL}},
        {"Error", "Overflow", MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    };
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.Caption);
        QMessageBox box;
        std::vector<int> ids;
        for (const TMessageBoxButton& button : SetUpMessageBox(box, b.Text, b.Caption, b.Flags))
            ids.push_back(button.Id);
        EXPECT_EQ(ids, b.Ids);
        box.show();
        QApplication::processEvents();
        EXPECT_EQ(box.windowTitle().toStdString(), b.Caption);
        EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100);
        box.hide();
    }
}

TEST_F(DialogsTest, InputQueryAndInputBox) {
    Responder.ExpectInput("New Series Title:", "Volts").ExpectInputCancel("New Series Title:");
    AnsiString value = "Series1";
    EXPECT_TRUE(InputQuery("Change Series Title", "New Series Title:", value));
    EXPECT_EQ(value, "Volts");
    EXPECT_EQ(Responder.Shown()[0].Value, "Series1");
    EXPECT_EQ(InputBox("Change Series Title", "New Series Title:", "kept"), "kept");
}

TEST_F(DialogsTest, SaveDialogAddsTheDefaultExtensionAndReportsTheFilter) {
    TSaveDialog dialog(Form.get());
    dialog.SetFilter(
        "Comma-Separated Values (*.CSV)|*.CSV|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    dialog.SetFilterIndex(0);
    dialog.SetDefaultExt("CSV");
    dialog.SetInitialDir("D:\\Data\\");
    EXPECT_EQ(dialog.InitialDir(), "D:\\Data");
    dialog.SetInitialDir("C:\\");
    EXPECT_EQ(dialog.InitialDir(), "C:\\");
    Responder.ExpectSave("/tmp/result", 2)
        .ExpectSave("/tmp/table.txt")
        .ExpectCancel(TDialogKind::SaveDialog);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/result.CSV");
    EXPECT_EQ(dialog.FilterIndex(), 2);
    EXPECT_EQ(Responder.Shown()[0].InitialDir, "C:\\");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/table.txt");
    EXPECT_EQ(dialog.Files()->Count(), 1);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/tmp/table.txt");
    // Filter index 0 shows the first filter; only a confirmed dialog reports it.
    dialog.SetFilterIndex(0);
    Responder.ExpectCancel(TDialogKind::SaveDialog).ExpectSave("/tmp/x");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FilterIndex(), 0);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST_F(DialogsTest, PictureDialogsListThePictureFormats) {
    TOpenPictureDialog open(Form.get());
    TSavePictureDialog save(Form.get());
    EXPECT_EQ(open.Filter(), TPicture::GraphicFilter());
    EXPECT_NE(open.Filter().Pos("*.bmp"), 0);
    Responder.ExpectOpen("/tmp/a.bmp").ExpectSave("/tmp/b.bmp");
    EXPECT_TRUE(open.Execute());
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(Responder.Shown()[0].Kind, TDialogKind::OpenDialog);
    EXPECT_EQ(Responder.Shown()[1].Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(Responder.Shown()[1].Filter, TPicture::GraphicFilter());
}

TEST_F(DialogsTest, PrintDialogOffersAndReportsAPageRange) {
    TPrintDialog print(Form.get());
    print.SetMinPage(1);
    print.SetMaxPage(3);
    Responder.ExpectPrintPages(2, 3).ExpectPrint(true).ExpectPrintPages(1, 1);
    // Without poPageNums no range is offered, so none comes back.
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prAllPages);
    EXPECT_EQ(Responder.Shown()[0].MaxPage, 0);
    print.SetOptions(TPrintDialogOptions{poPageNums});
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prAllPages);
    EXPECT_EQ(Responder.Shown()[1].MinPage, 1);
    EXPECT_EQ(Responder.Shown()[1].MaxPage, 3);
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(print.PrintRange(), prPageNums);
    EXPECT_EQ(print.FromPage(), 1);
    EXPECT_EQ(print.ToPage(), 1);
}

TEST_F(DialogsTest, ColourFontAndPrintDialogs) {
    TColorDialog color(Form.get());
    color.SetColor(clRed);
    Responder.ExpectColor(clBlue).ExpectCancel(TDialogKind::ColorDialog);
    EXPECT_TRUE(color.Execute());
    EXPECT_EQ(color.Color(), clBlue);
    EXPECT_FALSE(color.Execute());
    EXPECT_EQ(color.Color(), clBlue);
    EXPECT_EQ(Responder.Shown()[1].Color, clBlue);

    TFontDialog font(Form.get());
    Responder.ExpectFont([](TFont* f) { f->SetSize(14); });
    EXPECT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->Size(), 14);

    TPrintDialog print(Form.get());
    TPrinterSetupDialog setup(Form.get());
    print.SetCopies(2);
    Responder.ExpectPrint(false).ExpectPrint(true).Expect(TDialogKind::PrinterSetupDialog, "",
                                                          TDialogAnswer{});
    EXPECT_FALSE(print.Execute());
    EXPECT_EQ(Printer()->Copies(), 1);
    EXPECT_TRUE(print.Execute());
    EXPECT_EQ(Printer()->Copies(), 2); // the program's printer prints the copies chosen
    Printer()->SetCopies(1);
    EXPECT_TRUE(setup.Execute());
}

TEST(DialogResponderTest, UnexpectedMismatchedAndMissingItemsAreFailures) {
    std::vector<std::string> failures;
    {
        TDialogResponder responder;
        responder.OnFailure = [&](const AnsiString& m) { failures.push_back(m.c_str()); };
        // Nothing expected: the box gets the answer that cancels it.
        EXPECT_EQ(Application->MessageBox("Retry ?", "Error", MB_RETRYCANCEL), IDCANCEL);
        EXPECT_EQ(Application->MessageBox("Sure ?", "Query", MB_YESNO), IDNO);
        EXPECT_EQ(Application->MessageBox("Saved.", "File saved", MB_OK), IDOK);
        // The wrong kind or text.
        responder.ExpectMessage("Checksum", IDRETRY);
        EXPECT_EQ(Application->MessageBox("Timeout", "Error", MB_RETRYCANCEL), IDCANCEL);
        responder.ExpectOpen("/tmp/x");
        TOpenDialog open(nullptr);
        EXPECT_EQ(Application->MessageBox("Busy", "Error", MB_OK), IDOK);
        EXPECT_FALSE(open.Execute());
        // One left over when the responder goes.
        responder.ExpectMessage("never", IDOK);
    }
    ASSERT_EQ(failures.size(), 7u);
    EXPECT_NE(failures[0].find("unexpected message box \"Error\": \"Retry ?\""), std::string::npos);
    EXPECT_NE(failures[3].find("expected message box containing \"Checksum\""), std::string::npos);
    EXPECT_NE(failures[4].find("expected open dialog"), std::string::npos);
    EXPECT_NE(failures[6].find("\"never\" was never shown"), std::string::npos);
}

TEST(DialogResponderTest, NestedRespondersRestoreTheOuterOne) {
    TDialogResponder outer;
    outer.ExpectMessage("outer", IDOK);
    {
        TDialogResponder inner;
        inner.ExpectMessage("inner", IDYES);
        EXPECT_EQ(Application->MessageBox("inner", "", MB_YESNO), IDYES);
    }
    EXPECT_EQ(TDialogResponder::Current(), &outer);
    EXPECT_EQ(Application->MessageBox("outer", "", MB_OK), IDOK);
    EXPECT_TRUE(outer.Done());
    EXPECT_TRUE(outer.Failures().empty());
}
