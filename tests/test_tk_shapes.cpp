#include "toolkit/tk_shapes.h"

#include "tests/support/gl_recorder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

struct Vertex {
    glrec::Vec3 normal, position;
};

struct Face {
    GLenum mode = 0;
    GLuint compiling_list = 0;
    std::vector<Vertex> vertices;
};

// The primitives in the recorded stream, each with the normal in force at every vertex.
std::vector<Face> recorded_faces() {
    std::vector<Face> faces;
    glrec::Vec3 normal{0, 0, 1};
    for (const glrec::Call& c : glrec::calls()) {
        if (c.name == "glBegin") {
            faces.emplace_back();
            faces.back().mode = GLenum(c.args[0]);
            faces.back().compiling_list = c.compiling_list;
        } else if (c.name == "glNormal3d") {
            normal = {c.args[0], c.args[1], c.args[2]};
        } else if (c.name == "glVertex3d") {
            faces.back().vertices.push_back({normal, {c.args[0], c.args[1], c.args[2]}});
        }
    }
    return faces;
}

int chain_length(int kind) {
    int n = 0;
    for (const ShapeListEntry* e = tk_shape_lists[kind]; e; e = e->next)
        ++n;
    return n;
}

GLuint find(int kind, double a, double b, double c) {
    const double v[3] = {a, b, c};
    return tk_find_shape_list(kind, v, 3);
}

double* key_of(std::initializer_list<double> values) {
    double* k = new double[values.size()];
    int i = 0;
    for (double v : values)
        k[i++] = v;
    return k;
}

// The box between two corners as a reader of the toolkit's manual would draw it.
std::vector<Face> expected_box(double x0, double x1, double y0, double y1, double z0, double z1,
                               GLenum mode) {
    const double corner[8][3] = {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0},
                                 {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}};
    const int order[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4},
                             {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};
    const glrec::Vec3 normal[6] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0},
                                   {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<Face> faces(6);
    for (int f = 0; f < 6; ++f) {
        faces[f].mode = mode;
        for (int c : order[f]) {
            const double* p = corner[c];
            faces[f].vertices.push_back({normal[f], {p[0], p[1], p[2]}});
        }
    }
    return faces;
}

void expect_same(const glrec::Vec3& a, const glrec::Vec3& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

void expect_geometry(const std::vector<Face>& actual, const std::vector<Face>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t f = 0; f < actual.size(); ++f) {
        SCOPED_TRACE(::testing::Message() << "face " << f);
        EXPECT_EQ(actual[f].mode, expected[f].mode);
        ASSERT_EQ(actual[f].vertices.size(), expected[f].vertices.size());
        for (size_t v = 0; v < actual[f].vertices.size(); ++v) {
            expect_same(actual[f].vertices[v].normal, expected[f].vertices[v].normal);
            expect_same(actual[f].vertices[v].position, expected[f].vertices[v].position);
        }
    }
}

class ShapeCache : public ::testing::Test {
  protected:
    void SetUp() override { glrec::reset(); }
};

using SolidBox = ShapeCache;
using WireBox = ShapeCache;
using DrawBox = ShapeCache;

} // namespace

TEST_F(SolidBox, FirstCallCompilesAndDrawsTheBox) {
    const int before = chain_length(TK_SHAPE_SOLID_BOX);
    tk_solid_box(0.5, 0.5, 100.0);
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), before + 1);

    const auto gen = glrec::named("glGenLists");
    ASSERT_EQ(gen.size(), 1u);
    EXPECT_EQ(gen[0].args[0], 1);
    const auto open = glrec::named("glNewList");
    ASSERT_EQ(open.size(), 1u);
    const GLuint list = GLuint(open[0].args[0]);
    EXPECT_NE(list, 0u);
    EXPECT_EQ(open[0].args[1], GL_COMPILE_AND_EXECUTE);
    EXPECT_EQ(glrec::count("glEndList"), 1u);
    EXPECT_EQ(glrec::calls().back().name, "glEndList");
    EXPECT_EQ(find(TK_SHAPE_SOLID_BOX, 0.5, 0.5, 100.0), list);

    const auto faces = recorded_faces();
    expect_geometry(faces, expected_box(-0.25, 0.25, -0.25, 0.25, -50, 50, GL_QUADS));
    for (const Face& f : faces)
        EXPECT_EQ(f.compiling_list, list);

    // The second call replays the list and adds nothing.
    glrec::reset();
    tk_solid_box(0.5, 0.5, 100.0);
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), before + 1);
    ASSERT_EQ(glrec::names(), std::vector<std::string>{"glCallList"});
    EXPECT_EQ(glrec::calls()[0].args[0], list);
}

