// szip: the packer the program runs to unpack the packed members of CEF archives. See --help.
#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

#include "szip/gzip_codec.h"

#if !defined(_WIN32)
constexpr int O_BINARY = 0;
#endif

namespace {

constexpr const char* kHelp =
    "usage: szip -d PACKED OUTPUT   unpack\n"
    "       szip -c INPUT PACKED    pack (for tests)\n"
    "\n"
    "The packed format is one gzip member (RFC 1952): gzip, zcat and Python's gzip module read\n"
    "and make it. Bytes after the member, a short member or a bad CRC-32 or length are corrupt.\n"
    "Unpacked output is capped at 4 GiB against decompression bombs.\n"
    "OUTPUT must not exist: it is created exclusively and removed again on any failure.\n"
    "\n"
    "exit codes: 0 success, 1 usage, 2 input error, 3 corrupt data, 4 output error\n";

// A new file that did not exist before, so that a planted file or link is never written through.
std::FILE* create_exclusive(const char* path) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) close(fd);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return szip::kSuccess;
    }
    const bool unpack = argc == 4 && std::strcmp(argv[1], "-d") == 0;
    if (!unpack && !(argc == 4 && std::strcmp(argv[1], "-c") == 0)) {
        std::fputs(kHelp, stderr);
        return szip::kUsage;
    }
    std::FILE* in = std::fopen(argv[2], "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "szip: cannot open %s\n", argv[2]);
        return szip::kInputError;
    }
    std::FILE* out = create_exclusive(argv[3]);
    if (out == nullptr) {
        std::fclose(in);
        std::fprintf(stderr, "szip: cannot create %s\n", argv[3]);
        return szip::kOutputError;
    }
    szip::Result result = unpack ? szip::unpack_stream(in, out) : szip::pack_stream(in, out);
    std::fclose(in);
    if (std::fclose(out) != 0 && result == szip::kSuccess) result = szip::kOutputError;
    if (result != szip::kSuccess) {
        std::remove(argv[3]);
        std::fprintf(stderr, "szip: %s failed (%d)\n", argv[2], result);
    }
    return result;
}
