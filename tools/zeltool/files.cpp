#include "tools/zeltool/files.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/zeltool/errors.h"

namespace zeltool {

Bytes readFile(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        throw FileError{path, std::strerror(errno)};
    if (S_ISDIR(st.st_mode))
        throw FileError{path, "is a directory"};
    if (!S_ISREG(st.st_mode))
        throw FileError{path, "is not a regular file"};
    if (st.st_size > MaxInputBytes)
        throw FileError{path, "is larger than 1 GiB"};

    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError{path, std::strerror(errno)};
    Bytes bytes(static_cast<std::size_t>(st.st_size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw FileError{path, "cannot be read in full"};
    return bytes;
}

void writeOutput(const std::string& path, const Bytes& bytes)
{
    std::string error;
    // The writer's reason already names the file.
    if (!zelassets::writeFileAtomically(path, bytes, error))
        throw FileError{"", error};
}

void refuseOverwrite(const std::string& output, const std::vector<std::string>& inputs)
{
    struct stat out;
    if (stat(output.c_str(), &out) != 0)
        return;  // not there yet: it cannot be an input
    for (const std::string& input : inputs) {
        struct stat in;
        if (stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
            throw FileError{output, "is also an input (" + input + "); refusing to overwrite it"};
    }
}

void progress(const std::string& line)
{
    std::cerr << "zeltool: " << line << std::endl;
}

std::string extensionOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty())
        ext.erase(0, 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace zeltool
