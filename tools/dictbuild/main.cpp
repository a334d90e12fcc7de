// dictbuild: the dictionary tool.
//   dictbuild build IN.tsv OUT.mdb [--inline BYTES] [--limit N] [--reverse]
//       IN.tsv: UTF-8 lines "headword<TAB>meaning"; in the meaning, \n stands for a line break
//       (stored as CR LF), \t for a tab and \\ for a backslash. Each meaning is converted to
//       GBK, combined with the dictionary key and written as upper-case hexadecimal into table
//       `main` (`word` Text(255), `mean` Memo). Entries whose text GBK cannot hold are skipped
//       and counted. --limit keeps the first N entries that can be stored; --reverse adds,
//       after them, a Chinese headword for each entry made from the first gloss of its meaning
//       (its first line without part-of-speech or field tags, up to the first separator), whose
//       meaning is the English headword; a Chinese headword already present is not repeated.
//       The rows are then stored in lookup order (letter case folded; equal headwords keep the
//       order above, so the more frequent spelling comes first), which the file declares, so
//       that readers search it on disk instead of reading it whole.
//   dictbuild dump FILE TABLE      every row of a table as tab-separated UTF-8 lines
//   dictbuild tables FILE          the user tables of a file
//   dictbuild lookup FILE WORD...  each word's meaning (UTF-8) by the program's lookup rule
#include "dict/meaning_encode.h"
#include "dict/store_words.h"
#include "store/export.h"
#include "store/order.h"
#include "store/text.h"
#include "store/writer.h"
#include "ui/sysutils.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace wl::store;

int Usage() {
    std::cerr << "usage: dictbuild build IN.tsv OUT.mdb [--inline BYTES] [--limit N] [--reverse]\n"
                 "       dictbuild dump FILE TABLE\n"
                 "       dictbuild tables FILE\n"
                 "       dictbuild lookup FILE WORD...\n";
    return 2;
}

std::string Unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            if (c == 'n') out += "\r\n";
            else if (c == 't') out += '\t';
            else out += c;
        } else {
            out += s[i];
        }
    }
    return out;
}

// GBK bytes of UTF-8 text, or false when GBK cannot hold every character.
bool ToGbk(const std::string& utf8, std::string& gbk) {
    std::u16string wide = Utf8ToUtf16(utf8);
    gbk = Utf16ToAnsi(wide);
    return AnsiToUtf16(gbk) == wide;
}

bool IsCjk(char16_t c) { return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF); }

// The first gloss of a meaning: "n. 苹果, 苹果树" gives "苹果"; empty when it holds no Chinese
// or anything but Chinese and a few joining marks.
std::u16string FirstGloss(const std::u16string& meaning) {
    std::u16string line = meaning.substr(0, meaning.find_first_of(u"\r\n"));
    size_t i = 0;
    for (bool more = true; more;) {
        more = false;
        while (i < line.size() && line[i] == u' ') ++i;
        size_t j = i;
        while (j < line.size() && line[j] >= u'a' && line[j] <= u'z') ++j;
        if (j > i && j < line.size() && line[j] == u'.') i = j + 1, more = true; // "vt." and the like
        else if (i < line.size() && line[i] == u'[') {
            size_t close = line.find(u']', i);
            if (close != std::u16string::npos) i = close + 1, more = true; // "[计]"
        }
    }
    size_t end = line.find_first_of(u",;\uFF0C\uFF1B(\uFF08\u3001", i);
    std::u16string gloss = line.substr(i, end == std::u16string::npos ? std::u16string::npos : end - i);
    while (!gloss.empty() && gloss.back() == u' ') gloss.pop_back();
    if (gloss.empty()) return {};
    for (char16_t c : gloss)
        if (!IsCjk(c)) return {};
    return gloss;
}