TEST_F(SolidBox, EveryLaterCallDrawsTheSameListForTheLifeOfTheProcess) {
    tk_solid_box(0.625, 0.5, 3.0);
    const GLuint list = find(TK_SHAPE_SOLID_BOX, 0.625, 0.5, 3.0);
    const int entries = chain_length(TK_SHAPE_SOLID_BOX);
    // Other sizes in between, as other callers would draw them, take nothing away.
    for (int i = 0; i < 50; ++i) {
        tk_solid_box(0.625, 0.5, 3.0);
        tk_solid_box(0.625, 0.5, 3.0 + i);
    }
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), entries + 49);
    EXPECT_EQ(glrec::count("glDeleteLists"), 0u);
    glrec::reset();
    tk_solid_box(0.625, 0.5, 3.0);
    ASSERT_EQ(glrec::names(), std::vector<std::string>{"glCallList"});
    EXPECT_EQ(glrec::calls()[0].args[0], list);
}

TEST_F(SolidBox, ValuesAreComparedExactly) {
    const int before = chain_length(TK_SHAPE_SOLID_BOX);
    tk_solid_box(0.5, 0.25, 7.0);
    tk_solid_box(0.50000001, 0.25, 7.0);
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), before + 2);
    EXPECT_EQ(glrec::count("glNewList"), 2u);
    EXPECT_NE(find(TK_SHAPE_SOLID_BOX, 0.5, 0.25, 7.0),
              find(TK_SHAPE_SOLID_BOX, 0.50000001, 0.25, 7.0));
}

TEST_F(SolidBox, NegativeWidthGetsItsOwnEntryAndTheSameGeometry) {
    const int before = chain_length(TK_SHAPE_SOLID_BOX);
    tk_solid_box(1, 1, 1);
    const auto positive = recorded_faces();
    glrec::reset();
    tk_solid_box(-1, 1, 1);
    const auto negative = recorded_faces();
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), before + 2);
    EXPECT_EQ(glrec::count("glNewList"), 1u);
    expect_geometry(negative, positive);
    expect_geometry(positive, expected_box(-0.5, 0.5, -0.5, 0.5, -0.5, 0.5, GL_QUADS));
}

TEST_F(WireBox, IsCachedApartFromTheSolidBox) {
    const int solid = chain_length(TK_SHAPE_SOLID_BOX);
    const int wire = chain_length(TK_SHAPE_WIRE_BOX);
    tk_solid_box(0.75, 2, 3);
    glrec::reset();
    tk_wire_box(0.75, 2, 3);
    EXPECT_EQ(chain_length(TK_SHAPE_SOLID_BOX), solid + 1);
    EXPECT_EQ(chain_length(TK_SHAPE_WIRE_BOX), wire + 1);
    EXPECT_EQ(glrec::count("glNewList"), 1u);
    expect_geometry(recorded_faces(), expected_box(-0.375, 0.375, -1, 1, -1.5, 1.5, GL_LINE_LOOP));

    glrec::reset();
    tk_wire_box(0.75, 2, 3);
    ASSERT_EQ(glrec::names(), std::vector<std::string>{"glCallList"});
    EXPECT_EQ(glrec::calls()[0].args[0], find(TK_SHAPE_WIRE_BOX, 0.75, 2, 3));
}

