#pragma once
// A PDF file read back as a reader program sees it (pdftotext -bbox): each
// page's size and the words on it with their boxes, in points from the page's
// top left corner. The reader drops a character that lies wholly off its page.
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace qmtest {

struct TPdfWord {
    double XMin, YMin, XMax, YMax;
    std::string Text; // UTF-8
};

struct TPdfPage {
    double Width = 0, Height = 0;
    std::vector<TPdfWord> Words;
};

inline std::string PdfUnescape(std::string s) {
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += std::strlen(to))
            s.replace(at, std::strlen(from), to);
    return s;
}

// Empty when the file is no PDF the reader takes.
inline std::vector<TPdfPage> ReadPdfWords(const std::string& Path) {
    std::vector<TPdfPage> pages;
    FILE* p = ::popen(("pdftotext -bbox '" + Path + "' - 2>/dev/null").c_str(), "r");
    if (!p) return pages;
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    if (::pclose(p) != 0) return {};
    static const std::regex page(R"re(<page width="([-\d.]+)" height="([-\d.]+)">)re");
    static const std::regex word(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    static const std::regex either(R"re(<page [^>]*>|<word [^>]*>[^<]*</word>)re");
    for (std::sregex_iterator i(out.begin(), out.end(), either), end; i != end; ++i) {
        const std::string item = i->str();
        std::smatch m;
        if (std::regex_match(item, m, page)) {
            pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
        } else if (std::regex_match(item, m, word) && !pages.empty()) {
            pages.back().Words.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]),
                                          std::stod(m[4]), PdfUnescape(m[5])});
        }
    }
    return pages;
}

} // namespace qmtest
