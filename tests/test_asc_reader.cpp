// The ASC reader's two passes: what each layout rule makes of the text.
#include "mesh/asc_model.h"
#include "tests/support/asc_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const char k_example[] = "Mesh 1: Vertices: 3     Faces: 1\n"
                         "Vertex list:\n"
                         "Vertex 0:  X: 0.0     Y: 0.0     Z: 0.0\n"
                         "Vertex 1:  X: 1,5     Y: 0.0     Z: -0.5\n"
                         "Vertex 2:  X: 0.0     Y: 2.0     Z: 0.0\n"
                         "Face list:\n"
                         "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n";

class AscReader : public ::testing::Test {
  protected:
    asc_test::ScratchDir dir;
    std::unique_ptr<AscModel> model;

    // Both passes over `text`, without the geometry steps, so positions stay in file units.
    // Returns the reader's result (0 read, 1 refused).
    int read(const std::string& text) {
        model = std::make_unique<AscModel>();
        std::string path = dir.write("mesh.asc", text);
        snprintf(model->file_name, sizeof model->file_name, "%s", path.c_str());
        return model->read_mesh();
    }
    // Only the first pass.
    void count(const std::string& text) {
        model = std::make_unique<AscModel>();
        std::string path = dir.write("mesh.asc", text);
        snprintf(model->file_name, sizeof model->file_name, "%s", path.c_str());
        model->count_elements();
    }
    const Vector3& vertex(int i) const { return model->vertices[i]; }
    const Triangle& face(int i) const { return model->triangles[i]; }
    std::string error() const { return model->load_error.text; }
};

#define EXPECT_VERTEX(v, X, Y, Z)                                                                  \
    do {                                                                                           \
        EXPECT_FLOAT_EQ((v).x, X);                                                                 \
        EXPECT_FLOAT_EQ((v).y, Y);                                                                 \
        EXPECT_FLOAT_EQ((v).z, Z);                                                                 \
    } while (0)

#define EXPECT_FACE(t, A, B, C)                                                                    \
    do {                                                                                           \
        EXPECT_EQ((t).a, A);                                                                       \
        EXPECT_EQ((t).b, B);                                                                       \
        EXPECT_EQ((t).c, C);                                                                       \
    } while (0)

// A file with `v` vertices and `f` faces declared, then `records`.
std::string with_header(int v, int f, const std::string& records) {
    return "Tri-mesh, Vertices: " + std::to_string(v) + "     Faces: " + std::to_string(f) + "\n" +
           records;
}

// --- the example and the basic layout ---------------------------------------------------------

TEST_F(AscReader, ExampleFileGivesThreeVerticesAndOneTriangle) {
    ASSERT_EQ(read(k_example), 0) << error();
    ASSERT_EQ(model->vertex_count, 3);
    ASSERT_EQ(model->face_count, 1);
    EXPECT_VERTEX(vertex(0), 0.0f, 0.0f, 0.0f);
    EXPECT_VERTEX(vertex(1), 1.5f, 0.0f, -0.5f);
    EXPECT_VERTEX(vertex(2), 0.0f, 2.0f, 0.0f);
    EXPECT_FACE(face(0), 0, 1, 2);
}

TEST_F(AscReader, NoFileIsLeftOpenAfterEitherPass) {
    ASSERT_EQ(read(k_example), 0);
    EXPECT_EQ(model->file, nullptr);
}

TEST_F(AscReader, EmptyFileHasNoVerticesAndNoFaces) {
    ASSERT_EQ(read(""), 0) << error();
    EXPECT_EQ(model->vertex_count, 0);
    EXPECT_EQ(model->face_count, 0);
}

