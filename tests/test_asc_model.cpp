// AscModel's derivations (normalisation, colour ramp, normals) and the GL calls of its draws.
#include "mesh/asc_model.h"
#include "tests/support/asc_test_util.h"
#include "tests/support/gl_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

class AscModelTest : public ::testing::Test {
  protected:
    asc_test::ScratchDir dir;
    std::unique_ptr<AscModel> model;

    // Writes the mesh in the usual layout and loads it; fails the test if it is refused.
    void build(const std::vector<Vector3>& vs, const std::vector<Triangle>& ts) {
        std::string text =
            "Named object: \"test\"\nTri-mesh, Vertices: " + std::to_string(vs.size()) +
            "     Faces: " + std::to_string(ts.size()) + "\nVertex list:\n";
        char line[200];
        for (size_t i = 0; i < vs.size(); ++i) {
            snprintf(line, sizeof line, "Vertex %zu:  X: %.9g     Y: %.9g     Z: %.9g\n", i,
                     vs[i].x, vs[i].y, vs[i].z);
            text += line;
        }
        text += "Face list:\n";
        for (size_t i = 0; i < ts.size(); ++i) {
            snprintf(line, sizeof line, "Face %zu:    A:%d B:%d C:%d AB:1 BC:1 CA:1\n", i, ts[i].a,
                     ts[i].b, ts[i].c);
            text += line;
        }
        model = std::make_unique<AscModel>();
        ASSERT_EQ(model->load(dir.write("m.asc", text).c_str()), 0) << model->load_error.text;
    }
    // One triangle, counter-clockwise seen from +z.
    void build_triangle() { build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}); }

    const Vector3& face_normal(int i) const { return *model->face_normals[i]; }
    const Vector3& vertex_normal(int i) const { return *model->vertex_normals[i]; }
};

#define EXPECT_VEC(v, X, Y, Z)                                                                     \
    do {                                                                                           \
        EXPECT_NEAR((v).x, X, 1e-6);                                                               \
        EXPECT_NEAR((v).y, Y, 1e-6);                                                               \
        EXPECT_NEAR((v).z, Z, 1e-6);                                                               \
    } while (0)

// --- construction and normalisation -----------------------------------------------------------

TEST_F(AscModelTest, StartsWithTheDrawingDefaults) {
    build_triangle();
    EXPECT_EQ(model->points_mode, 0);
    EXPECT_EQ(model->height_colour_mode, 0);
    EXPECT_EQ(model->position_colour_mode, 0);
    EXPECT_EQ(model->colour_every_vertex, 1);
    EXPECT_EQ(model->smooth_normals, 1);
    EXPECT_EQ(model->scale, 1.0f);
    EXPECT_EQ(model->file, nullptr);
}

TEST_F(AscModelTest, NormalisationDividesByTheLargestExtentWithoutMoving) {
    build({{-2, 0, -1}, {2, 1, 1}, {0, 0.5f, 0}, {1, 0.25f, -0.5f}}, {{0, 1, 2}, {1, 2, 3}});
    EXPECT_VEC(model->vertices[0], -0.5, 0.0, -0.25);
    EXPECT_VEC(model->vertices[1], 0.5, 0.25, 0.25);
    EXPECT_VEC(model->vertices[2], 0.0, 0.125, 0.0);
    EXPECT_VEC(model->vertices[3], 0.25, 0.0625, -0.125);
    // Bounds in file units, except Y, which the height parameters recompute.
    EXPECT_FLOAT_EQ(model->max_x, 2.0f);
    EXPECT_FLOAT_EQ(model->min_x, -2.0f);
    EXPECT_FLOAT_EQ(model->extent_x, 4.0f);
    EXPECT_FLOAT_EQ(model->extent_y, 1.0f);
    EXPECT_FLOAT_EQ(model->max_z, 1.0f);
    EXPECT_FLOAT_EQ(model->min_z, -1.0f);
    EXPECT_FLOAT_EQ(model->extent_z, 2.0f);
    EXPECT_FLOAT_EQ(model->max_y, 0.25f);
    EXPECT_FLOAT_EQ(model->min_y, 0.0f);
    EXPECT_FLOAT_EQ(model->height_step, 0.25f / 99.0f);
}

