#include "app_fixture.h"
#include "comm/comsignal.h"
#include "comm/seriell_cpm.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/stdctrls.h"
#include "support/fake_uart.h"
#include <sys/ioctl.h>

namespace {
class SerialFormTest : public AppTest {
protected:
    void SetUp() override { Start(); }
};
} // namespace

TEST_F(SerialFormTest, HoldsThePortTheSignalTheMemoAndTheSaveDialogAsItsResourceSetsThem) {
    // The program start points the port elsewhere: a form of its own shows the resource.
    TFoCom form(nullptr);
    EXPECT_EQ(form.Caption(), "Seriell");
    EXPECT_FALSE(form.Visible());
    TComPort* port = form.ComPort1;
    EXPECT_EQ(port->DeviceName(), "COM2");
    EXPECT_EQ(port->BaudRate(), br2400);
    EXPECT_EQ(port->DataBits(), db8);
    EXPECT_EQ(port->Parity(), paDefault);
    EXPECT_EQ(port->StopBits(), sbDefault);
    EXPECT_EQ(port->FlowControl()->DTR(), dcDisable);
    EXPECT_EQ(port->FlowControl()->RTS(), rcDisable);
    EXPECT_EQ(port->FlowControl()->XOnXOff(), xcDisable);
    EXPECT_TRUE(port->Options() == TOptions());

    ASSERT_NE(form.ComSignal1, nullptr);
    EXPECT_EQ(form.ComSignal1->Owner(), &form);
    EXPECT_EQ(form.ComSignal1->Delay(), 100);
    EXPECT_EQ(form.ComSignal1->Signal(), siNone);
    EXPECT_EQ(form.ComSignal1->ComPort(), nullptr);
    ASSERT_NE(form.MemoTestOutput, nullptr);
    EXPECT_EQ(form.MemoTestOutput->Text(), "");

    TSaveDialog* dialog = form.SaveDialog1;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Owner(), &form);
    EXPECT_EQ(dialog->DefaultExt(), ".csv");
    EXPECT_EQ(dialog->Filter(), "CSV|*.csv");
    EXPECT_EQ(dialog->Title(), "Save Data");
    EXPECT_TRUE(dialog->Options() ==
                (TOpenOptions() << ofHideReadOnly << ofPathMustExist << ofEnableSizing));
}

// A UART raises DTR and RTS when it is opened; the form's port lowers both and
// never raises them, through every later setting and the close.
TEST_F(SerialFormTest, PortKeepsBothControlLinesLowFromOpenToClose) {
    TPtyPair pty;
    TFakeUart uart;
    TComPort* port = FoCom->ComPort1;
    port->SetDeviceName(pty.SlavePath().c_str());
    port->Open();
    const int lines = TIOCM_DTR | TIOCM_RTS;
    EXPECT_EQ(uart.Lines() & lines, 0);
    port->Timeouts()->SetReadMultiplier(100); // as the display read sets it
    port->SetBaudRate(br9600);
    EXPECT_EQ(uart.Lines() & lines, 0);
    port->Close();
    EXPECT_EQ(uart.Lines() & lines, 0);
    EXPECT_EQ(uart.Raises(lines), 0);
}

// Both CSV saves go through the form's dialog; an existing file chosen there
// is appended to, with no question asked.
TEST_F(SerialFormTest, StoredFilesCsvUsesTheFormsDialogAndAppendsToAnExistingFile) {
    const std::string file = (Dir / "kept.csv").string();
    std::ofstream(file, std::ios::binary) << "old header\r\n";
    Responder.ExpectSave(file.c_str());
    C_CPM_EF cpm;
    AnsiString chosen;
    EXPECT_EQ(cpm.CreateStoredFilesCsv(chosen), TCpmResult::Ok);
    EXPECT_EQ(chosen, file.c_str());
    ASSERT_EQ(Responder.Shown().size(), 1u);
    const TDialogRequest& shown = Responder.Shown()[0];
    EXPECT_EQ(shown.Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(shown.Caption, "Save Data");
    EXPECT_EQ(shown.Filter, "CSV|*.csv");
    EXPECT_EQ(cpm.AppendStoredFileRow(chosen), TCpmResult::Ok);
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.rfind("old header\r\n", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}
