// The disk file: open modes, the search path, seeking, shared streams,
// closed files, words and lines, and the handle's lifetime.

#include <fcntl.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "test_support.h"
#include "video/file.h"

namespace fs = std::filesystem;

namespace {

class DiskFile : public ::testing::Test {
protected:
    void TearDown() override
    {
        file.close();
        fs::current_path(workingDirectory);
    }
    std::string path(const char* name) const { return dir.path + "/" + name; }
    void put(const char* name, const std::string& s) const { zeltest::writeFile(path(name), s); }
    std::string get(const char* name) const
    {
        std::ostringstream out;
        out << std::ifstream(path(name)).rdbuf();
        return out.str();
    }
    static std::string read(ZelFile& f, unsigned n)
    {
        std::string s(n, '\0');
        s.resize(f.read(s.data(), 1, n));
        return s;
    }
    zeltest::Restore keep{ZelSystem::AppendPath};
    zeltest::TempDir dir;
    fs::path workingDirectory = fs::current_path();
    ZelDiskFile file;
};

int printTo(ZelFile& f, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int result = f.vprintf(format, arguments);
    va_end(arguments);
    return result;
}

// Each mode in its binary and its text form (mode + 16).
TEST_F(DiskFile, OpenModes)
{
    const std::string name = path("f");
    const char* f = name.c_str();
    for (int text : {0, 16}) {
        SCOPED_TRACE(text);
        put("f", "hello");
        ASSERT_TRUE(file.open(f, 1 + text));
        EXPECT_EQ(read(file, 9), "hello");
        EXPECT_EQ(file.write("x", 1, 1), 0u);
        ASSERT_TRUE(file.open(f, 2 + text));  // also closes the previous stream
        EXPECT_EQ(file.length(), 0);
        EXPECT_GE(file.puts("ab"), 0);
        ASSERT_TRUE(file.open(f, 3 + text));
        EXPECT_EQ(std::pair(file.position, file.startPosition), std::pair(2, 2));
        file.position = 0;
        EXPECT_EQ(file.putc('c'), 'c');  // appends wherever position is
        EXPECT_EQ(file.position, 3);
        EXPECT_EQ(file.close(), -1);
        EXPECT_EQ(get("f"), "abc");
        put("f", "hello");
        ASSERT_TRUE(file.open(f, 4 + text));
        EXPECT_EQ(read(file, 2), "he");
        EXPECT_EQ(file.write("ZZ", 1, 2), 2u);  // switches direction at the same offset
        EXPECT_EQ(file.getc(), 'o');
        file.close();
        EXPECT_EQ(get("f"), "heZZo");
        ASSERT_TRUE(file.open(f, 5 + text));
        EXPECT_EQ(file.length(), 0);
        EXPECT_EQ(printTo(file, "%d-%s", 42, "x"), 4);
        file.rewind();
        EXPECT_EQ(read(file, 9), "42-x");
        ASSERT_TRUE(file.open(f, 6 + text));
        EXPECT_EQ(file.startPosition, 4);
        EXPECT_EQ(file.write("yz", 1, 2), 2u);
        file.rewind();
        EXPECT_EQ(read(file, 9), "yz");
        file.position = 0;
        EXPECT_EQ(read(file, 9), "42-xyz");
        file.close();
    }
    // Unknown modes open nothing and change nothing; an open file stays open.
    put("f", "hello");
    for (int mode : {0, 8, 16, 24, -1}) {
        file.position = 7;
        EXPECT_FALSE(file.open(f, mode)) << mode;
        EXPECT_EQ(file.startPosition, 7);
    }
    ASSERT_TRUE(file.open(f, 1));
    EXPECT_TRUE(file.open(f, 8));
    EXPECT_EQ(file.getc(), 'h');
}

// Modes 7 and 23 open only what the search path finds; mode 1 falls back
// to it when the name itself is missing.
TEST_F(DiskFile, SearchPath)
{
    fs::current_path(dir.path);  // bare names must not reach the build directory
    fs::create_directory(path("sub"));
    for (int mode : {7, 23}) {
        put("sub/found.bin", "data");
        std::strcpy(ZelSystem::AppendPath, "/nonexistent");
        EXPECT_FALSE(file.open(path("new.bin").c_str(), mode));
        EXPECT_FALSE(fs::exists(path("new.bin")));
        std::snprintf(ZelSystem::AppendPath, ZelSystem::AppendPathSize, "%s", path("sub").c_str());
        ASSERT_TRUE(file.open("found.bin", mode));
        file.close();
        EXPECT_EQ(get("sub/found.bin"), "") << mode;
    }
    put("sub/found.bin", "data");
    ASSERT_TRUE(file.open("found.bin", 1));
    EXPECT_EQ(read(file, 9), "data");
}

TEST_F(DiskFile, SeekRewindAndSharedStreams)
{
    std::string bytes(100, '\0');
    for (int i = 0; i < 100; ++i)
        bytes[i] = static_cast<char>(i);
    put("f", bytes);
    EXPECT_EQ(file.seek(0, 0), -1);
    ASSERT_TRUE(file.open(path("f").c_str(), 1));
    EXPECT_EQ(file.seek(10, 2), 0);
    EXPECT_EQ(file.getc(), 90);
    file.seek(4, 1);
    EXPECT_EQ(file.getc(), 95);
    file.seek(-3, 2);  // past the end
    EXPECT_EQ(file.getc(), -1);
    EXPECT_TRUE(file.eof());
    file.seek(20, 0);  // moving back clears the end of file
    EXPECT_FALSE(file.eof());
    // A view starting inside the file: whence 2 and unknown ones are ignored.
    file.startPosition = 50;
    file.seek(5, 0);
    EXPECT_EQ(file.seek(10, 2), 0);
    EXPECT_EQ(file.seek(10, 3), 0);
    EXPECT_EQ(file.position, 55);
    file.rewind();
    EXPECT_EQ(file.getc(), 50);
    file.seek(INT32_MAX, 1);  // wraps instead of overflowing
    EXPECT_EQ(file.position, INT32_MIN + 50);

    // Two objects on one stream keep their own positions.
    ZelDiskFile other;
    other.stream = file.stream;
    other.position = other.startPosition = 10;
    file.rewind();
    EXPECT_EQ(read(file, 3), std::string("\x32\x33\x34"));
    EXPECT_EQ(read(other, 3), std::string("\x0a\x0b\x0c"));
    EXPECT_EQ(file.getc(), 0x35);
    EXPECT_EQ(other.ungetc('X'), -1);  // the stream stands at file's offset
    EXPECT_EQ(other.getc(), 0x0d);
    EXPECT_EQ(file.getc(), 0x36);
    EXPECT_EQ(file.ungetc('Y'), 'Y');
    EXPECT_EQ(file.position, 54);
    EXPECT_EQ(file.getc(), 'Y');
    EXPECT_EQ(file.getc(), 0x37);
    other.stream = nullptr;  // file owns the stream
}

TEST_F(DiskFile, WordsLinesAndClosedFiles)
{
    const int words[] = {0, 1, -1, INT32_MIN, INT32_MAX, -123456};
    ASSERT_TRUE(file.open(path("f").c_str(), 5));
    for (int w : words)
        EXPECT_EQ(file.putw(w), w);
    EXPECT_GE(file.puts("\nline\n"), 0);
    file.rewind();
    for (int w : words)
        EXPECT_EQ(file.getw(), w);
    file.flush();
    int32_t raw;
    std::memcpy(&raw, get("f").data() + 20, 4);  // native byte order
    EXPECT_EQ(raw, -123456);
    char line[8];
    EXPECT_STREQ(file.gets(line, sizeof line), "\n");
    EXPECT_STREQ(file.gets(line, 3), "li");
    EXPECT_STREQ(file.gets(line, sizeof line), "ne\n");
    EXPECT_EQ(file.gets(line, sizeof line), nullptr);
    EXPECT_EQ(file.getw(), -1);
    EXPECT_EQ(file.write("\1\2", 1, 2), 2u);  // half a word is no word
    file.seek(-2, 1);
    EXPECT_EQ(file.getw(), -1);
    EXPECT_EQ(file.position, 32);

    EXPECT_EQ(file.close(), -1);
    EXPECT_EQ(file.close(), 0);
    EXPECT_EQ(std::pair(file.position, file.startPosition), std::pair(-1, -1));
    EXPECT_EQ(file.length(), -1);
    EXPECT_EQ(file.read(line, 1, 4), 0u);
    EXPECT_EQ(file.getc(), -1);
    EXPECT_EQ(file.gets(line, 8), nullptr);
    EXPECT_TRUE(file.eof());
}

struct CountingFile : ZelDiskFile {
    static inline int destroyed = 0;
    ~CountingFile() override { ++destroyed; }
};

// A file behind a handle: destroying it runs the right destructor and
// leaves an open stream open.
TEST_F(DiskFile, HandleLifetime)
{
    const size_t before = zeltest::liveBlockCount();
    HClass<ZelFile> handle = ZelDiskFile::create();
    EXPECT_EQ(zeltest::liveBlockCount(), before + 1);
    put("f", "hello");
    ASSERT_TRUE(handle->open(path("f").c_str(), 1));
    FILE* stream = static_cast<ZelDiskFile*>(handle.get())->stream;
    handle.destroy();
    EXPECT_EQ(zeltest::liveBlockCount(), before);
    EXPECT_NE(fcntl(fileno(stream), F_GETFD), -1);
    std::fclose(stream);
    CountingFile::destroyed = 0;
    handle.adopt(static_cast<ZelFile*>(new CountingFile));
    handle.destroy();
    EXPECT_EQ(CountingFile::destroyed, 1);
}

}  // namespace
