#pragma once
// Saving over files whose names take all 255 bytes a folder allows.
#include "platform/classes/filenames.h"
#include "platform/rtl/exceptions.h"
#include "support/temp_folder.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

struct TLongNameWriter {
    const char* Kind;
    std::function<void(const AnsiString&)> Save;
    std::string Signature; // found in the file's first 16 bytes
};

// Each writer saves over a file of each name in a fresh folder: the file holds
// what the writer wrote and nothing else is left beside it.
inline void ExpectSavesOverLongNames(const std::vector<AnsiString>& Names,
                                     const std::vector<TLongNameWriter>& Writers) {
    const std::string dir = MakeTempFolder("qm_long_");
    for (const AnsiString& name : Names) {
        const std::string system = dir + "/" + SystemFileName(name);
        ASSERT_EQ(system.size(), dir.size() + 1 + 255);
        for (const auto& w : Writers) {
            SCOPED_TRACE(std::string(w.Kind) + ", " + std::to_string(name.Length()) + " letters");
            std::ofstream(system) << "old";
            try {
                w.Save(AnsiString(dir + "/") + name);
            } catch (const Exception& e) {
                ADD_FAILURE() << e.Message.c_str();
            }
            std::ifstream in(system, std::ios::binary);
            std::string head(16, '\0');
            in.read(head.data(), 16);
            EXPECT_NE(head.find(w.Signature), std::string::npos) << head;
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                                    std::filesystem::directory_iterator()),
                      1);
            std::filesystem::remove(system);
        }
    }
    std::filesystem::remove_all(dir);
}