TEST_F(AscReader, RecordsAreStoredAtTheIndexTheyNameInAnyOrder) {
    ASSERT_EQ(read(with_header(3, 2,
                               "Face 1:  A:2 B:1 C:0 \n"
                               "Vertex 2:  X: 3 Y: 3 Z: 3\n"
                               "Vertex 0:  X: 1 Y: 1 Z: 1\n"
                               "Face 0:  A:0 B:1 C:2 \n"
                               "Vertex 1:  X: 2 Y: 2 Z: 2\n")),
              0)
        << error();
    EXPECT_VERTEX(vertex(0), 1, 1, 1);
    EXPECT_VERTEX(vertex(1), 2, 2, 2);
    EXPECT_VERTEX(vertex(2), 3, 3, 3);
    EXPECT_FACE(face(0), 0, 1, 2);
    EXPECT_FACE(face(1), 2, 1, 0);
}

TEST_F(AscReader, LaterRecordWithTheSameIndexReplacesTheEarlier) {
    ASSERT_EQ(read(with_header(3, 1,
                               "Vertex 1:  X: 5 Y: 5 Z: 5\n"
                               "Vertex 1:  X: 7 Y: 8 Z: 9\n"
                               "Face 0:  A:0 B:0 C:0 \n"
                               "Face 0:  A:2 B:1 C:0 \n")),
              0);
    EXPECT_VERTEX(vertex(1), 7, 8, 9);
    EXPECT_FACE(face(0), 2, 1, 0);
}

TEST_F(AscReader, UnfilledRecordsStartCleared) {
    ASSERT_EQ(read(with_header(3, 2, "Vertex 1:  X: 5 Y: 6 Z: 7\n")), 0);
    EXPECT_VERTEX(vertex(0), 0, 0, 0);
    EXPECT_VERTEX(vertex(2), 0, 0, 0);
    EXPECT_FACE(face(1), 0, 0, 0);
}

// --- keywords ---------------------------------------------------------------------------------

TEST_F(AscReader, KeywordsMatchInAnyCase) {
    ASSERT_EQ(read("tri-mesh, VERTICES: 5 fAcEs: 2\n"
                   "VERTEX 4: X: 1 Y: 2 Z: 3\n"
                   "vertex 3: X: 4 Y: 5 Z: 6\n"
                   "FACE 1: A:4 B:3 C:2 \n"
                   "face 0: A:1 B:2 C:3 \n"),
              0)
        << error();
    EXPECT_EQ(model->vertex_count, 5);
    EXPECT_EQ(model->face_count, 2);
    EXPECT_VERTEX(vertex(4), 1, 2, 3);
    EXPECT_VERTEX(vertex(3), 4, 5, 6);
    EXPECT_FACE(face(1), 4, 3, 2);
    EXPECT_FACE(face(0), 1, 2, 3);
}

TEST_F(AscReader, KeywordsAreFoundInsideOtherWords) {
    ASSERT_EQ(read("xVertices:3 yFaces:1\nmyVertex 2: X: 1 Y: 2 Z: 3\nSurFace 0: A:2 B:1 C:0 \n"),
              0)
        << error();
    EXPECT_EQ(model->vertex_count, 3);
    EXPECT_EQ(model->face_count, 1);
    EXPECT_VERTEX(vertex(2), 1, 2, 3);
    EXPECT_FACE(face(0), 2, 1, 0);
}

TEST_F(AscReader, HeadingsAndTheHeaderGiveNoRecord) {
    // Were "Vertex list:", "Face list:", "Faces:" or "Vertices:" taken as records, the heading's
    // index "list" would be 0 and the next line's fields would land in record 0.
    ASSERT_EQ(read(with_header(2, 1,
                               "Vertex list:\nVertex 1:  X: 4 Y: 5 Z: 6\n"
                               "Face list:\nFace 0:  A:1 B:1 C:1 \n")),
              0)
        << error();
    EXPECT_VERTEX(vertex(0), 0, 0, 0);
    EXPECT_VERTEX(vertex(1), 4, 5, 6);
    EXPECT_FACE(face(0), 1, 1, 1);
}

