#include "assets/models.h"

#include <cmath>
#include <cstdio>

#include "assets/asc_writer.h"

namespace {

const double kPi = 3.14159265358979323846;
double rad(double deg) {
    return deg * kPi / 180.0;
}

const V3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

// ---------------------------------------------------------------------------------------
// Pincer jaw. Jaw frame: hinge at the origin, finger hanging along +z, swung about y by the
// jaw angle. The finger's claw is an arc around where the stone's centre sits when the jaws
// are closed, so that the four fingers hug it; opening swings the claws 45 degrees away.

const double kJawClosedDeg = -15.0;
const double kStoneDepth = 0.7;   // below the hinge, in the pincer frame
const double kStoneRadius = 0.35; // largest extent 1 drawn at 0.7

struct JawStyle {
    double half_thickness, half_width;
    int leg_stations, arc_stations;
    int hard_sides; // faceted beam (low detail) or rounded one
    int hinge_boss;
};

Mesh jaw_with_tip_at(const JawStyle& s, double end_deg) {
    // The stone's centre in the jaw's own frame when the jaws are closed.
    double a = rad(-kJawClosedDeg);
    V3 centre{kStoneDepth * std::sin(a), 0, kStoneDepth * std::cos(a)};
    double arc_radius = kStoneRadius + 0.015 + s.half_thickness;
    const double start_deg = 215.0;
    V3 hinge{0, 0, 0.05};
    V3 arc_start = centre + V3{std::cos(rad(start_deg)), 0, std::sin(rad(start_deg))} * arc_radius;
    std::vector<V3> path;
    for (int i = 0; i < s.leg_stations; ++i)
        path.push_back(hinge + (arc_start - hinge) * (double(i) / s.leg_stations));
    for (int i = 0; i < s.arc_stations; ++i) {
        double deg = start_deg + (end_deg - start_deg) * i / (s.arc_stations - 1);
        path.push_back(centre + V3{std::cos(rad(deg)), 0, std::sin(rad(deg))} * arc_radius);
    }
    std::vector<std::array<double, 2>> section;
    double t = s.half_thickness, w = s.half_width;
    if (s.hard_sides)
        section = {{t, w}, {-t, w}, {-t, -w}, {t, -w}};
    else
        for (int k = 0; k < 12; ++k)
            section.push_back({t * std::cos(rad(30.0 * k)), w * std::sin(rad(30.0 * k))});
    // Full section along the finger, tapering over the last stations of the claw.
    std::vector<std::array<double, 2>> scale(path.size(), {1.0, 1.0});
    size_t n = path.size();
    const double taper[5] = {0.5, 0.68, 0.82, 0.92, 0.98};
    size_t tapered = s.hard_sides ? 2 : 5;
    for (size_t k = 0; k < tapered && k < n; ++k)
        scale[n - 1 - k] = {taper[k], taper[k]};
    Mesh m;
    add_sweep(m, path, kY, section, scale, s.hard_sides);
    if (s.hinge_boss) add_cylinder(m, {0, -0.07, 0.05}, {0, 0.07, 0.05}, 0.05, 12, {0, 0, -1});
    return m;
}

// The claw's end angle that makes the finger exactly one unit long along z.
Mesh build_jaw(const JawStyle& s) {
    double lo = 100.0, hi = 200.0; // a longer claw (smaller angle) reaches further down
    for (int i = 0; i < 60; ++i) {
        double mid = 0.5 * (lo + hi);
        Bounds b = bounds_of(jaw_with_tip_at(s, mid));
        if (b.hi.z - b.lo.z > 1.0)
            lo = mid;
        else
            hi = mid;
    }
    Mesh m = jaw_with_tip_at(s, hi);
    // Land on exactly one unit along z (the search leaves a rounding-sized gap).
    Bounds b = bounds_of(m);
    double top = b.lo.z, factor = 1.0 / (b.hi.z - b.lo.z);
    transform_from(m, 0, [&](V3 p) { return V3{p.x, p.y, top + (p.z - top) * factor}; });
    return m;
}

// ---------------------------------------------------------------------------------------
// Container: modelled in scene axes around its place on the ground at x = -16, z = 0, then
// carried into the frame the scene draws it in (a quarter turn about x, one about z, origin
// at scene (-15, 3, 0)), where scene (x, y, z) is file (z, x + 15, y - 3).

void container_to_file_frame(Mesh& m) {
    transform_from(m, 0, [](V3 p) { return V3{p.z, p.x + 15.0, p.y - 3.0}; });
}

} // namespace