TEST_F(AscModelTest, LargestExtentMayBeAnyAxis) {
    build({{0, 0, 10}, {1, 2, 0}, {0, 0, 0}}, {{0, 1, 2}});
    EXPECT_VEC(model->vertices[0], 0.0, 0.0, 1.0);
    EXPECT_VEC(model->vertices[1], 0.1, 0.2, 0.0);
}

TEST_F(AscModelTest, MinYHoldsTheNegatedNormalisedMinimum) {
    build({{0, -3, 0}, {4, 1, 0}, {0, -1, 0}}, {{0, 1, 2}});
    EXPECT_FLOAT_EQ(model->max_y, 0.25f);
    EXPECT_FLOAT_EQ(model->min_y, 0.75f);
    EXPECT_FLOAT_EQ(model->height_step, 1.0f / 99.0f);
}

TEST_F(AscModelTest, CoincidentVerticesStayWhereTheyAre) {
    build({{2, 3, 4}, {2, 3, 4}, {2, 3, 4}}, {{0, 1, 2}});
    EXPECT_VEC(model->vertices[1], 2, 3, 4);
    EXPECT_VEC(face_normal(0), 0, 0, 0);
    EXPECT_VEC(vertex_normal(0), 0, 0, 0);
    EXPECT_EQ(model->height_step, 0.0f);
    EXPECT_EQ(model->height_index(model->vertices[0].y), 0);
}

TEST_F(AscModelTest, EmptyMeshLoadsAndDrawsEmptyBlocks) {
    build({}, {});
    EXPECT_EQ(model->vertex_count, 0);
    EXPECT_EQ(model->face_count, 0);
    glrec::reset();
    model->draw(1.0f);
    model->points_mode = 1;
    model->draw(1.0f);
    EXPECT_EQ(glrec::names(), (std::vector<std::string>{
                                  "glPushMatrix", "glScalef", "glBegin", "glEnd", "glPopMatrix",
                                  "glPushMatrix", "glScalef", "glBegin", "glEnd", "glPopMatrix"}));
}

// --- colour ramp and height index -------------------------------------------------------------

TEST_F(AscModelTest, RampRunsFromWhiteInStepsOfMinusSevenThousandths) {
    build_triangle();
    const float step = (0.3f - 1.0f) / 100.0f;
    EXPECT_FLOAT_EQ(step, -0.00699999975f);
    EXPECT_FLOAT_EQ(model->colour_ramp[0][0], 1.0f);
    EXPECT_NEAR(model->colour_ramp[1][0], 0.993f, 1e-6);
    EXPECT_NEAR(model->colour_ramp[50][0], 0.65f, 1e-5);
    EXPECT_NEAR(model->colour_ramp[99][0], 0.307f, 1e-5);
    for (int i = 1; i < 100; ++i) {
        EXPECT_EQ(model->colour_ramp[i][0], float(model->colour_ramp[i - 1][0] + double(step)))
            << i;
        EXPECT_EQ(model->colour_ramp[i][1], model->colour_ramp[i][0]) << i;
        EXPECT_EQ(model->colour_ramp[i][2], model->colour_ramp[i][0]) << i;
    }
}

TEST_F(AscModelTest, HeightIndexSpansTheRamp) {
    build({{0, 0, 0}, {1, 1, 0}, {0, 0.5f, 0}}, {{0, 1, 2}});
    EXPECT_EQ(model->height_index(0.0f), 0);
    EXPECT_EQ(model->height_index(1.0f), 99);
    EXPECT_EQ(model->height_index(0.5f), 49);
}

TEST_F(AscModelTest, HeightIndexStaysWithinTheRamp) {
    build({{0, 0, 0}, {1, 1, 0}, {0, 0.5f, 0}}, {{0, 1, 2}});
    EXPECT_EQ(model->height_index(-5.0f), 0);
    EXPECT_EQ(model->height_index(7.0f), 99);
    EXPECT_EQ(model->height_index(NAN), 0);
}

// --- normals ----------------------------------------------------------------------------------

