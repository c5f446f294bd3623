#pragma once
// Stand-in for the charged plate monitor: answers an enquiry (ENQ) with ACK
// and 0x05, and the framed commands r0, r1, w1 (+ data frame), r2, r3 (+ file
// number frame) and w2, after which it streams the scripted decay frames one
// by one as the port takes them; BEL during the stream sends the abort frame.
// The set-up data must follow "w1" within SetupDataTimeoutMs; later, the
// instrument has given up waiting and takes the next frame as a command (the
// program withholds the data when the operator sets the mode by hand).
#include "support/serial_sim.h"
#include <atomic>
#include <chrono>
#include <map>
#include <vector>

class TCpmSimulator : public TSerialSimulator {
public:
    TCpmSimulator();
    ~TCpmSimulator() override;

    // What the instrument holds (set before the exchange).
    std::string Identity = "CPM 690  V6.10  12345678010524"; // version, blank, serial, ddmmyy
    std::string SetupFields = "000000001009050201";          // nine two-character fields
    std::string Display;                                     // 32 characters, 0x00 for the sign
    std::map<int, std::string> StoredFiles;                  // reply text per file number
    std::vector<std::string> DecayFrames;                    // complete frames after "w2"
    std::atomic<int> RefuseFromEnquiry{0}; // enquiries from this one on get NAK (0: none)
    // Reply frames go out this much instrument time after their command (the
    // acknowledge comes at once); 0: at once.
    uint32_t ReplyDelayMs = 0;

    // What it was told.
    std::vector<std::string> Commands() const;
    std::string SetupPayload() const;
    int Enquiries() const;

    static std::string SampleFrame(int state, int volts);
    static std::string ResultFrame(int start, int stop, int offsetTime, int pos10, int neg10,
                                   int offsetVolts);
    static std::string AbortFrame();
    // A stored file's reply text: number, mode and the six words.
    static std::string StoredFile(int number, int mode, int start, int stop, int offsetTime,
                                  int pos10, int neg10, int offsetVolts);
    static std::string WordLE(int value);
    static constexpr uint32_t SetupDataTimeoutMs = 250;

protected:
    void OnByte(uint8_t b) override;
    void OnIdle() override;
    void OnTimePassed(uint32_t ms) override;
    bool Streaming() const override { return FStreaming; }

private:
    void Frame(const std::string& text);
    void Reply(const std::string& text);

    mutable std::mutex FMutex;
    std::vector<std::string> FCommands;
    std::string FPayload;
    int FEnquiries = 0;
    bool FInFrame = false;
    std::string FFrame;
    enum { Command, SetupData, FileNumber } FExpect = Command;
    size_t FNextFrame = 0;
    // Read by the thread that settles the line too.
    std::atomic<bool> FStreaming{false};
    // Since "w1": real time from its start, plus the virtual time that passed.
    std::chrono::steady_clock::time_point FSetupSince;
    uint32_t FSetupVirtualMs = 0;
    // Late replies, each with the virtual time it is due at.
    uint64_t FNowMs = 0;
    std::vector<std::pair<uint64_t, std::string>> FLate;
};