// ---------------------------------------------------------------------------------------
// Crane jib, in the crane frame: origin on the tower's axis at jib height, jib along +x, the
// spring hanging from (15, 0, 0) with its axis at x = 16, tip at x = 18, counterweight back
// to x = -7; a collar leaves the tower (radius 0.75) free.

Mesh build_grua2() {
    Mesh m;
    // Slewing collar around the tower, with chamfered edges.
    add_lathe(m, {0, 0, 0}, kY, kX,
              {{0.95, -0.6, 1},
               {1.45, -0.6, 1},
               {1.5, -0.55, 1},
               {1.5, 0.85, 1},
               {1.45, 0.9, 1},
               {0.95, 0.9, 1},
               {0.9, 0.85, 1},
               {0.9, -0.55, 1},
               {0.95, -0.6, 1}},
              24);
    // Triangular lattice jib: two bottom chords, one top chord, verticals and diagonals.
    const double x0 = 1.4, x_tip = 18.0;
    add_box(m, {x0, 0.48, 0.48}, {x_tip, 0.62, 0.62});
    add_box(m, {x0, 0.48, -0.62}, {x_tip, 0.62, -0.48});
    add_box(m, {x0, 2.13, -0.07}, {x_tip, 2.27, 0.07});
    const int panels = 11;
    const double first = 1.5, last = 17.9;
    auto bl = [&](double x) { return V3{x, 0.55, 0.55}; };
    auto br = [&](double x) { return V3{x, 0.55, -0.55}; };
    auto tp = [&](double x) { return V3{x, 2.2, 0}; };
    for (int i = 0; i <= panels; ++i) {
        double x = first + (last - first) * i / panels;
        add_beam(m, bl(x), tp(x), 0.08, kX);
        add_beam(m, br(x), tp(x), 0.08, kX);
        add_beam(m, bl(x), br(x), 0.08, kX);
        if (i == panels) break;
        double xn = first + (last - first) * (i + 1) / panels;
        add_beam(m, bl(x), tp(xn), 0.07, kZ);
        add_beam(m, br(xn), tp(x), 0.07, kZ);
        add_beam(m, bl(x), br(xn), 0.07, kY);
    }
    // Counter-jib: side beams, walkway, railings and their posts.
    add_box(m, {-7.0, 0.3, 0.55}, {-1.2, 0.6, 0.75});
    add_box(m, {-7.0, 0.3, -0.75}, {-1.2, 0.6, -0.55});
    add_box(m, {-5.2, 0.25, -0.55}, {-1.2, 0.35, 0.55});
    for (int s = -1; s <= 1; s += 2) {
        add_box(m, {-5.2, 1.1, s * 0.78 - 0.03}, {-1.2, 1.16, s * 0.78 + 0.03});
        for (double x : {-1.5, -3.3, -5.1})
            add_beam(m, {x, 0.6, s * 0.78}, {x, 1.13, s * 0.78}, 0.05, kX);
    }
    // Counterweight slabs.
    for (int k = 0; k < 3; ++k)
        add_box(m, {-7.0, -1.4 + 0.8 * k, -0.8}, {-5.3, -0.62 + 0.8 * k, 0.8}, 0.06);
    // Cathead: four posts around the tower, a square top frame and crossed braces.
    const double p = 1.05, h = 0.09;
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2)
            add_box(m, {sx * p - h, 0.9, sz * p - h}, {sx * p + h, 4.5, sz * p + h});
    for (int s = -1; s <= 1; s += 2) {
        add_box(m, {-p - h, 4.5, s * p - h}, {p + h, 4.7, s * p + h});
        add_box(m, {s * p - h, 4.5, -p + h}, {s * p + h, 4.7, p - h});
        add_beam(m, {s * p, 1.0, -p}, {s * p, 4.4, p}, 0.06, kX);
        add_beam(m, {s * p, 1.0, p}, {s * p, 4.4, -p}, 0.06, kX);
        add_beam(m, {-p, 1.0, s * p}, {p, 4.4, s * p}, 0.06, kZ);
        add_beam(m, {p, 1.0, s * p}, {-p, 4.4, s * p}, 0.06, kZ);
    }
    // Ties from the cathead to the jib and to the counter-jib's end.
    add_beam(m, {p, 4.6, 0}, {12.0, 2.27, 0}, 0.05, kZ);
    add_beam(m, {-p, 4.6, 0}, {-6.6, 0.6, 0.65}, 0.05, kY);
    add_beam(m, {-p, 4.6, 0}, {-6.6, 0.6, -0.65}, 0.05, kY);
    // Operator's cab beside the collar, under the jib.
    add_box(m, {1.6, -1.3, 0.75}, {3.2, 0.35, 2.1}, 0.12);
    // Trolley over x = 16: body, side plates and wheels running on the bottom chords.
    add_box(m, {15.0, 0.0, -0.75}, {17.0, 0.4, 0.75}, 0.05);
    for (int s = -1; s <= 1; s += 2) {
        add_box(m, {15.2, 0.4, s * 0.73 - 0.03}, {16.8, 0.85, s * 0.73 + 0.03});
        for (double x : {15.4, 16.6})
            add_cylinder(m, {x, 0.74, s * 0.42}, {x, 0.74, s * 0.68}, 0.12, 10, kY);
    }
    return m;
}