TEST_F(AscReader, RejectingLettersAreLowerCaseOnly) {
    // A capital L or S starts a record: its index token "Lx" or "Sx" reads as 0.
    ASSERT_EQ(read(with_header(2, 2,
                               "Vertex Lx:  X: 7 Y: 8 Z: 9\n"
                               "Face Sx:  A:1 B:0 C:1 \n"
                               "Face sx:  A:1 B:1 C:1 \n")),
              0)
        << error();
    EXPECT_VERTEX(vertex(0), 7, 8, 9);
    EXPECT_FACE(face(0), 1, 0, 1);
    EXPECT_FACE(face(1), 0, 0, 0);
}

TEST_F(AscReader, OtherTextAfterTheKeywordStartsARecord) {
    ASSERT_EQ(read(with_header(3, 1, "Vertex2:  X: 7 Y: 8 Z: 9\nFacet0: A:1 B:2 C:0 \n")), 0)
        << error();
    EXPECT_VERTEX(vertex(2), 7, 8, 9);
    // "Facet0" is "Face" then the index token "t0", whose leading integer is 0.
    EXPECT_FACE(face(0), 1, 2, 0);
}

TEST_F(AscReader, FailedMatchDoesNotBacktrack) {
    // "VVertex": the second V fails against "e", is tried against "Face" only, and is dropped,
    // so "ertex 1: ..." is plain text. Likewise "FFace".
    ASSERT_EQ(read(with_header(2, 1, "VVertex 1:  X: 7 Y: 8 Z: 9\nFFace 0:  A:1 B:1 C:1 \n")), 0)
        << error();
    EXPECT_VERTEX(vertex(1), 0, 0, 0);
    EXPECT_FACE(face(0), 0, 0, 0);
}

TEST_F(AscReader, CharacterThatEndsAFailedMatchIsTriedAgainstTheOtherKeyword) {
    // "VerFace": the F that breaks "Vertex" begins "Face".
    ASSERT_EQ(read(with_header(3, 1, "VerFace 0:  A:2 B:0 C:1 \n")), 0) << error();
    EXPECT_FACE(face(0), 2, 0, 1);
}

TEST_F(AscReader, TriangleRecordRightAfterAVertexRecordIsSeen) {
    // The line feed that ends Z is the character tested first, so "Face" on the next line
    // starts straight after it.
    ASSERT_EQ(read(with_header(3, 1, "Vertex 0:  X: 1 Y: 2 Z: 3\nFace 0:  A:2 B:1 C:0 \n")), 0);
    EXPECT_VERTEX(vertex(0), 1, 2, 3);
    EXPECT_FACE(face(0), 2, 1, 0);
}

// --- blanks and the fields of a vertex ----------------------------------------------------------

TEST_F(AscReader, DecimalCommaInEveryCoordinate) {
    ASSERT_EQ(read(with_header(1, 0, "Vertex 0:  X: -1,25 Y: 2,5 Z: 0,125\n")), 0);
    EXPECT_VERTEX(vertex(0), -1.25f, 2.5f, 0.125f);
}

TEST_F(AscReader, CharacterAfterTheColonIsSkippedUnexamined) {
    // "X:-1.0" loses its sign, "Y:12" its first digit.
    ASSERT_EQ(read(with_header(1, 0, "Vertex 0:  X:-1.0 Y:12 Z: 3\n")), 0);
    EXPECT_VERTEX(vertex(0), 1.0f, 2.0f, 3.0f);
}

TEST_F(AscReader, ManyBlanksBetweenFields) {
    ASSERT_EQ(read(with_header(1, 0, "Vertex     0:     X:      1     Y:     2     Z:    3\n")), 0);
    EXPECT_VERTEX(vertex(0), 1, 2, 3);
}

TEST_F(AscReader, TabIsNotABlank) {
    // After "X:" and the skipped character, only spaces are skipped: a tab begins the value,
    // which then has no leading number. With spaces instead the value is 5.
    ASSERT_EQ(read(with_header(2, 0,
                               "Vertex 0:  X:\t\t5 Y: 1 Z: 1\n"
                               "Vertex 1:  X:  5 Y: 1 Z: 1\n")),
              0);
    EXPECT_FLOAT_EQ(vertex(0).x, 0.0f);
    EXPECT_FLOAT_EQ(vertex(1).x, 5.0f);
}

