// The mesh generator's modelling helpers, its ASC writer and its determinism.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "assets/asc_writer.h"
#include "assets/mesh_builder.h"
#include "assets/models.h"
#include "mesh/asc_model.h"

namespace {

const double kPi = 3.14159265358979323846;

// Signed volume enclosed by the triangles: positive when they face outwards.
double signed_volume(const Mesh& m) {
    double v = 0;
    for (auto t : m.triangles)
        v += dot(m.vertices[t[0]], cross(m.vertices[t[1]], m.vertices[t[2]])) / 6;
    return v;
}

// Every triangle's normal points away from `centre` (for pieces that are star-shaped around it).
bool all_face_away_from(const Mesh& m, V3 centre) {
    for (auto t : m.triangles) {
        V3 a = m.vertices[t[0]], b = m.vertices[t[1]], c = m.vertices[t[2]];
        if (dot(cross(b - a, c - a), (a + b + c) * (1.0 / 3) - centre) <= 0) return false;
    }
    return true;
}

bool every_vertex_used(const Mesh& m) {
    std::vector<int> used(m.vertices.size(), 0);
    for (auto t : m.triangles)
        for (int i : t)
            used[i] = 1;
    for (int u : used)
        if (!u) return false;
    return true;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string fresh_dir(const char* tag) {
    char templ[64];
    std::snprintf(templ, sizeof templ, "/tmp/meshes_%s_XXXXXX", tag);
    const char* d = mkdtemp(templ);
    return d ? d : "";
}

TEST(MeshBuilder, PlainBoxIsClosedOutwardWithItsVolume) {
    Mesh m;
    add_box(m, {1, 2, 3}, {3, 3, 7});
    EXPECT_EQ(m.triangles.size(), 12u);
    EXPECT_TRUE(all_face_away_from(m, {2, 2.5, 5}));
    EXPECT_NEAR(signed_volume(m), 2 * 1 * 4, 1e-9);
}

TEST(MeshBuilder, BevelledBoxLosesOnlyItsChamfers) {
    Mesh m;
    const double e = 0.1;
    add_box(m, {0, 0, 0}, {2, 2, 2}, e);
    EXPECT_EQ(m.triangles.size(), 44u);
    EXPECT_TRUE(all_face_away_from(m, {1, 1, 1}));
    // Twelve edge prisms of e*e/2 per unit length minus the corner overlap.
    double cut = 12 * (e * e / 2) * (2 - 2 * e) + 8 * (e * e * e - e * e * e / 6);
    EXPECT_NEAR(signed_volume(m), 8 - cut, 1e-9);
    EXPECT_NEAR(largest_extent(m), 2.0, 1e-12);
}

TEST(MeshBuilder, BeamRunsBetweenItsEnds) {
    Mesh m;
    add_beam(m, {0, 0, 0}, {3, 4, 0}, 0.2, {0, 0, 1});
    EXPECT_NEAR(signed_volume(m), 5 * 0.2 * 0.2, 1e-9);
    Bounds b = bounds_of(m);
    EXPECT_NEAR(b.lo.z, -0.1, 1e-9);
    EXPECT_NEAR(b.hi.z, 0.1, 1e-9);
}

TEST(MeshBuilder, CylinderHasThePolygonsVolumeAndAVertexAlongRef) {
    Mesh m;
    add_cylinder(m, {0, 0, 0}, {0, 2, 0}, 1.0, 8, {1, 0, 0});
    double polygon = 8 * 0.5 * std::sin(2 * kPi / 8);
    EXPECT_NEAR(signed_volume(m), polygon * 2, 1e-9);
    EXPECT_TRUE(all_face_away_from(m, {0, 1, 0}));
    Bounds b = bounds_of(m);
    EXPECT_NEAR(b.hi.x, 1.0, 1e-12);
    EXPECT_NEAR(b.lo.x, -1.0, 1e-12);
}

TEST(MeshBuilder, LatheOfATubeKeepsItsHoleAndFacesOutwards) {
    Mesh m;
    // A square section around the y axis: inner radius 1, outer 2, height 1.
    add_lathe(m, {0, 0, 0}, {0, 1, 0}, {1, 0, 0},
              {{1, 0, 1}, {2, 0, 1}, {2, 1, 1}, {1, 1, 1}, {1, 0, 1}}, 32);
    double ring = 32 * 0.5 * std::sin(2 * kPi / 32);
    EXPECT_NEAR(signed_volume(m), ring * (4 - 1) * 1, 1e-9);
    // The inner wall faces the axis.
    for (auto t : m.triangles) {
        V3 a = m.vertices[t[0]], b = m.vertices[t[1]], c = m.vertices[t[2]];
        V3 mid = (a + b + c) * (1.0 / 3);
        V3 n = cross(b - a, c - a);
        if (std::hypot(mid.x, mid.z) < 1.01 && std::fabs(n.y) < 1e-9) {
            EXPECT_LT(n.x * mid.x + n.z * mid.z, 0);
        }
    }
    EXPECT_TRUE(every_vertex_used(m));
}

TEST(MeshBuilder, LatheClosedAtTheAxisHasNoDegenerateTriangle) {
    Mesh m;
    add_lathe(m, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}, 12);
    EXPECT_EQ(m.triangles.size(), 12u + 24u + 12u);
    for (auto t : m.triangles) {
        V3 a = m.vertices[t[0]], b = m.vertices[t[1]], c = m.vertices[t[2]];
        EXPECT_GT(length(cross(b - a, c - a)), 1e-6);
    }
    EXPECT_GT(signed_volume(m), 0);
    EXPECT_TRUE(every_vertex_used(m));
}

TEST(MeshBuilder, SmoothLatheProfileSharesItsRings) {
    Mesh creased, smooth;
    std::vector<ProfilePoint> p = {{1, 0, 1}, {1, 1, 1}, {1, 2, 1}};
    add_lathe(creased, {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, p, 8);
    p[1].crease = 0;
    add_lathe(smooth, {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, p, 8);
    EXPECT_EQ(creased.vertices.size(), 4u * 8u);
    EXPECT_EQ(smooth.vertices.size(), 3u * 8u);
    EXPECT_EQ(creased.triangles.size(), smooth.triangles.size());
}

TEST(MeshBuilder, SweepAlongABendIsClosedAndOutward) {
    std::vector<V3> path;
    for (int i = 0; i <= 10; ++i) {
        double a = kPi * i / 20;
        path.push_back({std::cos(a), 0, std::sin(a)});
    }
    std::vector<std::array<double, 2>> section = {
        {0.1, 0.1}, {-0.1, 0.1}, {-0.1, -0.1}, {0.1, -0.1}};
    std::vector<std::array<double, 2>> scale(path.size(), {1, 1});
    for (int hard = 0; hard <= 1; ++hard) {
        Mesh m;
        add_sweep(m, path, {0, 1, 0}, section, scale, hard);
        EXPECT_EQ(m.triangles.size(), 10u * 4u * 2u + 4u);
        // A quarter torus of square section 0.2 around radius 1 (chords a little inside).
        EXPECT_NEAR(signed_volume(m), 0.04 * (kPi / 2) * 1.0, 0.04 * 0.02);
        EXPECT_TRUE(every_vertex_used(m));
    }
}

TEST(MeshBuilder, GridSlabIsClosedWithoutTJunctions) {
    Mesh m;
    add_grid_slab(m, -1, 1, -2, 2, 0, -0.1, 4, 8);
    EXPECT_NEAR(signed_volume(m), 2 * 4 * 0.1, 1e-9);
    EXPECT_TRUE(all_face_away_from(m, {0, -0.05, 0}));
    // Top cells, side quads along each grid edge, bottom fan to each rim point.
    EXPECT_EQ(m.triangles.size(), 4u * 8u * 2u + 2u * (4 + 8) * 2u + 2u * (4 + 8));
}

TEST(MeshBuilder, UvSphereIsRoundAndOutward) {
    Mesh m;
    add_uv_sphere(m, {1, 2, 3}, 0.5, 12, 6, {1, 0, 0});
    EXPECT_EQ(m.vertices.size(), 2u + 5u * 12u);
    EXPECT_EQ(m.triangles.size(), 2u * 12u + 4u * 12u * 2u);
    for (V3 v : m.vertices)
        EXPECT_NEAR(length(v - V3{1, 2, 3}), 0.5, 1e-12);
    EXPECT_TRUE(all_face_away_from(m, {1, 2, 3}));
    EXPECT_NEAR(largest_extent(m), 1.0, 1e-12);
}

TEST(MeshBuilder, IcosphereSubdividesIntoFours) {
    Mesh m = make_icosphere(2);
    EXPECT_EQ(m.vertices.size(), 162u);
    EXPECT_EQ(m.triangles.size(), 320u);
    for (V3 v : m.vertices)
        EXPECT_NEAR(length(v), 1.0, 1e-12);
    EXPECT_TRUE(all_face_away_from(m, {0, 0, 0}));
}

TEST(MeshBuilder, RngIsDeterministicAndInRange) {
    Rng a{42}, b{42}, c{43};
    double sum = 0;
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        double u = a.uniform();
        EXPECT_EQ(u, b.uniform());
        differs |= u != c.uniform();
        EXPECT_GE(u, 0.0);
        EXPECT_LT(u, 1.0);
        sum += u;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 1000, 0.5, 0.05);
}

// ---------------------------------------------------------------------------------------

Mesh one_triangle() {
    Mesh m;
    add_vertex(m, {-1.25, 0, 3});
    add_vertex(m, {2, -0.0000001, 0.5});
    add_vertex(m, {0, 4.125, -12.5});
    m.triangles.push_back({0, 1, 2});
    return m;
}

TEST(AscWriter, LabelsAreFollowedByABlankAndCIsNotLastOnItsLine) {
    std::string t = format_asc("tri", one_triangle());
    EXPECT_NE(t.find("Vertex 0:  X: -1.250000     Y: 0.000000     Z: 3.000000\n"),
              std::string::npos);
    EXPECT_NE(t.find("Vertex 1:  X: 2.000000     Y: 0.000000     Z: 0.500000\n"), std::string::npos)
        << "a value rounding to zero carries no sign";
    EXPECT_NE(t.find("Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n"), std::string::npos);
    EXPECT_NE(t.find("Vertices: 3     Faces: 1 \n"), std::string::npos);
}

TEST(AscWriter, RoundTripsThroughTheProgramsReader) {
    std::string dir = fresh_dir("roundtrip");
    ASSERT_FALSE(dir.empty());
    std::string path = dir + "/tri.asc";
    Mesh m = one_triangle();
    ASSERT_EQ(write_asc(path, "tri", m), 0);
    AscModel model;
    ASSERT_EQ(model.load(path.c_str()), 0) << model.load_error.text;
    ASSERT_EQ(model.vertex_count, 3);
    ASSERT_EQ(model.face_count, 1);
    // The reader divides by the largest side, 15.5 along z.
    double l = 15.5;
    EXPECT_NEAR(model.extent_z, l, 1e-5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(model.vertices[i].x * l, m.vertices[i].x, 1e-5);
        EXPECT_NEAR(model.vertices[i].y * l, m.vertices[i].y, 1e-5);
        EXPECT_NEAR(model.vertices[i].z * l, m.vertices[i].z, 1e-5);
    }
    EXPECT_EQ(model.triangles[0].a, 0);
    EXPECT_EQ(model.triangles[0].b, 1);
    EXPECT_EQ(model.triangles[0].c, 2);
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

TEST(AscWriter, ReportsAFileItCannotWrite) {
    EXPECT_EQ(write_asc("/nonexistent-folder/x.asc", "x", one_triangle()), 1);
}

// ---------------------------------------------------------------------------------------

TEST(MeshGenerator, TwoRunsWriteTheSameBytesAsTheBuildsFiles) {
    std::string a = fresh_dir("a"), b = fresh_dir("b");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(write_all_meshes(a), 0);
    ASSERT_EQ(write_all_meshes(b), 0);
    for (const MeshAsset& m : kMeshAssets) {
        std::string first = read_file(a + "/" + m.file);
        ASSERT_FALSE(first.empty()) << m.file;
        EXPECT_EQ(first, read_file(b + "/" + m.file)) << m.file;
        // The files beside the program (working folder) come from the same generator.
        EXPECT_EQ(first, read_file(m.file)) << m.file << " in the build folder is stale";
        std::remove((a + "/" + m.file).c_str());
        std::remove((b + "/" + m.file).c_str());
    }
    std::remove(a.c_str());
    std::remove(b.c_str());
}

TEST(MeshGenerator, CatalogueNamesInLoadOrder) {
    const char* expected[17] = {"grua1.asc",    "grua2.asc",    "pinza1.asc",  "pinza2.asc",
                                "pivote1.asc",  "pivote2.asc",  "suelo1.asc",  "suelo2.asc",
                                "cilindr1.asc", "cilindr2.asc", "piedra1.asc", "contene1.asc",
                                "contene2.asc", "camion1.asc",  "camion2.asc", "camion2p.asc",
                                "camion3.asc"};
    for (int i = 0; i < 17; ++i)
        EXPECT_STREQ(kMeshAssets[i].file, expected[i]);
}

TEST(MeshGenerator, ObjectNamesHoldNoReaderKeyword) {
    for (const MeshAsset& m : kMeshAssets) {
        std::string n = m.object;
        for (char& c : n)
            c = char(std::tolower((unsigned char)c));
        EXPECT_EQ(n.find("vertex"), std::string::npos) << m.object;
        EXPECT_EQ(n.find("face"), std::string::npos) << m.object;
    }
}

TEST(MeshGenerator, StoneReachesHalfAUnitOnlyAlongItsLength) {
    Mesh s = build_piedra1();
    double widest = 0;
    for (V3 v : s.vertices)
        widest = std::fmax(widest, length(v));
    EXPECT_NEAR(widest, 0.5, 1e-12);
    Bounds b = bounds_of(s);
    EXPECT_NEAR(b.hi.x - b.lo.x, 1.0, 1e-12);
    EXPECT_LT(b.hi.y - b.lo.y, 1.0);
    EXPECT_LT(b.hi.z - b.lo.z, 1.0);
    EXPECT_TRUE(all_face_away_from(s, {0, 0, 0}));
}

} // namespace