Mesh build_grua1() {
    Mesh m;
    add_prism(m, {0, 0, 0}, kZ, kY, {{-0.55, 0.48}, {0.55, 0.48}, {0, 2.27}}, -18.0, -1.4);
    add_box(m, {-7.0, 0.3, -0.75}, {-1.2, 0.6, 0.75});
    add_box(m, {-7.0, -1.4, -0.8}, {-5.3, 1.0, 0.8});
    // Collar: four blocks around the tower.
    for (int s = -1; s <= 1; s += 2) {
        add_box(m, {s > 0 ? 0.9 : -1.5, -0.6, -1.5}, {s > 0 ? 1.5 : -0.9, 0.9, 1.5});
        add_box(m, {-0.9, -0.6, s > 0 ? 0.9 : -1.5}, {0.9, 0.9, s > 0 ? 1.5 : -0.9});
    }
    for (int s = -1; s <= 1; s += 2)
        add_box(m, {s * 1.05 - 0.09, 0.9, -0.09}, {s * 1.05 + 0.09, 4.7, 0.09});
    add_beam(m, {1.05, 4.6, 0}, {12.0, 2.27, 0}, 0.06, kZ);
    add_beam(m, {-1.05, 4.6, 0}, {-6.6, 0.6, 0}, 0.06, kZ);
    add_box(m, {15.0, 0.0, -0.75}, {17.0, 0.45, 0.75});
    add_box(m, {1.6, -1.3, 0.75}, {3.2, 0.35, 2.1});
    return m;
}

// ---------------------------------------------------------------------------------------

Mesh build_pinza2() {
    return build_jaw({0.035, 0.05, 4, 16, 0, 1});
}
Mesh build_pinza1() {
    return build_jaw({0.035, 0.05, 1, 5, 1, 0});
}

// Hook block / tower footing: a sheave-like disc on the +z axis from z = 0 to 0.4, one unit
// across.
Mesh build_pivote2() {
    Mesh m;
    add_lathe(m, {0, 0, 0}, kZ, kX,
              {{0, 0, 1},
               {0.2, 0, 1},
               {0.24, 0.03, 1},
               {0.24, 0.06, 1},
               {0.42, 0.08, 1},
               {0.5, 0.12, 1},
               {0.5, 0.16, 1},
               {0.46, 0.18, 1},
               {0.46, 0.22, 1},
               {0.5, 0.24, 1},
               {0.5, 0.32, 1},
               {0.44, 0.37, 1},
               {0.3, 0.38, 1},
               {0.28, 0.4, 1},
               {0, 0.4, 1}},
              20);
    return m;
}

Mesh build_pivote1() {
    Mesh m;
    add_cylinder(m, {0, 0, 0}, {0, 0, 0.4}, 0.5, 8, kX);
    return m;
}

// Ground strip: top at y = 0, one unit square, a thin slab below.
Mesh build_suelo1() {
    Mesh m;
    add_box(m, {-0.5, -0.02, -0.5}, {0.5, 0.0, 0.5});
    return m;
}

// Finely divided so that per-vertex lighting and fog change smoothly along the stretched strip.
Mesh build_suelo2() {
    Mesh m;
    add_grid_slab(m, -0.5, 0.5, -0.5, 0.5, 0.0, -0.02, 10, 50);
    return m;
}