TEST_F(AscReader, ZValueEndsAtALineFeed) {
    ASSERT_EQ(read(with_header(2, 0, "Vertex 0:  X: 1 Y: 2 Z: 3\nVertex 1:  X: 4 Y: 5 Z: 6\n")), 0);
    EXPECT_VERTEX(vertex(0), 1, 2, 3);
    EXPECT_VERTEX(vertex(1), 4, 5, 6);
}

TEST_F(AscReader, XValueRunsOnOverALineFeed) {
    // "1\n9" is one token (value 1); Y and Z follow on the next line.
    ASSERT_EQ(read(with_header(1, 0, "Vertex 0:  X: 1\n9 Y: 2 Z: 3\n")), 0);
    EXPECT_VERTEX(vertex(0), 1, 2, 3);
}

TEST_F(AscReader, CrLfLineEndsReadLikeLineFeeds) {
    std::string crlf;
    for (char c : std::string(k_example)) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ASSERT_EQ(read(crlf), 0) << error();
    EXPECT_VERTEX(vertex(0), 0.0f, 0.0f, 0.0f);
    EXPECT_VERTEX(vertex(1), 1.5f, 0.0f, -0.5f);
    EXPECT_VERTEX(vertex(2), 0.0f, 2.0f, 0.0f);
    EXPECT_FACE(face(0), 0, 1, 2);
}

// --- the fields of a triangle -----------------------------------------------------------------

TEST_F(AscReader, TriangleValueMayFollowItsColonAfterOneBlank) {
    ASSERT_EQ(read(with_header(6, 1, "Face 0:  A: 5 B: 4 C: 3 \n")), 0);
    EXPECT_FACE(face(0), 5, 4, 3);
}

TEST_F(AscReader, TriangleLineEndingRightAfterCSwallowsTheNextRecord) {
    ASSERT_EQ(read(with_header(3, 2,
                               "Face 0:  A:0 B:1 C:2\n"
                               "Face 1:  A:2 B:1 C:0\n")),
              0);
    EXPECT_FACE(face(0), 0, 1, 2);
    EXPECT_FACE(face(1), 0, 0, 0);
}

TEST_F(AscReader, FieldsAfterCArePassedOver) {
    ASSERT_EQ(read(with_header(3, 1, "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1 Smoothing: 1\n")), 0);
    EXPECT_FACE(face(0), 0, 1, 2);
}

TEST_F(AscReader, IndexTokenRunsToTheColon) {
    ASSERT_EQ(read(with_header(3, 1, "Vertex  2 (last):  X: 1 Y: 2 Z: 3\n")), 0);
    EXPECT_VERTEX(vertex(2), 1, 2, 3);
}

// --- counts -----------------------------------------------------------------------------------

TEST_F(AscReader, CountsComeFromTheFirstHeaderWithANonzeroFaceCount) {
    count("Vertices: 3 Faces: 1\nVertices: 7 Faces: 9\n");
    EXPECT_EQ(model->vertex_count, 3);
    EXPECT_EQ(model->face_count, 1);
}

TEST_F(AscReader, ZeroFaceCountLetsALaterHeaderReplaceTheVertexCount) {
    count("Vertices: 5 Faces: 0 \nVertices: 3 Faces: 1\n");
    EXPECT_EQ(model->vertex_count, 3);
    EXPECT_EQ(model->face_count, 1);
}

TEST_F(AscReader, FaceCountTokenRunsOnOverTheLineFeed) {
    // "0\nVertices:" is one token, so the second header's vertex count is never seen.
    count("Vertices: 5 Faces: 0\nVertices: 3 Faces: 1\n");
    EXPECT_EQ(model->vertex_count, 5);
    EXPECT_EQ(model->face_count, 1);
}