TEST_F(AscModelTest, FaceNormalPointsToTheCounterClockwiseSide) {
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}, {0, 2, 1}, {0, 3, 1}});
    EXPECT_VEC(face_normal(0), 0, 0, 1);
    EXPECT_VEC(face_normal(1), 0, 0, -1);
    EXPECT_VEC(face_normal(2), 0, 1, 0);
}

TEST_F(AscModelTest, FaceNormalHasUnitLength) {
    build({{0, 0, 0}, {3, 0, 1}, {0, 2, 5}}, {{0, 1, 2}});
    const Vector3& n = face_normal(0);
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-6);
    // (B - A) x (C - A) = (3, 0, 1) x (0, 2, 5) = (-2, -15, 6); scaling keeps the direction.
    const double len = std::sqrt(2.0 * 2 + 15 * 15 + 6 * 6);
    EXPECT_VEC(n, -2 / len, -15 / len, 6 / len);
}

TEST_F(AscModelTest, DegenerateTriangleGetsTheZeroNormal) {
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 1}});
    EXPECT_VEC(face_normal(0), 0, 0, 0);
}

TEST(AscModelFaceNormal, ComputedFromTheCornersGiven) {
    Vector3 out{9, 9, 9};
    AscModel::face_normal({0, 0, 0}, {0, 2, 0}, {0, 0, 2}, out);
    EXPECT_VEC(out, 1, 0, 0);
    AscModel::face_normal({1, 1, 1}, {1, 1, 1}, {2, 2, 2}, out);
    EXPECT_VEC(out, 0, 0, 0);
}

TEST_F(AscModelTest, VertexNormalIsThePlainMeanOfItsFaces) {
    // Vertex 0 is shared by a face looking along +z and one looking along +x.
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}, {0, 2, 3}});
    EXPECT_VEC(face_normal(1), 1, 0, 0);
    EXPECT_VEC(vertex_normal(0), 0.5, 0, 0.5);
    EXPECT_VEC(vertex_normal(2), 0.5, 0, 0.5);
    EXPECT_VEC(vertex_normal(1), 0, 0, 1);
    EXPECT_VEC(vertex_normal(3), 1, 0, 0);
}

TEST_F(AscModelTest, OppositeFacesCancelAtASharedVertex) {
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 1}});
    EXPECT_VEC(vertex_normal(0), 0, 0, 0);
    EXPECT_VEC(vertex_normal(1), 0, 0, 0);
}

TEST_F(AscModelTest, VertexNamedTwiceByOneTriangleCountsTwice) {
    // Triangle 1 names vertex 0 twice: its zero normal counts twice at vertex 0.
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 0, 1}});
    EXPECT_VEC(vertex_normal(0), 0, 0, 1.0 / 3.0);
    EXPECT_VEC(vertex_normal(1), 0, 0, 0.5);
}

TEST_F(AscModelTest, UnusedVertexGetsTheZeroNormal) {
    build({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}});
    EXPECT_VEC(vertex_normal(3), 0, 0, 0);
    EXPECT_FALSE(std::isnan(vertex_normal(3).x));
}

// --- drawing ----------------------------------------------------------------------------------

