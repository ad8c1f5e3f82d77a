#include "assets/mesh_builder.h"

#include <cmath>
#include <map>
#include <utility>

namespace {

const double kPi = 3.14159265358979323846;

// Newell's normal of a polygon: robust for any planar polygon, whatever corner comes first.
V3 polygon_normal(const std::vector<V3>& p) {
    V3 n{0, 0, 0};
    for (size_t i = 0; i < p.size(); ++i) {
        V3 a = p[i], b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

V3 centroid(const std::vector<V3>& p) {
    V3 c{0, 0, 0};
    for (V3 q : p)
        c = c + q;
    return c * (1.0 / double(p.size()));
}

// A unit vector perpendicular to `axis`, as close to `ref` as possible.
V3 perpendicular(V3 axis, V3 ref) {
    V3 r = ref - axis * dot(ref, axis);
    if (length(r) < 1e-9) {
        V3 alt = std::fabs(axis.x) < 0.9 ? V3{1, 0, 0} : V3{0, 1, 0};
        r = alt - axis * dot(alt, axis);
    }
    return normalised(r);
}

} // namespace

double dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(V3 a) {
    return std::sqrt(dot(a, a));
}
V3 normalised(V3 a) {
    double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}

Bounds bounds_of(const Mesh& m) {
    Bounds b{{0, 0, 0}, {0, 0, 0}};
    if (m.vertices.empty()) return b;
    b.lo = b.hi = m.vertices[0];
    for (V3 p : m.vertices) {
        b.lo = {std::fmin(b.lo.x, p.x), std::fmin(b.lo.y, p.y), std::fmin(b.lo.z, p.z)};
        b.hi = {std::fmax(b.hi.x, p.x), std::fmax(b.hi.y, p.y), std::fmax(b.hi.z, p.z)};
    }
    return b;
}

double largest_extent(const Mesh& m) {
    Bounds b = bounds_of(m);
    V3 e = b.hi - b.lo;
    return std::fmax(e.x, std::fmax(e.y, e.z));
}

int add_vertex(Mesh& m, V3 p) {
    m.vertices.push_back(p);
    return int(m.vertices.size()) - 1;
}

void add_triangle_facing_out(Mesh& m, int a, int b, int c, V3 inside) {
    V3 A = m.vertices[a], B = m.vertices[b], C = m.vertices[c];
    V3 n = cross(B - A, C - A);
    V3 mid = (A + B + C) * (1.0 / 3.0);
    if (dot(n, mid - inside) < 0) std::swap(b, c);
    m.triangles.push_back({a, b, c});
}

void add_face_indices(Mesh& m, const std::vector<int>& corners, V3 inside) {
    std::vector<V3> p;
    for (int i : corners)
        p.push_back(m.vertices[i]);
    bool flip = dot(polygon_normal(p), centroid(p) - inside) < 0;
    for (size_t i = 1; i + 1 < corners.size(); ++i) {
        if (flip)
            m.triangles.push_back({corners[0], corners[i + 1], corners[i]});
        else
            m.triangles.push_back({corners[0], corners[i], corners[i + 1]});
    }
}

void add_face(Mesh& m, const std::vector<V3>& corners, V3 inside) {
    std::vector<int> idx;
    for (V3 p : corners)
        idx.push_back(add_vertex(m, p));
    add_face_indices(m, idx, inside);
}

void append(Mesh& m, const Mesh& piece) {
    int base = int(m.vertices.size());
    m.vertices.insert(m.vertices.end(), piece.vertices.begin(), piece.vertices.end());
    for (auto t : piece.triangles)
        m.triangles.push_back({t[0] + base, t[1] + base, t[2] + base});
}

void add_oriented_box(Mesh& m, V3 c, V3 u, V3 v, V3 w, V3 h, double e) {
    // Corner point on the face across axis `axis` (0 u, 1 v, 2 w) for corner signs s.
    auto pt = [&](int axis, int sx, int sy, int sz) {
        double a = axis == 0 ? h.x : h.x - e;
        double b = axis == 1 ? h.y : h.y - e;
        double d = axis == 2 ? h.z : h.z - e;
        return c + u * (sx * a) + v * (sy * b) + w * (sz * d);
    };
    for (int s = -1; s <= 1; s += 2) {
        add_face(m, {pt(0, s, -1, -1), pt(0, s, 1, -1), pt(0, s, 1, 1), pt(0, s, -1, 1)}, c);
        add_face(m, {pt(1, -1, s, -1), pt(1, 1, s, -1), pt(1, 1, s, 1), pt(1, -1, s, 1)}, c);
        add_face(m, {pt(2, -1, -1, s), pt(2, 1, -1, s), pt(2, 1, 1, s), pt(2, -1, 1, s)}, c);
    }
    if (e <= 0) return;
    for (int s = -1; s <= 1; s += 2)
        for (int t = -1; t <= 1; t += 2) {
            add_face(m, {pt(0, s, t, -1), pt(0, s, t, 1), pt(1, s, t, 1), pt(1, s, t, -1)}, c);
            add_face(m, {pt(1, -1, s, t), pt(1, 1, s, t), pt(2, 1, s, t), pt(2, -1, s, t)}, c);
            add_face(m, {pt(0, s, -1, t), pt(0, s, 1, t), pt(2, s, 1, t), pt(2, s, -1, t)}, c);
        }
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2)
            for (int sz = -1; sz <= 1; sz += 2)
                add_face(m, {pt(0, sx, sy, sz), pt(1, sx, sy, sz), pt(2, sx, sy, sz)}, c);
}

void add_box(Mesh& m, V3 lo, V3 hi, double bevel) {
    V3 c = (lo + hi) * 0.5;
    V3 h = (hi - lo) * 0.5;
    add_oriented_box(m, c, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, h, bevel);
}

void add_beam(Mesh& m, V3 p0, V3 p1, double thickness, V3 up) {
    V3 u = normalised(p1 - p0);
    V3 v = perpendicular(u, up);
    V3 w = cross(u, v);
    double half = thickness * 0.5;
    add_oriented_box(m, (p0 + p1) * 0.5, u, v, w, {length(p1 - p0) * 0.5, half, half}, 0.0);
}

void add_prism(Mesh& m, V3 origin, V3 a, V3 b, const std::vector<std::array<double, 2>>& outline,
               double d0, double d1) {
    V3 c = normalised(cross(a, b));
    std::vector<V3> lo, hi;
    for (auto q : outline) {
        V3 p = origin + a * q[0] + b * q[1];
        lo.push_back(p + c * d0);
        hi.push_back(p + c * d1);
    }
    V3 inside = (centroid(lo) + centroid(hi)) * 0.5;
    add_face(m, lo, inside);
    add_face(m, hi, inside);
    size_t n = outline.size();
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        add_face(m, {lo[i], lo[j], hi[j], hi[i]}, inside);
    }
}