TEST_F(AscReader, CountTokenEndsAtABlankOnly) {
    count("Vertices:12\n34 Faces:\t7\n");
    EXPECT_EQ(model->vertex_count, 12);
    EXPECT_EQ(model->face_count, 7);
}

TEST_F(AscReader, FileWithoutFacesIsScannedToItsEnd) {
    ASSERT_EQ(read("Vertices: 2\nVertex 0:  X: 1 Y: 2 Z: 3\nVertex 1:  X: 4 Y: 5 Z: 6\n"), 0);
    EXPECT_EQ(model->vertex_count, 2);
    EXPECT_EQ(model->face_count, 0);
    EXPECT_VERTEX(vertex(1), 4, 5, 6);
}

TEST_F(AscReader, MissingCountsAreZero) {
    count("Named object: nothing here\n");
    EXPECT_EQ(model->vertex_count, 0);
    EXPECT_EQ(model->face_count, 0);
}

TEST_F(AscReader, SeveralMeshesShareOneIndexSpace) {
    // The second mesh's records land on the first mesh's indices and replace them; its larger
    // header is never read.
    ASSERT_EQ(read(std::string(k_example) + "Mesh 2: Vertices: 3     Faces: 1\n"
                                            "Vertex list:\n"
                                            "Vertex 0:  X: 9.0     Y: 9.0     Z: 9.0\n"
                                            "Vertex 1:  X: 8.0     Y: 8.0     Z: 8.0\n"
                                            "Face list:\n"
                                            "Face 0:    A:2 B:0 C:1 AB:1 BC:1 CA:1\n"),
              0)
        << error();
    EXPECT_EQ(model->vertex_count, 3);
    EXPECT_EQ(model->face_count, 1);
    EXPECT_VERTEX(vertex(0), 9, 9, 9);
    EXPECT_VERTEX(vertex(1), 8, 8, 8);
    EXPECT_VERTEX(vertex(2), 0, 2, 0);
    EXPECT_FACE(face(0), 2, 0, 1);
}

TEST_F(AscReader, SecondMeshBeyondTheFirstCountsIsRefused) {
    EXPECT_EQ(read(std::string(k_example) + "Mesh 2: Vertices: 4     Faces: 1\n"
                                            "Vertex 3:  X: 9.0     Y: 9.0     Z: 9.0\n"),
              1);
    EXPECT_NE(error().find("vertex record 3 is outside the 3 declared vertices; the file holds "
                           "several objects and only the first object's counts are used"),
              std::string::npos)
        << error();
}

// --- numbers ----------------------------------------------------------------------------------

TEST_F(AscReader, CoordinatesAreLeadingDecimalNumbers) {
    ASSERT_EQ(read(with_header(3, 0,
                               "Vertex 0:  X: 1e3 Y: -2.5E-1 Z: +4.\n"
                               "Vertex 1:  X: .5 Y: 1.5.3 Z: 7abc\n"
                               "Vertex 2:  X: 1e Y: 2e+ Z: -\n")),
              0)
        << error();
    EXPECT_VERTEX(vertex(0), 1000.0f, -0.25f, 4.0f);
    EXPECT_VERTEX(vertex(1), 0.5f, 1.5f, 7.0f);
    EXPECT_VERTEX(vertex(2), 1.0f, 2.0f, 0.0f);
}

TEST_F(AscReader, CoordinatesAreRoundedToTheNearestFloat) {
    // Decimal text read as the C library's double, then rounded to a float.
    const char* texts[] = {"1.0000001",
                           "0.1",
                           "0.3",
                           "-1.25e-7",
                           "16777217",
                           "3.4028234e38",
                           "3.40282347e+38",
                           "-3.4028235e38",
                           "34028235e31",
                           "0.00000000000000000000000001234567890123456789",
                           "123456789012345678901234567890",
                           "1.17549435e-38"};
    for (const char* text : texts) {
        ASSERT_EQ(read(with_header(1, 0, std::string("Vertex 0:  X: ") + text + " Y: 0 Z: 0\n")), 0)
            << text;
        EXPECT_EQ(vertex(0).x, float(strtod(text, nullptr))) << text;
    }
}

