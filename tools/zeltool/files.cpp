#include "tools/zeltool/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// The file that writing to path replaces: path itself, or where the chain
// of symbolic links starting there ends (which need not exist yet).
std::string linkTarget(const std::string& path)
{
    std::filesystem::path at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at.string();
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(at, error);
        if (error)
            throw FileError{path, "cannot read the symbolic link: " + error.message()};
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    throw FileError{path, "is a chain of too many symbolic links"};
}

// FileError unless target is missing or a regular file.
void checkReplaceable(const std::string& path, const std::string& target)
{
    struct stat st;
    if (stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return;
    const std::string what = S_ISDIR(st.st_mode)                        ? "a directory"
                             : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                                                                          : "not a regular file";
    const std::string via = target == path ? "" : " (through the link to " + target + ")";
    throw FileError{path, "is " + what + via + "; refusing to write over it"};
}

// The permissions a new file gets: those of the file it replaces, else the
// usual ones for a new file under the process's umask.
mode_t modeFor(const std::string& target)
{
    struct stat st;
    if (stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

struct Pending {
    std::string target;
    std::string temp;
};

// Writes bytes to a new temporary file beside target; its name is the
// answer. FileError naming path when that fails.
std::string writeTemporary(const std::string& path, const std::string& target, const Bytes& bytes)
{
    const std::filesystem::path t = target;
    const std::filesystem::path dir = t.has_parent_path() ? t.parent_path() : ".";
    std::string name = ".";
    name += t.filename().string();
    name += ".XXXXXX";
    std::string temp = (dir / name).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        throw FileError{path, std::string("cannot be written: ") + std::strerror(errno)};
    int err = 0;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0 && err == 0) {
        const ssize_t n = write(fd, p, left);
        if (n > 0) {
            p += n;
            left -= static_cast<std::size_t>(n);
        } else if (n == 0) {
            err = EIO;
        } else if (errno != EINTR) {
            err = errno;
        }
    }
    if (err == 0 && fchmod(fd, modeFor(target)) != 0)
        err = errno;
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        unlink(temp.c_str());
        throw FileError{path, std::string("cannot be written: ") + std::strerror(err)};
    }
    return temp;
}

}  // namespace

void writeOutputs(const std::vector<Output>& outputs)
{
    std::vector<std::string> targets;
    for (const Output& o : outputs) {
        targets.push_back(linkTarget(o.path));
        checkReplaceable(o.path, targets.back());
        const auto canonical = [](const std::string& t) {
            std::error_code error;
            const std::filesystem::path c = std::filesystem::weakly_canonical(std::filesystem::absolute(t, error), error);
            return error ? std::filesystem::path(t) : c;
        };
        const auto same = [&](const std::string& t) { return canonical(t) == canonical(targets.back()); };
        if (std::any_of(targets.begin(), targets.end() - 1, same))
            throw FileError{o.path, "is named for two outputs of one command; refusing to write either"};
    }
    std::vector<Pending> pending;
    try {
        for (std::size_t i = 0; i < outputs.size(); ++i)
            pending.push_back({targets[i], writeTemporary(outputs[i].path, targets[i], outputs[i].bytes)});
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (std::rename(pending[i].temp.c_str(), pending[i].target.c_str()) != 0)
                throw FileError{outputs[i].path, std::string("cannot be written: ") + std::strerror(errno)};
            pending[i].temp.clear();
        }
    } catch (...) {
        for (const Pending& p : pending)
            if (!p.temp.empty())
                unlink(p.temp.c_str());
        throw;
    }
}

void writeOutput(const std::string& path, const Bytes& bytes)
{
    writeOutputs({{path, bytes}});
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
