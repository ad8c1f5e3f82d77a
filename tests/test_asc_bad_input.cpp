// Files a mesh reader meets in the wild, each loaded by the real constructor in a child process
// (tests/asc_load_main): what it prints and the status it ends with.
#include "tests/support/asc_test_util.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

const char k_example[] = "Mesh 1: Vertices: 3     Faces: 1\n"
                         "Vertex list:\n"
                         "Vertex 0:  X: 0.0     Y: 0.0     Z: 0.0\n"
                         "Vertex 1:  X: 1,5     Y: 0.0     Z: -0.5\n"
                         "Vertex 2:  X: 0.0     Y: 2.0     Z: 0.0\n"
                         "Face list:\n"
                         "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n";

std::string header(const std::string& v, const std::string& f) {
    return "Tri-mesh, Vertices: " + v + "     Faces: " + f + "\n";
}

std::string vertex_line(const std::string& index) {
    return "Vertex " + index + ":  X: 1.0     Y: 2.0     Z: 3.0\n";
}

std::string face_line(const std::string& index, const std::string& a = "0",
                      const std::string& b = "1", const std::string& c = "2") {
    return "Face " + index + ":    A:" + a + " B:" + b + " C:" + c + " AB:1 BC:1 CA:1\n";
}

// The warning for a file that holds fewer records than it declares.
std::string incomplete(int vertices, int vertices_found, int faces, int faces_found) {
    return "the file is incomplete (vertices: " + std::to_string(vertices) + " declared, " +
           std::to_string(vertices_found) + " found; faces: " + std::to_string(faces) +
           " declared, " + std::to_string(faces_found) + " found); drawing what was read";
}

// Three good vertices, then `rest`.
std::string three_vertices(const std::string& v, const std::string& f, const std::string& rest) {
    return header(v, f) + vertex_line("0") + vertex_line("1") + vertex_line("2") + rest;
}

std::string garbage(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = char(seed >> 23);
    }
    return s;
}

// Opens a named pipe for writing once its reader has opened it, giving up after a minute
// (a reader that never comes must not hang the test).
int open_pipe_for_writing(const std::string& path) {
    for (int i = 0; i < 6000; ++i) {
        int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            return fd;
        }
        usleep(10000);
    }
    return -1;
}

class AscBadInput : public ::testing::Test {
  protected:
    asc_test::ScratchDir dir;

    asc_test::RunResult load(const std::string& path, const std::function<void()>& in_child = {},
                             const std::function<void()>& while_running = {}) {
        return asc_test::run({ASC_LOAD_MAIN, path}, "", in_child, while_running);
    }
    asc_test::RunResult load_text(const std::string& text) {
        return load(dir.write("mesh.asc", text));
    }
    // A refused file: status 1 and exactly this one line on standard error.
    void expect_refused(const std::string& text, const std::string& reason) {
        std::string path = dir.write("mesh.asc", text);
        asc_test::RunResult r = load(path);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.err, path + ": " + reason + "\n");
        EXPECT_EQ(r.out, "");
    }
    // A file that loads: status 0, nothing on standard error (or the one warning given), the
    // counts first on the output.
    asc_test::RunResult expect_loaded(const std::string& text, int vertices, int faces,
                                      const std::string& warning = "") {
        asc_test::RunResult r = load_text(text);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err,
                  warning.empty() ? "" : dir.file("mesh.asc") + ": warning: " + warning + "\n");
        EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
                  std::to_string(vertices) + " vertices, " + std::to_string(faces) + " faces");
        return r;
    }
};

// --- files that load --------------------------------------------------------------------------