class AscModelDraw : public AscModelTest {
  protected:
    void SetUp() override {
        // Two triangles sharing the edge 1-2, heights 0, 0.5 and 1 after normalisation.
        build({{0, 0, 0}, {1, 0.5f, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}});
        glrec::reset();
    }
    // The calls of one draw, without the matrix calls around it.
    std::vector<glrec::Call> drawn() {
        std::vector<glrec::Call> out;
        for (const glrec::Call& c : glrec::calls())
            if (c.name != "glPushMatrix" && c.name != "glPopMatrix" && c.name != "glScalef")
                out.push_back(c);
        return out;
    }
    static glrec::Call call(const std::string& name, std::vector<double> args) {
        glrec::Call c;
        c.name = name;
        c.args = std::move(args);
        return c;
    }
    glrec::Call vertex(int i) const {
        const Vector3& v = model->vertices[i];
        return call("glVertex3f", {v.x, v.y, v.z});
    }
    glrec::Call normal_of(const Vector3& n) const { return call("glNormal3fv", {n.x, n.y, n.z}); }
    glrec::Call ramp(int i) const {
        const float* c = model->colour_ramp[i];
        return call("glColor3f", {c[0], c[1], c[2]});
    }
    glrec::Call position_colour(int i) const {
        const Vector3& v = model->vertices[i];
        return call("glColor3f", {v.x, v.y, v.z});
    }
    static void expect_stream(const std::vector<glrec::Call>& got,
                              const std::vector<glrec::Call>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].name, want[i].name) << "call " << i;
            ASSERT_EQ(got[i].args.size(), want[i].args.size()) << "call " << i;
            for (size_t k = 0; k < got[i].args.size(); ++k)
                EXPECT_FLOAT_EQ(float(got[i].args[k]), float(want[i].args[k]))
                    << "call " << i << " " << got[i].name << " argument " << k;
        }
    }
    std::vector<double> scales() {
        std::vector<double> out;
        for (const glrec::Call& c : glrec::named("glScalef"))
            out.push_back(c.args[0]);
        return out;
    }
};

TEST_F(AscModelDraw, SmoothIsTheDefault) {
    model->draw(1.0f);
    std::vector<glrec::Call> want = {call("glBegin", {GL_TRIANGLES})};
    for (int t = 0; t < 2; ++t) {
        const Triangle& tri = model->triangles[t];
        for (int v : {tri.a, tri.b, tri.c}) {
            want.push_back(normal_of(*model->vertex_normals[v]));
            want.push_back(vertex(v));
        }
    }
    want.push_back(call("glEnd", {}));
    expect_stream(drawn(), want);
}

TEST_F(AscModelDraw, FlatSendsOneFaceNormalPerTriangle) {
    model->smooth_normals = 0;
    model->draw(1.0f);
    expect_stream(drawn(), {call("glBegin", {GL_TRIANGLES}), normal_of(face_normal(0)), vertex(0),
                            vertex(1), vertex(2), normal_of(face_normal(1)), vertex(1), vertex(3),
                            vertex(2), call("glEnd", {})});
}

TEST_F(AscModelDraw, PointsSendTheFixedNormalBeforeEveryVertex) {
    model->points_mode = 1;
    model->draw(1.0f);
    std::vector<glrec::Call> want = {call("glBegin", {GL_POINTS})};
    for (int v = 0; v < 4; ++v) {
        want.push_back(call("glNormal3fv", {1, 1, 1}));
        want.push_back(vertex(v));
    }
    want.push_back(call("glEnd", {}));
    expect_stream(drawn(), want);
}

TEST_F(AscModelDraw, HeightColouredGivesEveryCornerItsRampColour) {
    model->height_colour_mode = 1;
    model->draw(1.0f);
    // Heights 0, 0.5, 1, 1 give ramp entries 0, 49, 99, 99.
    const int entry[4] = {0, 49, 99, 99};
    std::vector<glrec::Call> want = {call("glBegin", {GL_TRIANGLES})};
    for (int t = 0; t < 2; ++t) {
        const Triangle& tri = model->triangles[t];
        for (int v : {tri.a, tri.b, tri.c}) {
            want.push_back(normal_of(vertex_normal(v)));
            want.push_back(ramp(entry[v]));
            want.push_back(vertex(v));
        }
    }
    want.push_back(call("glEnd", {}));
    expect_stream(drawn(), want);
}

TEST_F(AscModelDraw, HeightColouredWithFirstCornerColourOnly) {
    model->height_colour_mode = 1;
    model->colour_every_vertex = 0;
    model->draw(1.0f);
    expect_stream(drawn(),
                  {call("glBegin", {GL_TRIANGLES}), normal_of(vertex_normal(0)), ramp(0), vertex(0),
                   normal_of(vertex_normal(1)), vertex(1), normal_of(vertex_normal(2)), vertex(2),
                   normal_of(vertex_normal(1)), ramp(49), vertex(1), normal_of(vertex_normal(3)),
                   vertex(3), normal_of(vertex_normal(2)), vertex(2), call("glEnd", {})});
}