// Tower: a column on the y axis from the ground to 30, with flanged section joints.
Mesh build_cilindr2() {
    std::vector<ProfilePoint> p = {{0, 0, 1}, {0.95, 0, 1}, {0.95, 0.25, 1}, {0.78, 0.4, 1}};
    const double r = 0.75;
    double y = 0.45;
    for (double joint : {6.0, 12.0, 18.0, 24.0, 29.55}) {
        // Shaft up to the joint in bands a couple of units long, for smooth lighting.
        p.push_back({r, y, 1});
        int bands = int(std::ceil((joint - 0.15 - y) / 2.2));
        for (int b = 1; b < bands; ++b)
            p.push_back({r, y + (joint - 0.15 - y) * b / bands, 0});
        if (joint > 29) {
            p.push_back({r, joint - 0.05, 1});
            p.push_back({0.84, joint, 1});
            p.push_back({0.84, 29.85, 1});
            p.push_back({0.7, 30.0, 1});
            p.push_back({0, 30.0, 1});
            break;
        }
        p.push_back({r, joint - 0.15, 1});
        p.push_back({0.84, joint - 0.08, 1});
        p.push_back({0.84, joint + 0.08, 1});
        y = joint + 0.15;
    }
    Mesh m;
    add_lathe(m, {0, 0, 0}, kY, kX, p, 24);
    return m;
}

Mesh build_cilindr1() {
    Mesh m;
    add_cylinder(m, {0, 0, 0}, {0, 30, 0}, 0.75, 8, kX);
    return m;
}

// Stone: a sphere chipped by a few planes, with a little noise; drawn flat, so the chips read
// as facets. The two points on the x axis stay at full radius, so that the stone is exactly
// one unit long and nothing of it reaches further than half a unit from its centre.
Mesh build_piedra1() {
    Mesh m = make_icosphere(2);
    Rng rng{20240611};
    struct Cut {
        V3 n;
        double h;
    };
    std::vector<Cut> cuts;
    while (cuts.size() < 9) {
        V3 n{rng.uniform() * 2 - 1, rng.uniform() * 2 - 1, rng.uniform() * 2 - 1};
        double l = length(n);
        if (l < 0.2 || l > 1.0) continue;
        n = n * (1.0 / l);
        if (std::fabs(n.x) > 0.45) continue;
        cuts.push_back({n, 0.8 + 0.12 * rng.uniform()});
    }
    for (V3& v : m.vertices) {
        double noise = rng.uniform();
        if (std::fabs(v.x) > 0.9999) {
            v = V3{v.x > 0 ? 0.5 : -0.5, 0, 0};
            continue;
        }
        double r = 1.0;
        for (const Cut& c : cuts) {
            double d = dot(v, c.n);
            if (d > 0) r = std::fmin(r, c.h / d);
        }
        r *= 1.0 - 0.05 * noise;
        v = V3{v.x * r * 0.5, v.y * r * 0.46, v.z * r * 0.48};
    }
    // Keep every face turned outwards after the reshaping.
    for (auto& t : m.triangles) {
        V3 a = m.vertices[t[0]], b = m.vertices[t[1]], c = m.vertices[t[2]];
        if (dot(cross(b - a, c - a), a + b + c) < 0) std::swap(t[1], t[2]);
    }
    return m;
}

// Open-top container, 20 long along the scene's z, 8 wide across x = -16, 4.5 high.
Mesh build_contene2() {
    Mesh m;
    const double e = 0.06;
    const double x0 = -19.85, x1 = -12.15, z0 = -9.85, z1 = 9.85, wall = 0.4, top = 4.5;
    // Skids, floor, walls.
    add_box(m, {-19.2, 0.0, z0}, {-18.6, 0.25, z1}, 0.05);
    add_box(m, {-13.4, 0.0, z0}, {-12.8, 0.25, z1}, 0.05);
    add_box(m, {x0, 0.25, z0}, {x1, 0.6, z1}, e);
    add_box(m, {x0, 0.6, z0}, {x0 + wall, top, z1}, e);
    add_box(m, {x1 - wall, 0.6, z0}, {x1, top, z1}, e);
    add_box(m, {x0 + wall, 0.6, z0}, {x1 - wall, top, z0 + wall}, e);
    add_box(m, {x0 + wall, 0.6, z1 - wall}, {x1 - wall, top, z1}, e);
    // A lip around the top edge, proud of the walls.
    add_box(m, {-20.0, 4.2, -10.0}, {x0 + wall, 4.55, 10.0}, e);
    add_box(m, {x1 - wall, 4.2, -10.0}, {-12.0, 4.55, 10.0}, e);
    add_box(m, {x0 + wall, 4.2, -10.0}, {x1 - wall, 4.55, z0 + wall}, e);
    add_box(m, {x0 + wall, 4.2, z1 - wall}, {x1 - wall, 4.55, 10.0}, e);
    // Stiffening ribs on the outside.
    for (double z : {-6.0, -2.0, 2.0, 6.0}) {
        add_box(m, {-20.0, 0.6, z - 0.12}, {x0, 4.2, z + 0.12}, 0.03);
        add_box(m, {x1, 0.6, z - 0.12}, {-12.0, 4.2, z + 0.12}, 0.03);
    }
    for (double x : {-17.5, -14.5}) {
        add_box(m, {x - 0.12, 0.6, -10.0}, {x + 0.12, 4.2, z0}, 0.03);
        add_box(m, {x - 0.12, 0.6, z1}, {x + 0.12, 4.2, 10.0}, 0.03);
    }
    container_to_file_frame(m);
    return m;
}