TEST_F(AscBadInput, ExampleFileLoads) {
    asc_test::RunResult r = expect_loaded(k_example, 3, 1);
    EXPECT_NE(r.out.find("x 0 .. 1.5, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("z -0.5 .. 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("vertex 1: 0.75 0 -0.25\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("face 0: 0 1 2\n"), std::string::npos) << r.out;
}

TEST_F(AscBadInput, EmptyFileIsAnEmptyMesh) {
    expect_loaded("", 0, 0);
}

TEST_F(AscBadInput, HeaderWithoutRecordsGivesClearedRecordsAndAWarning) {
    asc_test::RunResult r = expect_loaded(header("3", "1"), 3, 1, incomplete(3, 0, 1, 0));
    EXPECT_NE(r.out.find("vertex 2: 0 0 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("face 0: 0 0 0\n"), std::string::npos) << r.out;
}

TEST_F(AscBadInput, ZeroCountsWithoutRecordsLoad) {
    expect_loaded(header("0", "0"), 0, 0);
}

TEST_F(AscBadInput, TruncatedLastRecordLoadsWithZerosAndAWarning) {
    asc_test::RunResult r = expect_loaded(header("3", "1") + vertex_line("0") + vertex_line("1") +
                                              "Vertex 2:  X: 7.0     Y: 5",
                                          3, 1, incomplete(3, 3, 1, 0));
    EXPECT_NE(r.out.find("x 1 .. 7, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("z 0 .. 3\n"), std::string::npos) << r.out;
}

TEST_F(AscBadInput, CrLfFileLoadsLikeItsLfTwin) {
    std::string crlf;
    for (char c : std::string(k_example)) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    asc_test::RunResult lf = expect_loaded(k_example, 3, 1);
    asc_test::RunResult cr = expect_loaded(crlf, 3, 1);
    EXPECT_EQ(cr.out, lf.out);
}

TEST_F(AscBadInput, NulBytesInsideTheTextAreOrdinaryCharacters) {
    std::string text = k_example;
    text.insert(text.find("Vertex 1"), std::string(16, '\0'));
    text.insert(text.find("Face 0"), std::string("\0\xff\0", 3));
    asc_test::RunResult clean = expect_loaded(k_example, 3, 1);
    asc_test::RunResult r = expect_loaded(text, 3, 1);
    EXPECT_EQ(r.out, clean.out);
}

TEST_F(AscBadInput, BinaryGarbageHoldsNoMesh) {
    expect_loaded(garbage(20000, 7), 0, 0);
}

TEST_F(AscBadInput, BinaryGarbageAfterAMeshIsPassedOver) {
    std::string tail = garbage(20000, 11);
    asc_test::RunResult r = expect_loaded(k_example + tail, 3, 1);
    EXPECT_NE(r.out.find("face 0: 0 1 2\n"), std::string::npos) << r.out;
}

TEST_F(AscBadInput, TokensOfThousandsOfCharactersAreReadWhole) {
    const std::string zeros(4000, '0');
    const std::string letters(4000, 'q');
    asc_test::RunResult r =
        expect_loaded(header("3" + letters, "1" + letters) + "Vertex " + zeros + "1:  X: 1" +
                          letters + " Y: 0." + zeros + "1 Z: 2." + zeros + "\n" + "Face " + zeros +
                          ":  A:" + zeros + "2 B:1" + letters + " C:" + zeros + " \n",
                      3, 1, incomplete(3, 1, 1, 1));
    EXPECT_NE(r.out.find("vertex 1: 0.5 0 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("face 0: 2 1 0\n"), std::string::npos) << r.out;
}

// --- counts -----------------------------------------------------------------------------------

TEST_F(AscBadInput, NegativeVertexCount) {
    expect_refused(header("-3", "1"), "vertex count -3 is negative");
}

TEST_F(AscBadInput, NegativeFaceCount) {
    expect_refused(three_vertices("3", "-1", ""), "face count -1 is negative");
}

TEST_F(AscBadInput, CountBeyondTheFileSize) {
    std::string text = header("100000", "1");
    expect_refused(text, "vertex count 100000 is larger than the file (" +
                             std::to_string(text.size()) + " bytes)");
}

TEST_F(AscBadInput, FaceCountBeyondTheFileSize) {
    std::string text = three_vertices("3", "2000000000", face_line("0"));
    expect_refused(text, "face count 2000000000 is larger than the file (" +
                             std::to_string(text.size()) + " bytes)");
}

TEST_F(AscBadInput, CountThatOverflowsAnInt) {
    // 4294967297 wraps to 1 in 32 bits; it must not pass for a count of 1.
    expect_refused(three_vertices("3", "4294967297", face_line("0")),
                   "face count is too large to be a number");
    expect_refused(header("99999999999999999999999", "1"),
                   "vertex count is too large to be a number");
    expect_refused(header("-2147483649", "1"),
                   "vertex count is negative and too large to be a number");
}

TEST_F(AscBadInput, ZeroCountsWithRecords) {
    expect_refused(header("0", "0") + vertex_line("0"),
                   "vertex record 0 is outside the 0 declared vertices");
}

TEST_F(AscBadInput, FacesWithoutVertices) {
    expect_refused(header("0", "1"), "face 0 names vertex 0, outside the 0 vertices");
}

// --- records out of range ---------------------------------------------------------------------

TEST_F(AscBadInput, VertexIndexAtTheCount) {
    expect_refused(three_vertices("3", "1", vertex_line("3") + face_line("0")),
                   "vertex record 3 is outside the 3 declared vertices");
}

TEST_F(AscBadInput, NegativeVertexIndex) {
    expect_refused(three_vertices("3", "1", vertex_line("-1") + face_line("0")),
                   "vertex record -1 is outside the 3 declared vertices");
}

TEST_F(AscBadInput, VertexIndexThatOverflowsAnInt) {
    // 4294967296 wraps to 0 in 32 bits.
    expect_refused(three_vertices("3", "1", vertex_line("4294967296") + face_line("0")),
                   "vertex record 2147483647 is outside the 3 declared vertices");
}

TEST_F(AscBadInput, FaceIndexAtTheCount) {
    expect_refused(three_vertices("3", "1", face_line("1")),
                   "face record 1 is outside the 1 declared faces");
}

TEST_F(AscBadInput, NegativeFaceIndex) {
    expect_refused(three_vertices("3", "1", face_line("-7")),
                   "face record -7 is outside the 1 declared faces");
}

TEST_F(AscBadInput, TriangleNamingAMissingVertex) {
    expect_refused(three_vertices("3", "2", face_line("0") + face_line("1", "0", "3", "1")),
                   "face 1 names vertex 3, outside the 3 vertices");
}

TEST_F(AscBadInput, TriangleNamingANegativeVertex) {
    expect_refused(three_vertices("3", "1", face_line("0", "0", "1", "-2")),
                   "face 0 names vertex -2, outside the 3 vertices");
}

TEST_F(AscBadInput, TriangleCornerThatOverflowsAnInt) {
    expect_refused(three_vertices("3", "1", face_line("0", "4294967296")),
                   "face 0 names vertex 2147483647, outside the 3 vertices");
}

TEST_F(AscBadInput, CoordinateBeyondTheFloatRange) {
    expect_refused(header("1", "0") + "Vertex 0:  X: 1     Y: 2" + std::string(4000, '0') +
                       "     Z: 3\n",
                   "vertex record 0 has a coordinate beyond the range of a float");
}

// --- files that cannot be read ----------------------------------------------------------------

TEST_F(AscBadInput, MissingFile) {
    asc_test::RunResult r = load(dir.file("absent.asc"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error al abrir el fichero ASC: No such file or directory\n");
}

TEST_F(AscBadInput, DirectoryInPlaceOfAMesh) {
    mkdir(dir.file("mesh.asc").c_str(), 0755);
    asc_test::RunResult r = load(dir.file("mesh.asc"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error al abrir el fichero ASC: Is a directory\n");
}

TEST_F(AscBadInput, FileNameLongerThanTheModelHolds) {
    // Cut to 99 characters the name would open another file; it is refused instead.
    std::string name = std::string(100, 'n') + ".asc";
    dir.write(name, k_example);
    dir.write(name.substr(0, 99), k_example);
    asc_test::RunResult r = asc_test::run({ASC_LOAD_MAIN, name}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error al abrir el fichero ASC: File name too long\n");
}

TEST_F(AscBadInput, FileWithoutReadPermission) {
    // Root reads any file whatever its mode, so the child gives up root first and loads the
    // file as the unprivileged user "nobody".
    std::string path = dir.write("mesh.asc", k_example);
    chmod(path.c_str(), 0);
    chmod(dir.path.c_str(), 0755);
    const struct passwd* nobody = getpwnam("nobody");
    uid_t uid = nobody ? nobody->pw_uid : 65534;
    gid_t gid = nobody ? nobody->pw_gid : 65534;
    asc_test::RunResult r = load(path, [&] {
        if (geteuid() == 0 && (setgid(gid) != 0 || setuid(uid) != 0)) _exit(121);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error al abrir el fichero ASC: Permission denied\n");
}

TEST_F(AscBadInput, FileThatOpensButCannotBeRead) {
    // The process's own memory file opens, but reading at offset 0 (never mapped) fails.
    asc_test::RunResult r = load("/proc/self/mem");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "/proc/self/mem: read error: Input/output error\n");
}

TEST_F(AscBadInput, FileThatVanishesBetweenThePasses) {
    // A named pipe: this side opens it for writing, which waits for the reader's first pass to
    // open it, removes its name at once, then writes the mesh and closes. The first pass reads
    // the whole mesh; the second finds no file.
    std::string path = dir.file("mesh.asc");
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    asc_test::RunResult r = load(path, {}, [&] {
        int fd = open_pipe_for_writing(path);
        unlink(path.c_str());
        if (fd < 0) return;
        std::string text = k_example;
        if (write(fd, text.data(), text.size()) != ssize_t(text.size())) perror("write");
        close(fd);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error al abrir el fichero ASC: No such file or directory\n");
}

TEST_F(AscBadInput, PipeCountsAreCheckedAgainstWhatThePipeHeld) {
    // A stream without a size is measured by reading it to its end in the first pass.
    std::string path = dir.file("mesh.asc");
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    std::string text = header("5000", "1");
    asc_test::RunResult r = load(path, {}, [&] {
        int fd = open_pipe_for_writing(path);
        unlink(path.c_str());
        if (fd < 0) return;
        if (write(fd, text.data(), text.size()) != ssize_t(text.size())) perror("write");
        close(fd);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, path + ": vertex count 5000 is larger than the file (" +
                         std::to_string(text.size()) + " bytes)\n");
}

} // namespace
