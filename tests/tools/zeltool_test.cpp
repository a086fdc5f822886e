// zeltool end to end: each transcript of zeltool/ (*.t) is a test. Its
// unindented lines are commentary, except "== TITLE", which starts a case in
// a fresh directory holding a copy of zeltool_data/. Then each "  $ CMD" (with
// "  > MORE" lines) runs in /bin/sh, followed by what it must print: its
// stdout lines, its stderr lines after "! ", and "[N]" when it exits with N.
// A line ending in " (glob)" is a shell pattern. PATH leads to zeltool, zelgen,
// zelload and zeltool_data/bin; $ZELSTD holds the standard palette and shade
// tables. Sanitizer reports fail the case. ZEL_UPDATE_GOLDEN=1 writes the
// outputs seen back into the file.

#include <fnmatch.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> linesOf(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines, const char* indent = "  ")
{
    std::string text;
    for (const std::string& line : lines)
        text.append(indent).append(line).append("\n");
    return text;
}

bool matches(const std::string& expected, const std::string& actual)
{
    if (!expected.ends_with(" (glob)"))
        return expected == actual;
    return fnmatch(expected.substr(0, expected.size() - 7).c_str(), actual.c_str(), 0) == 0;
}

// What one command run in dir/work prints, as a transcript shows it. ASan
// and LSan write their reports to dir/sanitizer.*, which go to reports;
// UBSan, which writes to stderr whatever it is told, aborts (status 134).
std::vector<std::string> run(const std::string& command, const fs::path& dir, std::vector<std::string>& reports)
{
    std::ofstream(dir / "cmd") << "export PATH=" ZELTOOL_PATH ":/usr/bin:/bin LC_ALL=C ZELSTD=" ZELTOOL_STANDARD_DATA
                               << " ASAN_OPTIONS=\"$ASAN_OPTIONS:log_path=" << (dir / "sanitizer").string()
                               << "\" UBSAN_OPTIONS=\"$UBSAN_OPTIONS:abort_on_error=1\"\n" << command << "\n";
    const std::string shell = "cd '" + (dir / "work").string() + "' && /bin/sh ../cmd >../out 2>../err </dev/null";
    const int status = std::system(shell.c_str());
    std::vector<std::string> lines = linesOf(dir / "out");
    for (const std::string& line : linesOf(dir / "err"))
        lines.push_back(std::string("! ") + line);
    if (const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); code != 0)
        lines.push_back(std::string("[").append(std::to_string(code)).append("]"));
    for (const auto& file : fs::directory_iterator(dir))
        if (file.path().filename().string().starts_with("sanitizer")) {
            const std::vector<std::string> report = linesOf(file.path());
            reports.insert(reports.end(), report.begin(), report.end());
            fs::remove(file.path());
        }
    return lines;
}

class Transcripts : public testing::TestWithParam<std::string> {};

TEST_P(Transcripts, PrintAsWritten)
{
    const fs::path file = ZELTOOL_TRANSCRIPTS "/" + GetParam() + ".t";
    const fs::path top = fs::temp_directory_path() / ("zeltool-" + GetParam() + "-" + std::to_string(getpid()));
    const bool update = std::getenv("ZEL_UPDATE_GOLDEN") && std::string(std::getenv("ZEL_UPDATE_GOLDEN")) == "1";
    const std::vector<std::string> lines = linesOf(file);
    std::vector<std::string> written;
    std::string title;
    for (size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i++];
        written.push_back(line);
        if (line.starts_with("== ")) {
            title = line.substr(3);
            fs::remove_all(top);
            fs::create_directory(top);
            fs::copy(ZELTOOL_DATA, top / "work");  // the files, not the helpers' folder
        }
        if (!line.starts_with("  $ "))
            continue;
        const std::string where = file.string() + ":" + std::to_string(i) + ": " + title + "\n  $ ";
        std::string command = line.substr(4);
        for (; i < lines.size() && lines[i].starts_with("  > "); written.push_back(lines[i++]))
            command.append("\n").append(lines[i], 4);
        std::vector<std::string> expected, reports;
        for (; i < lines.size() && lines[i].starts_with("  ") && !lines[i].starts_with("  $ "); ++i)
            expected.push_back(lines[i].substr(2));
        const std::vector<std::string> actual = run(command, top, reports);
        const bool same = std::equal(expected.begin(), expected.end(), actual.begin(), actual.end(), matches);
        for (const std::string& out : same || !update ? expected : actual)
            written.push_back("  " + out);
        EXPECT_TRUE(same || update) << where << command << "\nexpected:\n" << joined(expected) << "actual:\n"
                                    << joined(actual);
        EXPECT_TRUE(reports.empty()) << where << command << "\nmade a sanitizer report:\n" << joined(reports);
    }
    fs::remove_all(top);
    if (update)
        std::ofstream(file) << joined(written, "");
}

INSTANTIATE_TEST_SUITE_P(Zeltool, Transcripts, testing::ValuesIn([] {
    std::vector<std::string> names;
    for (const auto& file : fs::directory_iterator(ZELTOOL_TRANSCRIPTS))
        if (file.path().extension() == ".t")
            names.push_back(file.path().stem().string());
    return names;
}()), [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
