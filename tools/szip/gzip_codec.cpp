#include "szip/gzip_codec.h"

#include <zlib.h>

#include <vector>

namespace szip {

namespace {

constexpr size_t kPiece = 64 * 1024;
// Window bits 15 plus 16: the gzip wrapper with its CRC-32 and length, nothing else accepted.
constexpr int kGzipWindowBits = 15 + 16;

class Inflater {
  public:
    Inflater() { m_ok = inflateInit2(&m_stream, kGzipWindowBits) == Z_OK; }
    ~Inflater() { inflateEnd(&m_stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream m_stream{};
    bool m_ok;
};

class Deflater {
  public:
    Deflater() {
        m_ok = deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8,
                            Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream m_stream{};
    bool m_ok;
};

}  // namespace

Result unpack_stream(std::FILE* in, std::FILE* out, uint64_t cap) {
    Inflater inflater;
    if (!inflater.m_ok) return kCorruptData;
    z_stream& z = inflater.m_stream;
    std::vector<unsigned char> input(kPiece);
    std::vector<unsigned char> output(kPiece);
    uint64_t written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0) {
            z.avail_in = static_cast<uInt>(std::fread(input.data(), 1, kPiece, in));
            z.next_in = input.data();
            if (std::ferror(in)) return kInputError;
            if (z.avail_in == 0) return kCorruptData;  // the member ends early
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(kPiece);
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) return kCorruptData;
        const size_t produced = kPiece - z.avail_out;
        written += produced;
        if (written > cap) return kCorruptData;
        if (std::fwrite(output.data(), 1, produced, out) != produced) return kOutputError;
    }
    // A second member or any other trailing byte is not one packed file.
    if (z.avail_in != 0 || std::fgetc(in) != EOF) return kCorruptData;
    if (std::ferror(in)) return kInputError;
    return std::fflush(out) == 0 ? kSuccess : kOutputError;
}

Result pack_stream(std::FILE* in, std::FILE* out) {
    Deflater deflater;
    if (!deflater.m_ok) return kOutputError;
    z_stream& z = deflater.m_stream;
    std::vector<unsigned char> input(kPiece);
    std::vector<unsigned char> output(kPiece);
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        z.avail_in = static_cast<uInt>(std::fread(input.data(), 1, kPiece, in));
        z.next_in = input.data();
        if (std::ferror(in)) return kInputError;
        flush = std::feof(in) ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(kPiece);
            deflate(&z, flush);
            const size_t produced = kPiece - z.avail_out;
            if (std::fwrite(output.data(), 1, produced, out) != produced) return kOutputError;
        } while (z.avail_out == 0);
    }
    return std::fflush(out) == 0 ? kSuccess : kOutputError;
}

std::string pack_bytes(const std::string& bytes) {
    uLong size = compressBound(static_cast<uLong>(bytes.size())) + 32;
    std::string packed(size, '\0');
    Deflater deflater;
    z_stream& z = deflater.m_stream;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(packed.data());
    z.avail_out = static_cast<uInt>(size);
    if (!deflater.m_ok || deflate(&z, Z_FINISH) != Z_STREAM_END) return {};
    packed.resize(z.total_out);
    return packed;
}

}  // namespace szip
