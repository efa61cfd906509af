// The szip tool on packed files made by an independent packer, Python's gzip module: every member
// it makes unpacks to its bytes; a truncated, trailing or damaged one exits non-zero and leaves no
// output file.
#include "harness.h"

namespace {

// Python writes the packed file, and the expected bytes beside it when asked; `data` is a Python
// expression of bytes, `damage` a statement on the bytearray `p` of the packed file.
struct VectorCase {
    const char* name;
    const char* data;
    const char* pack;  // the call that packs `d`
    const char* damage;
    int exit_code;
};

class SzipVectors : public ::testing::TestWithParam<VectorCase> {};

// 200 KB without much repetition: several 64 KiB pieces on both sides.
constexpr const char* kNoise = "bytes((i * 7919 + (i >> 9)) % 251 for i in range(200000))";
constexpr const char* kPlain = "gzip.compress(d, mtime=0)";
constexpr const char* kPrelude =
    "import gzip, io, sys\n"
    "def named(d):\n"
    "    b = io.BytesIO()\n"
    "    with gzip.GzipFile('RAWECG1.DAT', 'wb', 6, b, 1700000000) as f:\n"
    "        f.write(d)\n"
    "    return b.getvalue()\n";

}  // namespace

TEST_P(SzipVectors, UnpackToTheirBytesOrFailWithoutOutput) {
    const VectorCase& c = GetParam();
    const TestFolder work;
    const std::string script =
        std::string(kPrelude) + "d = " + c.data + "\n" + "p = bytearray(" + c.pack + ")\n" +
        c.damage + "\n" + "open(sys.argv[1], 'wb').write(p)\nopen(sys.argv[2], 'wb').write(d)\n";
    ASSERT_EQ(
        run_program({"/usr/bin/env", "python3", "-c", script, work / "in.gz", work / "expected"}),
        0);
    EXPECT_EQ(run_program(szip_argv({"-d", host_path(work / "in.gz"), host_path(work / "out")})),
              c.exit_code);
    if (c.exit_code == 0)
        EXPECT_TRUE(read_file(work / "out") == read_file(work / "expected"));
    else
        EXPECT_FALSE(std::filesystem::exists(work / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    Python, SzipVectors,
    ::testing::Values(VectorCase{"Empty", "b''", kPlain, "", 0},
                      VectorCase{"NoiseBest", kNoise, "gzip.compress(d, compresslevel=9)", "", 0},
                      // A stored file name and modification time in the header.
                      VectorCase{"NamedMember", kNoise, "named(d)", "", 0},
                      VectorCase{"CutInTheData", kNoise, kPlain, "del p[len(p) // 2:]", 3},
                      VectorCase{"CutInTheTrailer", kNoise, kPlain, "del p[-3:]", 3},
                      VectorCase{"TrailingByte", kNoise, kPlain, "p += b'\\0'", 3},
                      VectorCase{"SecondMember", "b'one'", kPlain, "p += gzip.compress(b'two')", 3},
                      VectorCase{"WrongCrc", kNoise, kPlain, "p[-8] ^= 1", 3},
                      VectorCase{"WrongLength", kNoise, kPlain, "p[-4] ^= 1", 3},
                      VectorCase{"DamagedData", kNoise, kPlain, "p[len(p) // 3] ^= 0x55", 3},
                      VectorCase{"NotGzip", "b'plain text'", "d", "", 3},
                      VectorCase{"EmptyFile", "b''", "b''", "", 3}),
    case_name);