void add_cylinder(Mesh& m, V3 p0, V3 p1, double radius, int sides, V3 ref) {
    V3 axis = normalised(p1 - p0);
    V3 e1 = perpendicular(axis, ref);
    V3 e2 = cross(axis, e1);
    V3 inside = (p0 + p1) * 0.5;
    std::vector<int> r0, r1;
    std::vector<V3> c0, c1;
    for (int j = 0; j < sides; ++j) {
        double t = 2 * kPi * j / sides;
        V3 off = (e1 * std::cos(t) + e2 * std::sin(t)) * radius;
        r0.push_back(add_vertex(m, p0 + off));
        r1.push_back(add_vertex(m, p1 + off));
        c0.push_back(p0 + off);
        c1.push_back(p1 + off);
    }
    for (int j = 0; j < sides; ++j) {
        int k = (j + 1) % sides;
        add_triangle_facing_out(m, r0[j], r0[k], r1[k], inside);
        add_triangle_facing_out(m, r0[j], r1[k], r1[j], inside);
    }
    add_face(m, c0, inside);
    add_face(m, c1, inside);
}

void add_lathe(Mesh& m, V3 origin, V3 axis, V3 ref, const std::vector<ProfilePoint>& profile,
               int segments) {
    axis = normalised(axis);
    V3 e1 = perpendicular(axis, ref);
    V3 e2 = cross(axis, e1);
    auto radial = [&](int j) {
        double t = 2 * kPi * j / segments;
        return e1 * std::cos(t) + e2 * std::sin(t);
    };
    auto ring = [&](const ProfilePoint& p) {
        std::vector<int> r;
        if (p.r <= 0) {
            r.push_back(add_vertex(m, origin + axis * p.h));
            return r;
        }
        for (int j = 0; j < segments; ++j)
            r.push_back(add_vertex(m, origin + axis * p.h + radial(j) * p.r));
        return r;
    };
    auto at = [&](const std::vector<int>& r, int j) { return r.size() == 1 ? r[0] : r[j]; };
    std::vector<int> lower = ring(profile[0]);
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const ProfilePoint& p = profile[i];
        const ProfilePoint& q = profile[i + 1];
        std::vector<int> upper = ring(q);
        // The solid lies to the left of the profile's direction of travel.
        double dr = q.r - p.r, dh = q.h - p.h;
        double len = std::sqrt(dr * dr + dh * dh);
        double lr = -dh / len, lh = dr / len;
        for (int j = 0; j < segments; ++j) {
            int k = (j + 1) % segments;
            int a = at(lower, j), b = at(lower, k), c = at(upper, k), d = at(upper, j);
            V3 mid = (m.vertices[a] + m.vertices[b] + m.vertices[c] + m.vertices[d]) * 0.25;
            // A little way from the facet towards the solid.
            V3 inward = axis * lh + normalised(radial(j) + radial(k)) * lr;
            V3 inside = mid + inward * (0.05 * std::fmin(len, 1.0) + 1e-6);
            if (a != b) add_triangle_facing_out(m, a, b, c, inside);
            if (c != d) add_triangle_facing_out(m, a, c, d, inside);
        }
        if (i + 2 == profile.size()) break;
        lower = !q.crease && q.r > 0 ? upper : ring(q);
    }
}

