#pragma once
// The charged plate monitor CPM 690: the enquiry handshake and framed text
// commands (seriell_cpm.cpp), the streamed decay test (seriell_cpm_decay.cpp),
// and its stored result files and the result CSV files (seriell_cpm_files.cpp).
#include "platform/rtl/ansistring.h"
#include <array>
#include <cstdint>
#include <vector>

class TComPort;

// Replies of stored files, indexed by file number.
using TStoredReplies = std::array<AnsiString, 100>;

// What the plate monitor's file operations return. The numbers are the
// instrument code's own; where two operations differ (a cancelled dialog) each
// has its own name.
enum class TCpmResult : int {
    Ok = 0,     // read, decoded, written or ready
    Failed = 1, // a file not created or written; a text that is no stored file
    // SaveResult and CreateStoredFilesCsv: the save dialog was cancelled.
    SaveCancelled = -1,
    CsvCancelled = 2,
    // ReadStoredFile: an enquiry went unacknowledged; no file in the range (or
    // a range outside 0..99); the reading broke off (a time-out, a garbled
    // frame); the stored files ended after at least one.
    NoAck = -1,
    NothingStored = -2,
    ReadFailed = -3,
    EndOfFiles = -10,
};

class C_CPM_EF {
public:
    uint32_t Reserved = 0;
    // Setup words 0..11: 0-2 version, serial number and calibration date (for
    // the CSV headers); 3-11 the nine setup bytes as decimal text for "w1", or
    // the two-character fields of an "r1" reply as received.
    std::array<AnsiString, 12> _struct_setup;

    struct TResults {
        int FileNumber = 0;
        int Mode = 0;
        int StartVoltage = 0;
        int StopVoltage = 0;
        int OffsetTime = 0;
        double DecayTimePos = 0;
        double DecayTimeNeg = 0;
        double OffsetVoltage = 0;
        AnsiString Comment;
        // Samples of the last decay test, kept only with test output on.
        std::vector<int> SampleVoltages, SampleBit1, SampleBit5;
        std::vector<AnsiString> SampleStates;
    } _struct_results;

    struct TEEpromData {
        TStoredReplies Replies;
        TStoredReplies Comments;
    } EEpromdata;

    // ---- Link and commands
    // Enquiry, STX command ETX, and the reply text between STX and ETX.
    AnsiString Transact(const AnsiString& command);
    // "r0": version (1-15), serial number (17-24), calibration date (25-30).
    void ReadIdentity(AnsiString& version, AnsiString& serial, AnsiString& calDate);
    // "r1": the nine two-character fields into setup words 3..11.
    void ReadSetup();
    // "w1" with setup words 3..11, each as two hex digits. Words that are not
    // numbers 0..255 are refused (EConvertError) before anything is sent.
    void WriteSetup();
    // "r2": the display text; the reading (9999.0 for overflow or no number)
    // and its unit.
    AnsiString ReadDisplay(double& value, AnsiString& unit);
    // BEL, then 500 ms.
    void Break();
    void ClosePort();

    // ---- Decay test ("w2")
    void MeasureDecay(int& vStart, int& vStop, int& tOffset, double& decayPos, double& decayNeg,
                      double& offsetV, bool& aborted);

    // ---- Stored files ("r3") and CSV files
    // Reads files first..last into replies: Ok, NoAck, NothingStored,
    // EndOfFiles or ReadFailed. count becomes the number of the last file that
    // delivered data, and so does last when the reading ended well (Ok, EndOfFiles).
    TCpmResult ReadStoredFile(int first, int& last, TStoredReplies& replies, int& count);
    // Ok when decoded into _struct_results; Failed for a text that is no stored file.
    TCpmResult DecodeStoredFile(const AnsiString& text);
    // Ok, Failed or SaveCancelled.
    TCpmResult SaveResult(int vStart, int vStop, int tOffset, double decayPos, double decayNeg,
                          double offsetV, const AnsiString& comment);
    // Ok (the file is ready), Failed or CsvCancelled.
    TCpmResult CreateStoredFilesCsv(AnsiString& fileName);
    // Ok, or Failed once the operator gave up with Cancel.
    TCpmResult AppendStoredFileRow(const AnsiString& fileName);
    // The path up to and including its last delimiter; "" when there is none.
    static AnsiString ExtractDirectory(const AnsiString& path);

    // Eight '0'/'1' characters of a hex byte, most significant bit first.
    static AnsiString HexToBits(const AnsiString& hexByte);
    // Only the digits 0-9 and A-F, as the instrument writes its hex fields.
    static bool IsHexText(const AnsiString& text);
    // Value 9999.0 stands for overflow or no reading.
    static constexpr double NoValue = 9999.0;

private:
    void SendEnquiry(TComPort& port);
    bool WaitForAck(TComPort& port);
    static AnsiString ExtractReply(const AnsiString& frame);
    static void DecodeResultFields(const AnsiString& text, TResults& results);
    AnsiString ModeText(int mode) const;
    void StoreDataDirectory(const AnsiString& fileName, bool updateMainWindow);
};