Mesh build_contene1() {
    Mesh m;
    add_box(m, {-20, 0, -10}, {-12, 0.4, 10});
    add_box(m, {-20, 0.4, -10}, {-19.6, 4.5, 10});
    add_box(m, {-12.4, 0.4, -10}, {-12, 4.5, 10});
    add_box(m, {-19.6, 0.4, -10}, {-12.4, 4.5, -9.6});
    add_box(m, {-19.6, 0.4, 9.6}, {-12.4, 4.5, 10});
    container_to_file_frame(m);
    return m;
}

// ---------------------------------------------------------------------------------------
// Truck, in the truck frame: ground at y = 0.5, front towards +z, wheels (drawn apart) at
// x = +-3, y = 1.85, z = -2.5 and 7.5, headlamps at z = 10.5. The deck's top sits just under
// the stone when the truck waits at z = 0 below the hook (truck x = 0.5, z = 0).

Mesh build_camion1() {
    Mesh m;
    const double deck = 2.2; // the deck's top: just under the stone held by the lowered hook
    // Chassis rails, cross members, rear axle, fuel tank, rear bumper.
    add_box(m, {-1.3, 1.3, -4.7}, {-0.9, deck - 0.2, 6.3});
    add_box(m, {0.9, 1.3, -4.7}, {1.3, deck - 0.2, 6.3});
    for (double z : {-4.4, 0.5, 3.0, 5.8})
        add_box(m, {-0.9, 1.4, z - 0.15}, {0.9, 1.8, z + 0.15});
    add_box(m, {-2.0, 1.65, -2.7}, {2.0, 2.05, -2.3});
    add_cylinder(m, {-1.9, 1.35, 0.5}, {-1.9, 1.35, 3.0}, 0.35, 12, kY);
    add_box(m, {-2.4, 1.1, -4.7}, {2.4, 1.5, -4.5}, 0.04);
    // Deck with drop sides, tailboard, headboard and arches over the rear wheels.
    add_box(m, {-2.3, deck - 0.2, -4.6}, {2.3, deck, 6.2}, 0.04);
    add_box(m, {-2.3, deck, -4.6}, {-2.1, deck + 0.6, 6.0}, 0.03);
    add_box(m, {2.1, deck, -4.6}, {2.3, deck + 0.6, 6.0}, 0.03);
    add_box(m, {-2.1, deck, -4.6}, {2.1, deck + 0.6, -4.4}, 0.03);
    add_box(m, {-2.3, deck, 6.0}, {2.3, deck + 2.5, 6.2}, 0.04);
    add_box(m, {-2.1, deck, -4.1}, {-1.45, deck + 1.35, -0.9}, 0.1);
    add_box(m, {1.45, deck, -4.1}, {2.1, deck + 1.35, -0.9}, 0.1);
    return m;
}

// The cab, between the deck's headboard and the headlamps (z 6.6 to 10.6): short enough,
// and narrow enough on the viewer's side, that the eye sees the stone on the deck past it;
// the truck's own light (0, 7, 10) stands above the bonnet in front of the windscreen.
const std::vector<std::array<double, 2>> kCabinSide = {
    {6.6, 4.4}, {9.0, 4.4}, {8.5, 7.3}, {6.6, 7.3}};