void add_sweep(Mesh& m, const std::vector<V3>& path, V3 binormal,
               const std::vector<std::array<double, 2>>& section,
               const std::vector<std::array<double, 2>>& scale, int hard_sides) {
    size_t n = path.size(), k = section.size();
    V3 bn = normalised(binormal);
    std::vector<V3> tangent(n), normal(n);
    for (size_t i = 0; i < n; ++i) {
        V3 d = path[i + 1 < n ? i + 1 : i] - path[i > 0 ? i - 1 : i];
        tangent[i] = normalised(d);
        normal[i] = normalised(cross(tangent[i], bn));
    }
    auto point = [&](size_t i, size_t s) {
        return path[i] + normal[i] * (section[s][0] * scale[i][0]) +
               bn * (section[s][1] * scale[i][1]);
    };
    // Column of vertices for corner s as used by side `side`.
    std::vector<std::vector<int>> column;
    auto make_column = [&](size_t s) {
        std::vector<int> col;
        for (size_t i = 0; i < n; ++i)
            col.push_back(add_vertex(m, point(i, s)));
        return col;
    };
    std::vector<std::vector<int>> shared;
    if (!hard_sides)
        for (size_t s = 0; s < k; ++s)
            shared.push_back(make_column(s));
    for (size_t s = 0; s < k; ++s) {
        size_t t = (s + 1) % k;
        std::vector<int> ca = hard_sides ? make_column(s) : shared[s];
        std::vector<int> cb = hard_sides ? make_column(t) : shared[t];
        for (size_t i = 0; i + 1 < n; ++i) {
            V3 inside = (path[i] + path[i + 1]) * 0.5;
            add_triangle_facing_out(m, ca[i], cb[i], cb[i + 1], inside);
            add_triangle_facing_out(m, ca[i], cb[i + 1], ca[i + 1], inside);
        }
    }
    std::vector<V3> start, end;
    for (size_t s = 0; s < k; ++s) {
        start.push_back(point(0, s));
        end.push_back(point(n - 1, s));
    }
    double step0 = length(path[1] - path[0]) * 0.1;
    double step1 = length(path[n - 1] - path[n - 2]) * 0.1;
    add_face(m, start, path[0] + tangent[0] * step0);
    add_face(m, end, path[n - 1] - tangent[n - 1] * step1);
}

