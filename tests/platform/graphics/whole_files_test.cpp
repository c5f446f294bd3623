// Files written through a painter or a picture library are written whole or
// not at all: on a full disk or past a file-size limit the old file stays as
// it was, no unfinished file is left, and the error names the file and why.
#include "platform/classes/stringlist.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "support/full_disk.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace {

struct TWriter {
    std::string Name;
    std::string Extension;
    std::function<void(const AnsiString&)> Write;
};

// Every picture format registered for saving, and the print file.
std::vector<TWriter> Writers() {
    std::vector<TWriter> out;
    const std::string filter = TPicture::GraphicFilter().str();
    const std::regex pattern(R"(\|\*\.(\w+))");
    for (std::sregex_iterator m(filter.begin(), filter.end(), pattern), end; m != end; ++m) {
        const std::string ext = (*m)[1];
        if (std::any_of(out.begin(), out.end(),
                        [&](const TWriter& w) { return w.Extension == ext; }))
            continue; // listed under "All" too
        out.push_back({"picture ." + ext, ext, [](const AnsiString& File) {
                           TPicture picture;
                           picture.Bitmap()->SetSize(40, 30);
                           picture.Bitmap()->Canvas()->Ellipse(2, 2, 38, 28);
                           picture.SaveToFile(File);
                       }});
    }
    out.push_back({"print file", "pdf", [](const AnsiString& File) {
                       TPrinter printer;
                       printer.SetOutputFile(File);
                       printer.BeginDoc();
                       printer.Canvas()->TextOut(300, 300, "never seen");
                       printer.EndDoc();
                   }});
    // Without a printer a job no dialog named is a PDF file of a free name.
    if (TPrinter().Printers()->Strings(0) == "PDF file")
        out.push_back({"print file no dialog named", "pdf", [](const AnsiString& File) {
                           TPrinter printer;
                           printer.SetPdfOutputPath(File);
                           printer.BeginDoc();
                           printer.Canvas()->TextOut(300, 300, "never seen");
                           printer.EndDoc();
                       }});
    return out;
}

std::string Content(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(WholeFiles, EveryWriterKeepsTheOldFileWhenTheDiskIsFull) {
    const std::string dir = MakeTempFolder("qm_whole_");
    const std::string old(20 * 1024, 'o');
    const std::vector<TWriter> writers = Writers();
    EXPECT_GE(writers.size(), 7u); // bmp, jpeg, jpg, png, emf, wmf ... and the print file
    for (const TWriter& w : writers) {
        for (const rlim_t limit : {rlim_t(0), rlim_t(100)}) {
            SCOPED_TRACE(w.Name + " under " + std::to_string(limit) + " bytes");
            const std::string file = dir + "/old." + w.Extension;
            std::ofstream(file, std::ios::binary) << old;
            std::string message;
            {
                TFullDisk disk(limit);
                try {
                    w.Write(AnsiString(file.c_str()));
                } catch (const Exception& e) {
                    message = e.Message.str();
                }
            }
            // A print file no dialog named goes beside the old one, "old (2).pdf".
            EXPECT_NE(message.find(dir + "/old"), std::string::npos) << message;
            EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
            EXPECT_EQ(Content(file), old);
            int files = 0;
            for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
                ++files;
            EXPECT_EQ(files, 1);
            std::filesystem::remove(file);
        }
    }
    std::filesystem::remove_all(dir);
}