TEST_F(AscReader, CoordinateIsRoundedOnceFromItsDouble) {
    // 16777217 lies halfway between the floats 16777216 and 16777218. X is above it by less than
    // half a double's step there, so it reads as the midpoint itself, which goes to the even
    // float below; Y is far enough above it to stay above it as a double.
    ASSERT_EQ(
        read(with_header(1, 0, "Vertex 0:  X: 16777217.000000001 Y: 16777217.00000001 Z: 0\n")), 0);
    EXPECT_EQ(vertex(0).x, 16777216.0f);
    EXPECT_EQ(vertex(0).y, 16777218.0f);
}

TEST_F(AscReader, NanInfAndHexTextAreNotNumbers) {
    ASSERT_EQ(read(with_header(2, 0,
                               "Vertex 0:  X: nan Y: inf Z: infinity\n"
                               "Vertex 1:  X: 0x10 Y: -NAN Z: 0x1p3\n")),
              0);
    EXPECT_VERTEX(vertex(0), 0, 0, 0);
    EXPECT_VERTEX(vertex(1), 0, 0, 0);
}

TEST_F(AscReader, CoordinateBeyondTheFloatRangeIsRefused) {
    // The first value past the midpoint between the largest float and 2^128.
    EXPECT_EQ(read(with_header(1, 0, "Vertex 0:  X: 1 Y: 3.4028236e38 Z: 1\n")), 1);
    EXPECT_NE(error().find("vertex record 0 has a coordinate beyond the range of a float"),
              std::string::npos)
        << error();
    // Just below that midpoint, but the nearest double is the midpoint, which rounds to infinity.
    EXPECT_EQ(read(with_header(
                  1, 0, "Vertex 0:  X: 340282356779733661637539395458142568447.9 Y: 0 Z: 0\n")),
              1);
}

TEST_F(AscReader, TinyCoordinateBecomesZero) {
    ASSERT_EQ(read(with_header(1, 0, "Vertex 0:  X: 1e-60 Y: -1e-99999 Z: 1\n")), 0);
    EXPECT_VERTEX(vertex(0), 0, 0, 1);
}

TEST_F(AscReader, IntegersSkipLeadingWhiteSpaceAndTakeASign) {
    ASSERT_EQ(read(with_header(3, 1, "Face +0:  A:+2 B:\t1 C:0 \n")), 0) << error();
    EXPECT_FACE(face(0), 2, 1, 0);
}

TEST_F(AscReader, LongTokensAreReadWhole) {
    const std::string zeros(5000, '0');
    const std::string junk(3000, 'x');
    ASSERT_EQ(read("Vertices: 3" + junk + " Faces: 1\n" + "Vertex " + zeros + "2:  X: 0." + zeros +
                   "5 Y: 2.5" + junk + " Z: 6\n" + "Face 0:  A:" + zeros + "1 B:2 C:0 \n"),
              0)
        << error();
    EXPECT_EQ(model->vertex_count, 3);
    EXPECT_EQ(model->face_count, 1);
    EXPECT_VERTEX(vertex(2), 0.0f, 2.5f, 6.0f);
    EXPECT_FACE(face(0), 1, 2, 0);
}

TEST_F(AscReader, ByteFFInTheMiddleDoesNotEndTheScan) {
    ASSERT_EQ(read(with_header(2, 0, "\xff\xff Vertex 1:  X: 1 Y: 2 Z: 3\n")), 0);
    EXPECT_VERTEX(vertex(1), 1, 2, 3);
}