void add_grid_slab(Mesh& m, double x0, double x1, double z0, double z1, double y_top,
                   double y_bottom, int nx, int nz) {
    V3 inside{(x0 + x1) * 0.5, (y_top + y_bottom) * 0.5, (z0 + z1) * 0.5};
    auto gx = [&](int i) { return x0 + (x1 - x0) * i / nx; };
    auto gz = [&](int j) { return z0 + (z1 - z0) * j / nz; };
    std::vector<int> top((nx + 1) * (nz + 1));
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= nx; ++i)
            top[j * (nx + 1) + i] = add_vertex(m, {gx(i), y_top, gz(j)});
    for (int j = 0; j < nz; ++j)
        for (int i = 0; i < nx; ++i) {
            int a = top[j * (nx + 1) + i], b = top[j * (nx + 1) + i + 1];
            int c = top[(j + 1) * (nx + 1) + i + 1], d = top[(j + 1) * (nx + 1) + i];
            add_triangle_facing_out(m, a, b, c, inside);
            add_triangle_facing_out(m, a, c, d, inside);
        }
    // The rim, once around: the edge points of the grid in order.
    std::vector<std::array<double, 2>> rim;
    for (int i = 0; i < nx; ++i)
        rim.push_back({gx(i), z0});
    for (int j = 0; j < nz; ++j)
        rim.push_back({x1, gz(j)});
    for (int i = nx; i > 0; --i)
        rim.push_back({gx(i), z1});
    for (int j = nz; j > 0; --j)
        rim.push_back({x0, gz(j)});
    size_t n = rim.size();
    for (size_t s = 0; s < n; ++s) {
        auto p = rim[s], q = rim[(s + 1) % n];
        add_face(m,
                 {{p[0], y_top, p[1]},
                  {q[0], y_top, q[1]},
                  {q[0], y_bottom, q[1]},
                  {p[0], y_bottom, p[1]}},
                 inside);
    }
    int centre = add_vertex(m, {inside.x, y_bottom, inside.z});
    std::vector<int> ring;
    for (auto p : rim)
        ring.push_back(add_vertex(m, {p[0], y_bottom, p[1]}));
    for (size_t s = 0; s < n; ++s)
        add_triangle_facing_out(m, centre, ring[s], ring[(s + 1) % n], inside);
}

void add_uv_sphere(Mesh& m, V3 centre, double radius, int slices, int stacks, V3 pole_axis) {
    V3 a = normalised(pole_axis);
    V3 e1 = perpendicular(a, {0, 1, 0});
    V3 e2 = cross(a, e1);
    int top = add_vertex(m, centre + a * radius);
    std::vector<std::vector<int>> rings;
    for (int i = 1; i < stacks; ++i) {
        double phi = kPi * i / stacks;
        std::vector<int> r;
        for (int j = 0; j < slices; ++j) {
            double t = 2 * kPi * j / slices;
            V3 dir = a * std::cos(phi) + (e1 * std::cos(t) + e2 * std::sin(t)) * std::sin(phi);
            r.push_back(add_vertex(m, centre + dir * radius));
        }
        rings.push_back(r);
    }
    int bottom = add_vertex(m, centre - a * radius);
    for (int j = 0; j < slices; ++j) {
        int k = (j + 1) % slices;
        add_triangle_facing_out(m, top, rings.front()[j], rings.front()[k], centre);
        add_triangle_facing_out(m, bottom, rings.back()[k], rings.back()[j], centre);
        for (size_t i = 0; i + 1 < rings.size(); ++i) {
            add_triangle_facing_out(m, rings[i][j], rings[i + 1][j], rings[i + 1][k], centre);
            add_triangle_facing_out(m, rings[i][j], rings[i + 1][k], rings[i][k], centre);
        }
    }
}

Mesh make_icosphere(int levels) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    Mesh m;
    const double base[12][3] = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
                                {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
                                {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (auto& b : base)
        add_vertex(m, normalised({b[0], b[1], b[2]}));
    std::vector<std::array<int32_t, 3>> faces = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int l = 0; l < levels; ++l) {
        std::map<std::pair<int, int>, int> midpoints;
        auto mid = [&](int a, int b) {
            std::pair<int, int> key(std::min(a, b), std::max(a, b));
            auto it = midpoints.find(key);
            if (it != midpoints.end()) return it->second;
            int i = add_vertex(m, normalised((m.vertices[a] + m.vertices[b]) * 0.5));
            midpoints[key] = i;
            return i;
        };
        std::vector<std::array<int32_t, 3>> next;
        for (auto f : faces) {
            int ab = mid(f[0], f[1]), bc = mid(f[1], f[2]), ca = mid(f[2], f[0]);
            next.push_back({f[0], ab, ca});
            next.push_back({f[1], bc, ab});
            next.push_back({f[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        faces = next;
    }
    for (auto f : faces)
        add_triangle_facing_out(m, f[0], f[1], f[2], {0, 0, 0});
    return m;
}

uint64_t Rng::next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}