TEST_F(AscModelDraw, PositionColouredUsesTheVertexAsItsColour) {
    model->position_colour_mode = 1;
    model->draw(1.0f);
    std::vector<glrec::Call> want = {call("glBegin", {GL_TRIANGLES})};
    for (int t = 0; t < 2; ++t) {
        const Triangle& tri = model->triangles[t];
        for (int v : {tri.a, tri.b, tri.c}) {
            want.push_back(normal_of(vertex_normal(v)));
            want.push_back(position_colour(v));
            want.push_back(vertex(v));
        }
    }
    want.push_back(call("glEnd", {}));
    expect_stream(drawn(), want);
}

TEST_F(AscModelDraw, PositionColouredWithFirstCornerColourOnly) {
    model->position_colour_mode = 1;
    model->colour_every_vertex = 0;
    model->draw(1.0f);
    EXPECT_EQ(glrec::count("glColor3f"), 2u);
    std::vector<glrec::Call> colours = glrec::named("glColor3f");
    EXPECT_FLOAT_EQ(float(colours[1].args[1]), model->vertices[1].y);
}

TEST_F(AscModelDraw, PointsModeOverridesEveryOtherFlag) {
    model->points_mode = 1;
    model->position_colour_mode = 1;
    model->height_colour_mode = 1;
    model->smooth_normals = 0;
    model->draw(1.0f);
    EXPECT_EQ(glrec::named("glBegin")[0].args[0], GL_POINTS);
    EXPECT_EQ(glrec::count("glColor3f"), 0u);
}

TEST_F(AscModelDraw, PositionColourOverridesHeightColourAndNormals) {
    model->position_colour_mode = 1;
    model->height_colour_mode = 1;
    model->smooth_normals = 0;
    model->draw(1.0f);
    std::vector<glrec::Call> colours = glrec::named("glColor3f");
    ASSERT_EQ(colours.size(), 6u);
    EXPECT_FLOAT_EQ(float(colours[1].args[0]), model->vertices[1].x);
    EXPECT_FLOAT_EQ(float(glrec::named("glNormal3fv")[0].args[2]), vertex_normal(0).z);
}

TEST_F(AscModelDraw, HeightColourOverridesFlatNormals) {
    model->height_colour_mode = 1;
    model->smooth_normals = 0;
    model->draw(1.0f);
    EXPECT_EQ(glrec::count("glColor3f"), 6u);
    EXPECT_EQ(glrec::count("glNormal3fv"), 6u);
}

TEST_F(AscModelDraw, NoColourIsSentInPointsFlatOrSmoothMode) {
    model->draw(1.0f);
    model->smooth_normals = 0;
    model->draw(1.0f);
    model->points_mode = 1;
    model->draw(1.0f);
    EXPECT_EQ(glrec::count("glColor3f"), 0u);
}

TEST_F(AscModelDraw, ScaleWrapsTheDrawInAPushedMatrix) {
    glrec::Mat4 before = glrec::current_modelview();
    model->draw(2.0f);
    std::vector<std::string> names = glrec::names({"glNormal3fv", "glVertex3f"});
    EXPECT_EQ(names, (std::vector<std::string>{"glPushMatrix", "glScalef", "glBegin", "glEnd",
                                               "glPopMatrix"}));
    std::vector<glrec::Call> scaled = glrec::named("glScalef");
    EXPECT_EQ(scaled[0].args, (std::vector<double>{2.0, 2.0, 2.0}));
    EXPECT_EQ(glrec::current_modelview(), before);
    // The vertices went out under the scaled matrix.
    glrec::Call v = glrec::named("glVertex3f")[1];
    EXPECT_DOUBLE_EQ(glrec::apply(v.modelview, 1, 0, 0).x, 2.0);
}

TEST_F(AscModelDraw, ZeroScaleKeepsTheStoredScale) {
    model->draw(0.0f);
    model->draw(2.5f);
    model->draw(0.0f);
    model->draw(-3.0f);
    model->draw(0.0f);
    EXPECT_EQ(scales(), (std::vector<double>{1.0, 2.5, 2.5, -3.0, -3.0}));
    EXPECT_EQ(model->scale, -3.0f);
}

} // namespace
