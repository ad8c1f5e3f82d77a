// Small modelling kit for the mesh generator: closed pieces (boxes with bevels, prisms,
// cylinders, lathes, sweeps, slabs, spheres) appended to one triangle mesh.
//
// Every face is wound counter-clockwise seen from outside: each helper knows a point inside
// the piece it is building and turns every triangle so that its normal points away from it.
// Flat faces get vertices of their own, so that a model drawn with averaged vertex normals
// keeps its hard edges; curved surfaces share their vertices so that they shade smoothly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct V3 {
    double x, y, z;
};

inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline V3 operator*(double s, V3 a) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(V3 a, V3 b);
V3 cross(V3 a, V3 b);
double length(V3 a);
V3 normalised(V3 a);

struct Mesh {
    std::vector<V3> vertices;
    std::vector<std::array<int32_t, 3>> triangles;
};

struct Bounds {
    V3 lo, hi;
};
Bounds bounds_of(const Mesh& m);
// The largest side of the bounding box.
double largest_extent(const Mesh& m);

int add_vertex(Mesh& m, V3 p);
// One triangle over existing vertices, turned so that its normal points away from `inside`.
void add_triangle_facing_out(Mesh& m, int a, int b, int c, V3 inside);
// A planar convex polygon with vertices of its own, fanned from its first corner.
void add_face(Mesh& m, const std::vector<V3>& corners, V3 inside);
// A planar convex polygon over existing vertices, fanned from its first corner.
void add_face_indices(Mesh& m, const std::vector<int>& corners, V3 inside);

// Appends `piece` to `m`.
void append(Mesh& m, const Mesh& piece);
// Maps every vertex from index `first` on through f (a rigid motion or a mirror-free map).
template <class F> void transform_from(Mesh& m, std::size_t first, F f) {
    for (std::size_t i = first; i < m.vertices.size(); ++i)
        m.vertices[i] = f(m.vertices[i]);
}

// A box with faces along the unit axes u, v, w (right-handed), half sizes h, its edges
// chamfered by `bevel` (0 for a plain box).
void add_oriented_box(Mesh& m, V3 centre, V3 u, V3 v, V3 w, V3 half, double bevel);
// An axis-aligned box from lo to hi.
void add_box(Mesh& m, V3 lo, V3 hi, double bevel = 0.0);
// A square beam of side `thickness` from p0 to p1; `up` picks the roll of its section.
void add_beam(Mesh& m, V3 p0, V3 p1, double thickness, V3 up);

// A straight prism: the convex polygon `outline` (coordinates along a and b, counter-clockwise
// or not) swept along c = a x b from d0 to d1, in the frame placed at origin.
void add_prism(Mesh& m, V3 origin, V3 a, V3 b, const std::vector<std::array<double, 2>>& outline,
               double d0, double d1);

// A cylinder of `sides` faces around the segment p0-p1; one side vertex points along `ref`.
void add_cylinder(Mesh& m, V3 p0, V3 p1, double radius, int sides, V3 ref);

// A surface of revolution. The profile runs in the (radius, height) half-plane with the solid
// on its left (counter-clockwise around the solid's section); a point with radius 0 closes the
// surface at the axis. A profile corner with `crease` set becomes a hard edge.
struct ProfilePoint {
    double r, h;
    int crease;
};
void add_lathe(Mesh& m, V3 origin, V3 axis, V3 ref, const std::vector<ProfilePoint>& profile,
               int segments);

// A closed section swept along a path in a plane. At each station the section's first
// coordinate runs along the in-plane normal (tangent x binormal) and its second along
// `binormal`; `scale` gives each station's section size (1 = as given). With `hard_sides`
// every side of the section gets its own vertices (a faceted beam); otherwise the sides share
// them (a rounded one). The ends are closed by flat caps.
void add_sweep(Mesh& m, const std::vector<V3>& path, V3 binormal,
               const std::vector<std::array<double, 2>>& section,
               const std::vector<std::array<double, 2>>& scale, int hard_sides);

// A slab whose top at y_top from (x0, z0) to (x1, z1) is a grid of nx by nz cells with shared
// vertices; its sides follow the grid's edge points and its bottom (at y_bottom) is fanned
// from its centre, so the solid is closed without a T-junction.
void add_grid_slab(Mesh& m, double x0, double x1, double z0, double z1, double y_top,
                   double y_bottom, int nx, int nz);

// A sphere of `slices` meridians and `stacks` bands whose poles lie along `pole_axis`.
void add_uv_sphere(Mesh& m, V3 centre, double radius, int slices, int stacks, V3 pole_axis);

// The unit icosphere after `levels` subdivisions, vertices shared.
Mesh make_icosphere(int levels);

// Deterministic generator (splitmix64) so that the files do not depend on the C library.
struct Rng {
    uint64_t state;
    uint64_t next();
    // Uniform in [0, 1).
    double uniform();
};