int Build(int argc, char** argv) {
    if (argc < 4) return Usage();
    WriterOptions options;
    size_t limit = SIZE_MAX;
    bool reverse = false;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reverse") == 0) reverse = true;
        else if (std::strcmp(argv[i], "--inline") == 0 && i + 1 < argc) options.inlineMemoLimit = std::stoul(argv[++i]);
        else if (std::strcmp(argv[i], "--limit") == 0 && i + 1 < argc) limit = std::stoul(argv[++i]);
        else return Usage();
    }
    std::vector<std::pair<std::u16string, std::u16string>> glosses; // Chinese headword, English word
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) throw JetError(std::string(argv[2]) + ": cannot open");
    std::vector<WriterRow> rows;
    std::string line;
    size_t lineNo = 0, skipped = 0;
    while (rows.size() < limit && std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        size_t tab = line.find('\t');
        if (tab == std::string::npos) throw JetError(std::string(argv[2]) + ":" + std::to_string(lineNo) + ": no tab");
        std::string word = line.substr(0, tab), gbkWord, gbkMean;
        if (!ToGbk(word, gbkWord) || !ToGbk(Unescape(line.substr(tab + 1)), gbkMean)) {
            ++skipped;
            continue;
        }
        std::u16string w = Utf8ToUtf16(word);
        if (w.size() > 255) throw JetError(std::string(argv[2]) + ":" + std::to_string(lineNo) + ": headword longer than 255 characters");
        std::string hex = wl::EncodeMeaning(gbkMean, wl::kMeaningKey);
        rows.push_back({w, std::u16string(hex.begin(), hex.end())});
        if (reverse) {
            std::u16string gloss = FirstGloss(AnsiToUtf16(gbkMean));
            if (!gloss.empty() && gloss.size() <= 255) glosses.push_back({gloss, w});
        }
    }
    if (reverse) {
        std::set<std::u16string> seen;
        for (const auto& r : rows) seen.insert(*r[0]);
        size_t added = 0;
        for (const auto& [gloss, english] : glosses) {
            if (!seen.insert(gloss).second) continue;
            std::string hex = wl::EncodeMeaning(Utf16ToAnsi(english), wl::kMeaningKey);
            rows.push_back({gloss, std::u16string(hex.begin(), hex.end())});
            ++added;
        }
        std::cerr << "dictbuild: " << added << " Chinese headwords added\n";
    }
    std::vector<std::u16string> keys;
    keys.reserve(rows.size());
    for (const auto& r : rows)
        keys.push_back(FoldText(*r[0]));
    std::vector<uint32_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = uint32_t(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    std::vector<WriterRow> sorted;
    sorted.reserve(rows.size());
    for (uint32_t i : order)
        sorted.push_back(std::move(rows[i]));
    options.declareOrderOf = 0;
    std::string file =
        WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, sorted, options);
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    if (!out.write(file.data(), std::streamsize(file.size()))) throw JetError(std::string(argv[3]) + ": cannot write");
    std::cerr << "dictbuild: " << argv[3] << ": " << rows.size() << " entries";
    if (skipped) std::cerr << ", " << skipped << " skipped (not representable in GBK)";
    std::cerr << "\n";
    return 0;
}

int Lookup(int argc, char** argv) {
    if (argc < 4) return Usage();
    AdoTable table;
    table.SetConnectionString(std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + argv[2] +
                              ";Persist Security Info=False");
    table.SetTableName("main");
    table.Open();
    for (int i = 3; i < argc; ++i) {
        wl::LookupResult r = wl::LookUpWord(Utf16ToAnsi(Utf8ToUtf16(argv[i])), table);
        if (r.kind == wl::LookupResult::Kind::Found) std::cout << Utf16ToUtf8(AnsiToUtf16(r.meaning)) << "\n";
        else if (r.kind == wl::LookupResult::Kind::NotFound) std::cout << wl::kNotFoundText << "\n";
        else std::cout << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    try {
        if (cmd == "build") return Build(argc, argv);
        if (cmd == "lookup") return Lookup(argc, argv);
        if (cmd == "dump" && argc == 4) {
            Database db(argv[2]);
            ExportTsv(*db.OpenTable(argv[3]), std::cout);
            return std::cout.flush() ? 0 : 1;
        }
        if (cmd == "tables" && argc == 3) {
            Database db(argv[2]);
            for (const auto& n : db.TableNames()) std::cout << n << "\n";
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        std::cerr << "dictbuild: " << e.what() << "\n";
        return 1;
    }
}
