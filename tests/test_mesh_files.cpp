// The seventeen generated mesh files, read from the build folder through the program's own
// reader: that each is a sound closed mesh, and that each lands where the scene's transforms
// put it (tower on the ground, stone between the jaws and on the truck's deck, wheels on the
// ground, container under the stone's fall, triangle budget per frame).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/asc_model.h"

namespace {

const double kPi = 3.14159265358979323846;

struct P3 {
    double x, y, z;
};
P3 operator+(P3 a, P3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
P3 operator-(P3 a, P3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
P3 operator*(P3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(P3 a, P3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
P3 cross(P3 a, P3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(P3 a) {
    return std::sqrt(dot(a, a));
}

// A 4x4 transform built like the GL matrix stack: each call multiplies on the right.
struct Xform {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    Xform& mul(const double r[4][4]) {
        double out[4][4] = {};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k)
                    out[i][j] += m[i][k] * r[k][j];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                m[i][j] = out[i][j];
        return *this;
    }
    Xform& translate(double x, double y, double z) {
        const double r[4][4] = {{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}};
        return mul(r);
    }
    Xform& scale(double s) {
        const double r[4][4] = {{s, 0, 0, 0}, {0, s, 0, 0}, {0, 0, s, 0}, {0, 0, 0, 1}};
        return mul(r);
    }
    // glRotate: degrees about a unit axis, counter-clockwise looking down the axis.
    Xform& rotate(double deg, double x, double y, double z) {
        double c = std::cos(deg * kPi / 180), s = std::sin(deg * kPi / 180), t = 1 - c;
        const double r[4][4] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y, 0},
                                {t * x * y + s * z, t * y * y + c, t * y * z - s * x, 0},
                                {t * x * z - s * y, t * y * z + s * x, t * z * z + c, 0},
                                {0, 0, 0, 1}};
        return mul(r);
    }
    P3 apply(P3 p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
};

// A mesh as positions and triangles, in whatever frame it was carried to.
struct Soup {
    std::vector<P3> p;
    std::vector<std::array<int, 3>> t;
};

Soup placed(const AscModel& m, const Xform& x) {
    Soup s;
    for (int i = 0; i < m.vertex_count; ++i)
        s.p.push_back(x.apply({m.vertices[i].x, m.vertices[i].y, m.vertices[i].z}));
    for (int i = 0; i < m.face_count; ++i)
        s.t.push_back({m.triangles[i].a, m.triangles[i].b, m.triangles[i].c});
    return s;
}

double largest_side(const AscModel& m) {
    return std::fmax(m.extent_x, std::fmax(m.extent_y, m.extent_z));
}

// The model back in the units of its file (the reader divided them by the largest side).
Soup file_units(const AscModel& m) {
    return placed(m, Xform().scale(largest_side(m)));
}

P3 lowest(const Soup& s) {
    P3 lo = s.p[0];
    for (P3 q : s.p)
        if (q.y < lo.y) lo = q;
    return lo;
}

std::array<double, 2> range_of(const Soup& s, double P3::*axis) {
    std::array<double, 2> r{s.p[0].*axis, s.p[0].*axis};
    for (P3 q : s.p) {
        r[0] = std::fmin(r[0], q.*axis);
        r[1] = std::fmax(r[1], q.*axis);
    }
    return r;
}

// Distances along a ray (unit direction) to every triangle it crosses.
std::vector<double> ray_hits(const Soup& s, P3 origin, P3 dir) {
    std::vector<double> hits;
    for (auto t : s.t) {
        P3 a = s.p[t[0]], b = s.p[t[1]], c = s.p[t[2]];
        P3 e1 = b - a, e2 = c - a, h = cross(dir, e2);
        double det = dot(e1, h);
        if (std::fabs(det) < 1e-12) continue;
        P3 d = origin - a;
        double u = dot(d, h) / det;
        P3 q = cross(d, e1);
        double v = dot(dir, q) / det;
        if (u < 0 || v < 0 || u + v > 1) continue;
        double dist = dot(e2, q) / det;
        if (dist > 0) hits.push_back(dist);
    }
    return hits;
}

// Closest point of triangle abc to p (Ericson, Real-Time Collision Detection, 5.1.5).
P3 closest_on_triangle(P3 p, P3 a, P3 b, P3 c) {
    P3 ab = b - a, ac = c - a, ap = p - a;
    double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    P3 bp = p - b;
    double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + ab * (d1 / (d1 - d3));
    P3 cp = p - c;
    double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + ac * (d2 / (d2 - d6));
    double va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    double denom = 1 / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

double distance_to(const Soup& s, P3 p) {
    double best = 1e30;
    for (auto t : s.t)
        best = std::fmin(best, norm(p - closest_on_triangle(p, s.p[t[0]], s.p[t[1]], s.p[t[2]])));
    return best;
}

Soup merged(const std::vector<Soup>& parts) {
    Soup all;
    for (const Soup& s : parts) {
        int base = int(all.p.size());
        all.p.insert(all.p.end(), s.p.begin(), s.p.end());
        for (auto t : s.t)
            all.t.push_back({t[0] + base, t[1] + base, t[2] + base});
    }
    return all;
}

struct Asset {
    const char* file;
    double scale; // what the scene draws it at
    int smooth;   // drawn with vertex normals
};

const Asset kAssets[17] = {
    {"grua1.asc", 25, 1},     {"grua2.asc", 25, 1},   {"pinza1.asc", 1, 1},
    {"pinza2.asc", 1, 1},     {"pivote1.asc", 1, 1},  {"pivote2.asc", 1, 1},
    {"suelo1.asc", 1, 1},     {"suelo2.asc", 1, 1},   {"cilindr1.asc", 30, 1},
    {"cilindr2.asc", 30, 1},  {"piedra1.asc", 1, 0},  {"contene1.asc", 20, 0},
    {"contene2.asc", 20, 1},  {"camion1.asc", 11, 0}, {"camion2.asc", 6.5, 0},
    {"camion2p.asc", 6.5, 1}, {"camion3.asc", 1, 1},
};

void PrintTo(const Asset& a, std::ostream* os) {
    *os << a.file;
}

class MeshFiles : public ::testing::TestWithParam<Asset> {
  public:
    static void SetUpTestSuite() {
        if (!models().empty()) return;
        for (const Asset& a : kAssets) {
            auto m = std::make_unique<AscModel>();
            int failed = m->load(a.file);
            EXPECT_EQ(failed, 0) << a.file << ": " << m->load_error.text;
            models()[a.file] = std::move(m);
        }
    }
    static std::map<std::string, std::unique_ptr<AscModel>>& models() {
        static std::map<std::string, std::unique_ptr<AscModel>> m;
        return m;
    }
    static const AscModel& model(const std::string& file) {
        SetUpTestSuite();
        return *models().at(file);
    }
    static std::string text_of(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

// The record indices named in the file after `keyword ` (as the generator writes them).
std::vector<int> record_indices(const std::string& text, const std::string& keyword) {
    std::vector<int> out;
    std::string key = "\n" + keyword + " ";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        size_t p = at + key.size();
        if (p < text.size() && std::isdigit((unsigned char)text[p]))
            out.push_back(std::atoi(text.c_str() + p));
    }
    return out;
}

void expect_each_index_once(const std::vector<int>& got, int count, const char* what) {
    ASSERT_EQ(int(got.size()), count) << what << " records";
    std::vector<int> seen(count, 0);
    for (int i : got) {
        ASSERT_GE(i, 0);
        ASSERT_LT(i, count);
        seen[i]++;
    }
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(seen[i], 1) << what << " " << i;
}

TEST_P(MeshFiles, HeaderCountsMatchOneRecordPerIndex) {
    const AscModel& m = model(GetParam().file);
    std::string text = text_of(GetParam().file);
    ASSERT_GT(m.vertex_count, 0);
    ASSERT_GT(m.face_count, 0);
    expect_each_index_once(record_indices(text, "Vertex"), m.vertex_count, "vertex");
    expect_each_index_once(record_indices(text, "Face"), m.face_count, "face");
}

TEST_P(MeshFiles, EveryIndexInRangeAndEveryVertexUsed) {
    const AscModel& m = model(GetParam().file);
    std::vector<int> uses(m.vertex_count, 0);
    for (int i = 0; i < m.face_count; ++i) {
        for (int32_t v : {m.triangles[i].a, m.triangles[i].b, m.triangles[i].c}) {
            ASSERT_GE(v, 0) << "triangle " << i;
            ASSERT_LT(v, m.vertex_count) << "triangle " << i;
            uses[v]++;
        }
    }
    for (int v = 0; v < m.vertex_count; ++v)
        EXPECT_GT(uses[v], 0) << "vertex " << v << " is used by no triangle";
}

TEST_P(MeshFiles, NoDegenerateTriangle) {
    const AscModel& m = model(GetParam().file);
    for (int i = 0; i < m.face_count; ++i) {
        const Vector3& n = *m.face_normals[i];
        EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-4) << "triangle " << i;
    }
}

TEST_P(MeshFiles, LargestSideIsTheScaleTheSceneDrawsItAt) {
    const AscModel& m = model(GetParam().file);
    EXPECT_NEAR(largest_side(m), GetParam().scale, 2e-6 * GetParam().scale);
}

// Every edge is met once in each direction (after merging coincident corners), so every part
// is closed and its triangles agree on a side; a positive volume per part then says that side
// is the outside.
TEST_P(MeshFiles, EveryPartIsClosedAndFacesOutwards) {
    Soup s = file_units(model(GetParam().file));
    double q = 1e4 / GetParam().scale;
    std::map<std::array<long long, 3>, int> ids;
    std::vector<int> id(s.p.size());
    for (size_t i = 0; i < s.p.size(); ++i) {
        std::array<long long, 3> k{std::llround(s.p[i].x * q), std::llround(s.p[i].y * q),
                                   std::llround(s.p[i].z * q)};
        id[i] = ids.emplace(k, int(ids.size())).first->second;
    }
    std::map<std::pair<int, int>, int> edges;
    std::vector<int> parent(ids.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = int(i);
    auto root = [&](int x) {
        while (parent[x] != x)
            x = parent[x] = parent[parent[x]];
        return x;
    };
    for (auto t : s.t)
        for (int k = 0; k < 3; ++k) {
            int a = id[t[k]], b = id[t[(k + 1) % 3]];
            edges[{a, b}]++;
            parent[root(a)] = root(b);
        }
    int open = 0;
    for (auto& e : edges)
        if (edges.count({e.first.second, e.first.first}) == 0 ||
            edges[{e.first.second, e.first.first}] != e.second)
            open++;
    EXPECT_EQ(open, 0) << "edges without a matching opposite edge";
    std::map<int, double> volume;
    for (auto t : s.t) {
        P3 a = s.p[t[0]], b = s.p[t[1]], c = s.p[t[2]];
        volume[root(id[t[0]])] += dot(a, cross(b, c)) / 6;
    }
    for (auto& v : volume)
        EXPECT_GT(v.second, 0) << "a part is inside out";
}

// A vertex normal is the mean of its faces' normals: models drawn with vertex normals must
// not share a vertex across a sharp edge, or the edge would be smeared.
class SmoothMeshFiles : public MeshFiles {};

TEST_P(SmoothMeshFiles, ShareNoVertexAcrossASharpEdge) {
    const AscModel& m = model(GetParam().file);
    std::vector<std::vector<int>> faces_of(m.vertex_count);
    for (int i = 0; i < m.face_count; ++i)
        for (int32_t v : {m.triangles[i].a, m.triangles[i].b, m.triangles[i].c})
            faces_of[v].push_back(i);
    double limit = std::cos(60 * kPi / 180);
    int sharp = 0;
    for (int v = 0; v < m.vertex_count; ++v)
        for (size_t i = 0; i < faces_of[v].size(); ++i)
            for (size_t j = i + 1; j < faces_of[v].size(); ++j) {
                const Vector3& a = *m.face_normals[faces_of[v][i]];
                const Vector3& b = *m.face_normals[faces_of[v][j]];
                if (a.x * b.x + a.y * b.y + a.z * b.z < limit) sharp++;
            }
    EXPECT_EQ(sharp, 0);
}

std::string asset_name(const ::testing::TestParamInfo<Asset>& i) {
    std::string n = i.param.file;
    return n.substr(0, n.find('.'));
}

std::vector<Asset> smooth_assets() {
    std::vector<Asset> out;
    for (const Asset& a : kAssets)
        if (a.smooth) out.push_back(a);
    return out;
}

INSTANTIATE_TEST_SUITE_P(All, MeshFiles, ::testing::ValuesIn(kAssets), asset_name);
INSTANTIATE_TEST_SUITE_P(All, SmoothMeshFiles, ::testing::ValuesIn(smooth_assets()), asset_name);

// ---------------------------------------------------------------------------------------
// Placement, with the scene's own transforms.

class MeshPlacement : public ::testing::Test {
  protected:
    static const AscModel& m(const char* file) { return MeshFiles::model(file); }

    // The crane held at its lowest (frames 75 to 124) with the spring still at rest: the
    // spring hangs 2 x 4 below (15, 0, 0) of the crane frame with its axis 1 further out.
    static Xform pincer_frame(double lift) {
        Xform x;
        x.translate(0, lift, 0).translate(0, 25, 0).translate(15, 0, 0);
        x.translate(1, -8, 0).rotate(90, 1, 0, 0).scale(3);
        return x;
    }
    static double lowest_lift() {
        float step = float((15.0 - 4.0) / 75.0);
        double lift = 0;
        for (int i = 0; i < 75; ++i)
            lift -= step;
        return lift;
    }
    static Soup stone_in(Xform pincer) {
        return placed(m("piedra1.asc"),
                      pincer.translate(0, 0, 0.4).translate(0, 0, 0.7).scale(0.7));
    }
    static Soup jaws(Xform pincer, const char* file, double angle) {
        std::vector<Soup> parts;
        pincer.translate(0, 0, 0.4);
        for (int k = 0; k < 4; ++k) {
            Xform j = pincer;
            parts.push_back(placed(m(file), j.rotate(angle, 0, 1, 0)));
            pincer.rotate(90, 0, 0, 1);
        }
        return merged(parts);
    }
    static Xform truck_frame(double truck_z) {
        Xform x;
        x.translate(0, 0, truck_z).translate(14.5, -0.5, 0).translate(1, 0, 0);
        return x;
    }
    static Xform container_frame() {
        Xform x;
        x.rotate(-90, 1, 0, 0).translate(-15, 0, 3).rotate(-90, 0, 0, 1).scale(20);
        return x;
    }
};

TEST_F(MeshPlacement, TowerStandsOnTheGroundThirtyHighAroundTheAxis) {
    for (const char* f : {"cilindr1.asc", "cilindr2.asc"}) {
        Soup s = placed(m(f), Xform().scale(30));
        auto y = range_of(s, &P3::y);
        EXPECT_NEAR(y[0], 0.0, 1e-4) << f;
        EXPECT_NEAR(y[1], 30.0, 1e-4) << f;
        double widest = 0, above_foot = 0;
        for (P3 q : s.p) {
            double r = std::hypot(q.x, q.z);
            widest = std::fmax(widest, r);
            if (q.y > 1.0) above_foot = std::fmax(above_foot, r);
        }
        EXPECT_GT(above_foot, 0.7) << f;
        EXPECT_LT(above_foot, 0.88) << f << ": the jib's collar slides over it";
        EXPECT_LT(widest, 2.5) << f << ": hidden in the footing";
    }
}

TEST_F(MeshPlacement, FootingStandsOnTheGroundAroundTheTower) {
    for (const char* f : {"pivote1.asc", "pivote2.asc"}) {
        Soup s = placed(m(f), Xform().rotate(-90, 1, 0, 0).scale(5));
        auto y = range_of(s, &P3::y);
        EXPECT_NEAR(y[0], 0.0, 1e-4) << f;
        EXPECT_NEAR(y[1], 2.0, 1e-4) << f;
        auto x = range_of(s, &P3::x);
        EXPECT_NEAR(x[0], -2.5, 1e-4) << f;
        EXPECT_NEAR(x[1], 2.5, 1e-4) << f;
    }
}

TEST_F(MeshPlacement, JibLeavesTheTowerFreeAndCarriesTheSpringAtItsTrolley) {
    for (const char* f : {"grua1.asc", "grua2.asc"}) {
        Soup s = placed(m(f), Xform().scale(25));
        auto x = range_of(s, &P3::x);
        EXPECT_NEAR(x[1], 18.0, 1e-3) << f << ": tip beyond the spring";
        EXPECT_LT(x[0], -5.0) << f << ": counter-jib";
        // No face comes within the tower's radius of the axis (sampled over each triangle).
        double closest = 1e30;
        for (auto t : s.t)
            for (int i = 0; i <= 6; ++i)
                for (int j = 0; i + j <= 6; ++j) {
                    P3 q = s.p[t[0]] + (s.p[t[1]] - s.p[t[0]]) * (i / 6.0) +
                           (s.p[t[2]] - s.p[t[0]]) * (j / 6.0);
                    closest = std::fmin(closest, std::hypot(q.x, q.z));
                }
        EXPECT_GT(closest, 0.8) << f;
        // Straight above the spring's top (x = 16 on its axis) the trolley's underside.
        std::vector<double> up = ray_hits(s, {16, -1, 0}, {0, 1, 0});
        ASSERT_FALSE(up.empty()) << f;
        double underside = -1 + *std::min_element(up.begin(), up.end());
        EXPECT_GE(underside, -0.02) << f;
        EXPECT_LE(underside, 0.3) << f;
    }
}

TEST_F(MeshPlacement, HookBlockHangsBetweenSpringEndAndJaws) {
    for (const char* f : {"pivote1.asc", "pivote2.asc"}) {
        Soup s = placed(m(f), Xform());
        auto z = range_of(s, &P3::z);
        EXPECT_NEAR(z[0], 0.0, 1e-5) << f;
        EXPECT_NEAR(z[1], 0.4, 1e-5) << f;
        auto x = range_of(s, &P3::x), y = range_of(s, &P3::y);
        EXPECT_NEAR(x[0] + x[1], 0.0, 1e-5) << f << ": centred on the axis";
        EXPECT_NEAR(y[0] + y[1], 0.0, 1e-5) << f;
    }
}

class JawFit : public MeshPlacement, public ::testing::WithParamInterface<const char*> {
  protected:
    // The jaws' nearest approach to the stone's centre, in the pincer frame.
    static double jaw_gap(double angle) {
        return distance_to(jaws(Xform(), GetParam(), angle), {0, 0, 1.1});
    }
    static double stone_radius() {
        Soup s = stone_in(Xform());
        double r = 0;
        for (P3 q : s.p)
            r = std::fmax(r, norm(q - P3{0, 0, 1.1}));
        return r;
    }
};

TEST_P(JawFit, ClosedJawsHugTheStoneWithoutCuttingIt) {
    double r = stone_radius();
    EXPECT_NEAR(r, 0.35, 1e-4);
    double gap = jaw_gap(-15);
    EXPECT_GE(gap, r);
    EXPECT_LE(gap, r + 0.05);
}

TEST_P(JawFit, ClosedClawsReachBelowTheStonesMiddle) {
    Soup j = jaws(Xform(), GetParam(), -15);
    EXPECT_GT(range_of(j, &P3::z)[1], 1.1 + 0.1);
    EXPECT_LT(range_of(j, &P3::z)[1], 1.1 + 0.35) << "not below the stone";
}

TEST_P(JawFit, OpenJawsClearTheStone) {
    EXPECT_GE(jaw_gap(-60), stone_radius() + 0.1);
}

// Only the hinge knuckles may tuck into the block's underside.
TEST_P(JawFit, JawsHangBelowTheHookBlock) {
    for (double angle : {-15.0, -60.0})
        EXPECT_GE(range_of(jaws(Xform(), GetParam(), angle), &P3::z)[0], 0.4 - 0.04);
}

INSTANTIATE_TEST_SUITE_P(BothVariants, JawFit, ::testing::Values("pinza1.asc", "pinza2.asc"),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                             std::string n = i.param;
                             return n.substr(0, n.find('.'));
                         });

// While the crane is down and the truck waits at z = 0, the stone that the jaws close on lies
// on the truck's deck: not in it and not above it by more than a little.
TEST_F(MeshPlacement, StoneRestsOnTheTrucksDeckBelowTheLoweredHook) {
    Soup deck = placed(m("camion1.asc"), truck_frame(0).scale(11));
    for (double lift : {lowest_lift(), lowest_lift() + (15.0 - 4.0) / 75.0}) {
        Soup stone = stone_in(pincer_frame(lift));
        double least = 1e30;
        for (P3 q : stone.p) {
            std::vector<double> down = ray_hits(deck, q, {0, -1, 0});
            std::vector<double> up = ray_hits(deck, q, {0, 1, 0});
            EXPECT_EQ(up.size() % 2, 0u) << "a stone point lies inside the truck";
            if (!down.empty())
                least = std::fmin(least, *std::min_element(down.begin(), down.end()));
        }
        EXPECT_GE(least, 0.0);
        EXPECT_LE(least, 0.3) << "the stone floats above the deck";
    }
    // The hook's axis (scene x = 16, z = 0) meets the deck.
    EXPECT_FALSE(ray_hits(deck, {16, 10, 0}, {0, -1, 0}).empty());
}

// The eye (0, 13, 34) must see the jaws close on the stone: nothing of the truck waiting at
// z = 0 lies between it and the stone's centre or the hook block.
TEST_F(MeshPlacement, EyeSeesTheStoneOnTheDeckPastTheCab) {
    const P3 eye{0, 13, 34};
    Xform pincer = pincer_frame(lowest_lift());
    P3 targets[2] = {pincer.apply({0, 0, 1.1}), pincer.apply({0, 0, 0.2})};
    for (const char* f : {"camion1.asc", "camion2.asc", "camion2p.asc"}) {
        Soup truck = placed(m(f), truck_frame(0).scale(f[6] == '1' ? 11 : 6.5));
        for (P3 t : targets) {
            P3 d = eye - t;
            EXPECT_TRUE(ray_hits(truck, t, d * (1 / norm(d))).empty()) << f;
        }
    }
}

TEST_F(MeshPlacement, ClosedJawsStayOutOfTheTruck) {
    Soup deck = placed(m("camion1.asc"), truck_frame(0).scale(11));
    for (const char* f : {"pinza1.asc", "pinza2.asc"}) {
        Soup j = jaws(pincer_frame(lowest_lift()), f, -15);
        for (P3 q : j.p)
            EXPECT_EQ(ray_hits(deck, q, {0, 1, 0}).size() % 2, 0u) << f;
    }
}

TEST_F(MeshPlacement, WheelsTouchTheGround) {
    const double wheel[4][3] = {{-3, 1.85, -2.5}, {-3, 1.85, 7.5}, {3, 1.85, 7.5}, {3, 1.85, -2.5}};
    for (auto& w : wheel) {
        Soup s = placed(m("camion3.asc"), truck_frame(0).translate(w[0], w[1], w[2]).scale(3));
        EXPECT_NEAR(lowest(s).y, 0.0, 0.3);
    }
}

TEST_F(MeshPlacement, TruckBodyKeepsClearOfTheGround) {
    EXPECT_GT(lowest(placed(m("camion1.asc"), truck_frame(0).scale(11))).y, 0.2);
    for (const char* f : {"camion2.asc", "camion2p.asc"})
        EXPECT_GT(lowest(placed(m(f), truck_frame(0).scale(6.5))).y, 0.2) << f;
}

TEST_F(MeshPlacement, CabSitsInFrontOfTheDeckAndBehindTheHeadlamps) {
    Soup body = placed(m("camion1.asc"), Xform().scale(11));
    double deck_front = -1e30;
    for (P3 q : body.p)
        if (q.y > 2.2) deck_front = std::fmax(deck_front, q.z);
    for (const char* f : {"camion2.asc", "camion2p.asc"}) {
        Soup cab = placed(m(f), Xform().scale(6.5));
        auto z = range_of(cab, &P3::z);
        EXPECT_GE(z[0], deck_front) << f;
        EXPECT_LT(z[1], 10.5 + 0.5) << f << ": the headlamps stand out in front";
        EXPECT_GT(z[1], 10.5 - 0.5) << f << ": the headlamps sit on it";
    }
}

TEST_F(MeshPlacement, ContainerStandsOnTheGroundOpenUnderTheStonesFall) {
    for (const char* f : {"contene1.asc", "contene2.asc"}) {
        Soup s = placed(m(f), container_frame());
        EXPECT_NEAR(lowest(s).y, 0.0, 1e-3) << f;
        // Looking down at x = -16, z = 0 the first thing met is the floor, near the ground.
        std::vector<double> down = ray_hits(s, {-16, 30, 0}, {0, -1, 0});
        ASSERT_FALSE(down.empty()) << f;
        double floor = 30 - *std::min_element(down.begin(), down.end());
        EXPECT_GE(floor, 0.0) << f;
        EXPECT_LT(floor, 1.0) << f;
        // Walls all round, far enough out for the falling stone (radius 1.05) to pass.
        P3 inside{-16, floor + 1.0, 0};
        for (P3 dir : {P3{1, 0, 0}, P3{-1, 0, 0}, P3{0, 0, 1}, P3{0, 0, -1}}) {
            std::vector<double> h = ray_hits(s, inside, dir);
            ASSERT_FALSE(h.empty()) << f;
            EXPECT_GT(*std::min_element(h.begin(), h.end()), 1.2) << f;
        }
        // The walls rise well above the floor.
        EXPECT_GT(range_of(s, &P3::y)[1], floor + 2.5) << f;
    }
}

TEST_F(MeshPlacement, GroundStripTopIsTheGround) {
    for (const char* f : {"suelo1.asc", "suelo2.asc"}) {
        Soup s = placed(m(f), Xform());
        auto y = range_of(s, &P3::y), x = range_of(s, &P3::x), z = range_of(s, &P3::z);
        EXPECT_NEAR(y[1], 0.0, 1e-6) << f;
        EXPECT_LT(y[0], 0.0) << f;
        EXPECT_GT(y[0], -0.05) << f << ": a thin slab";
        EXPECT_NEAR(x[0], -0.5, 1e-6) << f;
        EXPECT_NEAR(x[1], 0.5, 1e-6) << f;
        EXPECT_NEAR(z[0], -0.5, 1e-6) << f;
        EXPECT_NEAR(z[1], 0.5, 1e-6) << f;
    }
    int top1 = 0, top2 = 0;
    for (int i = 0; i < m("suelo1.asc").vertex_count; ++i)
        top1 += m("suelo1.asc").vertices[i].y == 0.0f;
    for (int i = 0; i < m("suelo2.asc").vertex_count; ++i)
        top2 += m("suelo2.asc").vertices[i].y == 0.0f;
    EXPECT_GE(top2, 20 * top1) << "the detailed strip is finely divided";
}

TEST_F(MeshPlacement, SphereIsCentredWithDiameterOne) {
    const AscModel& s = m("camion3.asc");
    for (int i = 0; i < s.vertex_count; ++i) {
        const Vector3& v = s.vertices[i];
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.5, 1e-5);
    }
    EXPECT_NEAR(s.extent_x, 1.0, 1e-6);
    EXPECT_NEAR(s.extent_y, 1.0, 1e-6);
    EXPECT_NEAR(s.extent_z, 1.0, 1e-6);
}

// ---------------------------------------------------------------------------------------
// Triangles per frame: camion3 drawn eleven times, a jaw four times, the pivot twice, the
// first ground strip twice (three times with the plain variants).

int faces(const char* f) {
    return MeshFiles::model(f).face_count;
}

int frame_triangles(int variant2) {
    auto pick = [&](const char* two, const char* one) { return faces(variant2 ? two : one); };
    return pick("grua2.asc", "grua1.asc") + 2 * pick("pivote2.asc", "pivote1.asc") +
           4 * pick("pinza2.asc", "pinza1.asc") + pick("suelo2.asc", "suelo1.asc") +
           pick("cilindr2.asc", "cilindr1.asc") + pick("contene2.asc", "contene1.asc") +
           pick("camion2p.asc", "camion2.asc") + 2 * faces("suelo1.asc") + faces("piedra1.asc") +
           faces("camion1.asc") + 11 * faces("camion3.asc");
}

TEST(MeshBudget, DetailedFrameStaysWithinTheRasterisersBudget) {
    int t = frame_triangles(1);
    std::printf("triangles per frame: detailed %d, plain %d\n", t, frame_triangles(0));
    EXPECT_GE(t, 6000);
    EXPECT_LE(t, 15000);
}

TEST(MeshBudget, PlainFrameIsAtMostAQuarterOfTheDetailedOne) {
    EXPECT_LE(4 * frame_triangles(0), frame_triangles(1));
}

TEST(MeshBudget, EveryDetailedVariantHasMoreTrianglesThanItsPlainOne) {
    const char* pairs[7][2] = {{"grua2.asc", "grua1.asc"},       {"pinza2.asc", "pinza1.asc"},
                               {"pivote2.asc", "pivote1.asc"},   {"suelo2.asc", "suelo1.asc"},
                               {"cilindr2.asc", "cilindr1.asc"}, {"contene2.asc", "contene1.asc"},
                               {"camion2p.asc", "camion2.asc"}};
    for (auto& p : pairs)
        EXPECT_GT(faces(p[0]), 3 * faces(p[1])) << p[0];
}

} // namespace