TEST_F(DrawBox, FacesRunCounterClockwiseSeenFromOutside) {
    tk_draw_box(-1, 2, -3, 4, -5, 6, GL_QUADS);
    const auto faces = recorded_faces();
    ASSERT_EQ(faces.size(), 6u);
    const glrec::Vec3 centre{0.5, 0.5, 0.5};
    for (const Face& f : faces) {
        ASSERT_EQ(f.vertices.size(), 4u);
        const glrec::Vec3 &a = f.vertices[0].position, &b = f.vertices[1].position,
                          &c = f.vertices[2].position, &n = f.vertices[0].normal;
        const glrec::Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - b.x, c.y - b.y, c.z - b.z};
        const glrec::Vec3 cross{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z,
                                u.x * v.y - u.y * v.x};
        EXPECT_GT(cross.x * n.x + cross.y * n.y + cross.z * n.z, 0);
        // The normal is a unit axis and points away from the centre.
        EXPECT_EQ(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 1);
        EXPECT_GT((a.x - centre.x) * n.x + (a.y - centre.y) * n.y + (a.z - centre.z) * n.z, 0);
        for (const Vertex& w : f.vertices)
            expect_same(w.normal, n);
    }
    expect_geometry(faces, expected_box(-1, 2, -3, 4, -5, 6, GL_QUADS));
}

TEST_F(DrawBox, OrdersEachPairOfCoordinates) {
    tk_draw_box(2, -1, 4, -3, 6, -5, GL_QUADS);
    expect_geometry(recorded_faces(), expected_box(-1, 2, -3, 4, -5, 6, GL_QUADS));
}

TEST_F(DrawBox, EachFaceIsItsOwnPrimitive) {
    tk_draw_box(0, 1, 0, 1, 0, 1, GL_LINE_LOOP);
    std::vector<std::string> face = {"glBegin"};
    for (int i = 0; i < 4; ++i)
        face.insert(face.end(), {"glNormal3d", "glVertex3d"});
    face.push_back("glEnd");
    std::vector<std::string> expected;
    for (int f = 0; f < 6; ++f)
        expected.insert(expected.end(), face.begin(), face.end());
    EXPECT_EQ(glrec::names(), expected);
}

TEST_F(ShapeCache, NewestEntryIsFoundFirst) {
    const GLuint older = tk_add_shape_list(5, key_of({1.5, 2.5, 3.5}), 3);
    const GLuint newer = tk_add_shape_list(5, key_of({1.5, 2.5, 3.5}), 3);
    EXPECT_NE(older, newer);
    EXPECT_EQ(find(5, 1.5, 2.5, 3.5), newer);
    EXPECT_EQ(tk_shape_lists[5]->list, newer);
    EXPECT_EQ(tk_shape_lists[5]->next->list, older);
    EXPECT_EQ(glrec::count("glGenLists"), 2u);
}

TEST_F(ShapeCache, LookupComparesOnlyTheValuesAskedFor) {
    const GLuint list = tk_add_shape_list(6, key_of({9.25, 8.25, 7.25}), 3);
    const double prefix[2] = {9.25, 8.25};
    EXPECT_EQ(tk_find_shape_list(6, prefix, 2), list);
    EXPECT_EQ(find(6, 9.25, 8.25, 7.0), 0u);
    EXPECT_EQ(find(7, 9.25, 8.25, 7.25), 0u);
}

TEST_F(ShapeCache, EntryWithFewerValuesNeverMatchesALongerKey) {
    tk_add_shape_list(8, key_of({4.75, 3.75}), 2);
    EXPECT_EQ(find(8, 4.75, 3.75, 0.0), 0u);
}

TEST_F(ShapeCache, UnknownKindsHoldNothing) {
    EXPECT_EQ(find(-1, 1, 1, 1), 0u);
    EXPECT_EQ(find(TK_SHAPE_KINDS, 1, 1, 1), 0u);
    EXPECT_EQ(tk_add_shape_list(TK_SHAPE_KINDS, key_of({1, 1, 1}), 3), 0u);
    EXPECT_EQ(glrec::count("glGenLists"), 0u);
}