Mesh build_camion2p() {
    Mesh m;
    add_box(m, {-2.3, 1.9, 6.6}, {2.3, 4.4, 10.2}, 0.2);
    add_prism(m, {0, 0, 0}, kZ, kY, kCabinSide, -2.2, 2.2);
    add_box(m, {-2.25, 7.3, 6.6}, {2.25, 7.5, 8.6}, 0.08);
    add_box(m, {-2.6, 1.75, 10.2}, {3.3, 2.2, 10.6}, 0.08);
    for (int k = 0; k < 5; ++k)
        add_box(m, {-1.6, 2.6 + 0.3 * k, 10.2}, {1.6, 2.75 + 0.3 * k, 10.3});
    for (int s = -1; s <= 1; s += 2) {
        add_beam(m, {s * 2.2, 5.8, 9.0}, {s * 2.7, 5.8, 9.0}, 0.06, kY);
        add_box(m, {s > 0 ? 2.65 : -2.8, 5.3, 8.9}, {s > 0 ? 2.8 : -2.65, 6.2, 9.1}, 0.03);
        add_box(m, {s > 0 ? 2.3 : -2.5, 2.0, 7.0}, {s > 0 ? 2.5 : -2.3, 2.15, 7.8}, 0.03);
    }
    // Exhaust stack on the far side, from the axle's height up.
    add_cylinder(m, {2.45, 1.6, 6.8}, {2.45, 8.1, 6.8}, 0.15, 12, kX);
    add_box(m, {-2.2, 1.6, 7.3}, {2.2, 2.0, 7.7});
    return m;
}

Mesh build_camion2() {
    Mesh m;
    add_box(m, {-2.3, 1.9, 6.6}, {2.3, 4.4, 10.2});
    add_prism(m, {0, 0, 0}, kZ, kY, kCabinSide, -2.2, 2.2);
    add_box(m, {-2.6, 1.75, 10.2}, {3.3, 2.2, 10.6});
    add_box(m, {2.35, 1.6, 6.7}, {2.55, 8.1, 6.9});
    return m;
}

// Sphere of diameter 1. Its poles lie along x, so that the flattened sky objects, which are
// seen along that axis, show the round equator as their outline.
Mesh build_camion3() {
    Mesh m;
    add_uv_sphere(m, {0, 0, 0}, 0.5, 12, 6, kX);
    return m;
}

// ---------------------------------------------------------------------------------------

const MeshAsset kMeshAssets[17] = {
    {"grua1.asc", "grua1", 25.0, build_grua1},
    {"grua2.asc", "grua2", 25.0, build_grua2},
    {"pinza1.asc", "pinza1", 1.0, build_pinza1},
    {"pinza2.asc", "pinza2", 1.0, build_pinza2},
    {"pivote1.asc", "pivote1", 1.0, build_pivote1},
    {"pivote2.asc", "pivote2", 1.0, build_pivote2},
    {"suelo1.asc", "suelo1", 1.0, build_suelo1},
    {"suelo2.asc", "suelo2", 1.0, build_suelo2},
    {"cilindr1.asc", "cilindr1", 30.0, build_cilindr1},
    {"cilindr2.asc", "cilindr2", 30.0, build_cilindr2},
    {"piedra1.asc", "piedra1", 1.0, build_piedra1},
    {"contene1.asc", "contene1", 20.0, build_contene1},
    {"contene2.asc", "contene2", 20.0, build_contene2},
    {"camion1.asc", "camion1", 11.0, build_camion1},
    {"camion2.asc", "camion2", 6.5, build_camion2},
    {"camion2p.asc", "camion2p", 6.5, build_camion2p},
    {"camion3.asc", "camion3", 1.0, build_camion3},
};

const MeshAsset* find_mesh_asset(const std::string& object) {
    for (const MeshAsset& a : kMeshAssets)
        if (object == a.object) return &a;
    return nullptr;
}

int write_mesh(const std::string& dir, const MeshAsset& a) {
    Mesh m = a.build();
    double extent = largest_extent(m);
    if (std::fabs(extent - a.extent) > 1e-6 * a.extent) {
        std::fprintf(stderr, "%s: largest extent %.6f, the scene needs %.6f\n", a.file, extent,
                     a.extent);
        return 1;
    }
    std::string path = dir.empty() ? a.file : dir + "/" + a.file;
    if (write_asc(path, a.object, m) != 0) {
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
        return 1;
    }
    return 0;
}

int write_all_meshes(const std::string& dir) {
    for (const MeshAsset& a : kMeshAssets)
        if (write_mesh(dir, a) != 0) return 1;
    return 0;
}