TEST_F(AscReader, NulBytesAreOrdinaryCharacters) {
    const char records[] = "\0\0Vertex 1:  X: 1\0 Y: 2 Z: 3\n";
    ASSERT_EQ(read(with_header(2, 0, std::string(records, sizeof records - 1))), 0);
    EXPECT_VERTEX(vertex(1), 1, 2, 3);
}

TEST_F(AscReader, VertexCutShortByTheEndOfTheFileGetsZeros) {
    ASSERT_EQ(read(with_header(3, 0, "Vertex 2:  X: 5 Y: 6")), 0);
    EXPECT_VERTEX(vertex(2), 5, 6, 0);
}

TEST_F(AscReader, TriangleCutShortByTheEndOfTheFileGetsZeros) {
    ASSERT_EQ(read(with_header(3, 1, "Face 0:  A:2 B:1")), 0);
    EXPECT_FACE(face(0), 2, 1, 0);
}

// --- the primitive steps ----------------------------------------------------------------------

TEST(AscReaderSteps, SameLetterIgnoresCaseOfLettersOnly) {
    EXPECT_EQ(AscModel::same_letter('v', 'V'), 1);
    EXPECT_EQ(AscModel::same_letter('V', 'v'), 1);
    EXPECT_EQ(AscModel::same_letter('V', 'V'), 1);
    EXPECT_EQ(AscModel::same_letter('w', 'V'), 0);
    EXPECT_EQ(AscModel::same_letter(':', ':'), 1);
    EXPECT_EQ(AscModel::same_letter(':' + 32, ':'), 0);
    EXPECT_EQ(AscModel::same_letter('@', '`'), 0);
    EXPECT_EQ(AscModel::same_letter(EOF, 'V'), 0);
}

struct StreamSteps : ::testing::Test {
    FILE* stream = nullptr;
    void open(const char* text) {
        if (stream) fclose(stream);
        stream = fmemopen((void*)text, strlen(text), "r");
    }
    void TearDown() override {
        if (stream) fclose(stream);
    }
};

TEST_F(StreamSteps, SkipCharsWhileEqualReadsAtLeastOne) {
    open("   x");
    int current = 0;
    AscModel::skip_chars(current, ' ', stream, 1);
    EXPECT_EQ(current, 'x');
    open("y z");
    AscModel::skip_chars(current, ' ', stream, 1);
    EXPECT_EQ(current, 'y');
}

TEST_F(StreamSteps, SkipCharsUntilEqual) {
    open("abc:d");
    int current = 0;
    AscModel::skip_chars(current, ':', stream, 0);
    EXPECT_EQ(current, ':');
    EXPECT_EQ(getc(stream), 'd');
}

TEST_F(StreamSteps, SkipCharsStopsAtTheEndOfTheFile) {
    open("    ");
    int current = 0;
    AscModel::skip_chars(current, ' ', stream, 1);
    EXPECT_EQ(current, EOF);
    open("abc");
    AscModel::skip_chars(current, ':', stream, 0);
    EXPECT_EQ(current, EOF);
}

TEST_F(StreamSteps, MatchKeywordEndsOnTheLastLetter) {
    open("ertex 1");
    int current = 'v';
    EXPECT_EQ(AscModel::match_keyword(current, "Vertex", stream), 1);
    EXPECT_EQ(current, 'x');
    EXPECT_EQ(getc(stream), ' ');
}

TEST_F(StreamSteps, MatchKeywordLeavesTheDifferingCharacterCurrent) {
    open("ertices:");
    int current = 'V';
    EXPECT_EQ(AscModel::match_keyword(current, "Vertex", stream), 0);
    EXPECT_EQ(current, 'i');
    EXPECT_EQ(getc(stream), 'c');
}

TEST_F(StreamSteps, MatchKeywordReadsNothingWhenTheFirstLetterDiffers) {
    open("abc");
    int current = 'x';
    EXPECT_EQ(AscModel::match_keyword(current, "Face", stream), 0);
    EXPECT_EQ(current, 'x');
    EXPECT_EQ(getc(stream), 'a');
}

} // namespace
