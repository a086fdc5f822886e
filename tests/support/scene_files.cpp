// Disk file calls a scene can make on two file objects, "file" and "other"
// (other.share makes other use file's stream), and "cat" to read a file
// whole. Bytes come back as escaped text, results as numbers.

#include <cstdarg>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "scene_args.h"
#include "video/file.h"

namespace zeltest {

namespace {

ZelDiskFile files[2];

int printTo(ZelFile& f, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int written = f.vprintf(format, arguments);
    va_end(arguments);
    return written;
}

template <int F> void addFileCalls(std::map<std::string, SceneInvoker>& calls, const std::string& name)
{
    static ZelDiskFile& f = files[F];
    const std::map<std::string, SceneInvoker> mine{
        {"open", sceneInvoker(+[](const char* path, int mode) { return f.open(path, mode); })},
        {"close", sceneInvoker(+[] { return f.close(); })},
        {"read", sceneInvoker(+[](unsigned n) {
             std::string s(n, '\0');
             return escape(s.substr(0, f.read(s.data(), 1, n)));
         })},
        {"write", sceneInvoker(+[](const char* text) { return f.write(text, 1, static_cast<unsigned>(strlen(text))); })},
        {"gets", sceneInvoker(+[](int size) {
             char line[64];
             return f.gets(line, size) ? escape(line) : std::string("null");
         })},
        {"puts", sceneInvoker(+[](const char* text) { return f.puts(text) >= 0; })},
        {"getc", sceneInvoker(+[] { return f.getc(); })},
        {"putc", sceneInvoker(+[](int c) { return f.putc(c); })},
        {"ungetc", sceneInvoker(+[](int c) { return f.ungetc(c); })},
        {"getw", sceneInvoker(+[] { return f.getw(); })},
        {"putw", sceneInvoker(+[](int w) { return f.putw(w); })},
        {"printf", sceneInvoker(+[](const char* format, int n, const char* s) { return printTo(f, format, n, s); })},
        {"seek", sceneInvoker(+[](long offset, int whence) { return f.seek(offset, whence); })},
        {"rewind", sceneInvoker(+[] { f.rewind(); })},
        {"length", sceneInvoker(+[] { return f.length(); })},
        {"eof", sceneInvoker(+[] { return f.eof(); })},
        {"flush", sceneInvoker(+[] { return f.flush(); })},
        {"positions", sceneInvoker(+[] { return std::to_string(f.position) + " " + std::to_string(f.startPosition); })},
        {"place", sceneInvoker(+[](long position, long start) { f.position = position, f.startPosition = start; })},
        {"share", sceneInvoker(+[] { f.stream = files[0].stream; })},
        {"unshare", sceneInvoker(+[] { f.stream = nullptr; })},
    };
    for (const auto& [call, invoke] : mine)
        calls.emplace(name + "." + call, invoke);
}

}  // namespace

void addFileCalls(std::map<std::string, SceneInvoker>& calls)
{
    addFileCalls<0>(calls, "file");
    addFileCalls<1>(calls, "other");
    calls.emplace("cat", sceneInvoker(+[](const char* path) {
        std::ostringstream out;
        out << std::ifstream(path, std::ios::binary).rdbuf();
        return escape(out.str());
    }));
    calls.emplace("ZelSystem::AppendPath", sceneInvoker(+[](const char* dirs) {
        std::snprintf(ZelSystem::AppendPath, ZelSystem::AppendPathSize, "%s", dirs);
    }));
}

void closeSceneFiles()
{
    files[1].stream = nullptr;  // never its own
    files[0].close();
}

}  // namespace zeltest
