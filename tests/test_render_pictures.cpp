// What a person would see in crane-render's pictures: crane-render runs as its own process
// from the build folder (where the mesh files are), and its PNG files are read back. Places
// are found by projecting scene points through the program's view: a 62-degree perspective at
// 632 x 425 and the viewing transform (0, -13, -34).
#include "tests/support/picture_difference.h"
#include "render/render_image.h"

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/read_png.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int k_width = 632;
const int k_height = 425;

// ---- Running crane-render -------------------------------------------------------------------

using RunResult = child::Output;

std::string make_temp_dir() {
    char pattern[] = "/tmp/crane-render-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

// Runs crane-render with args (quoted for the shell) in the folder cwd (empty: the current one).
RunResult run_render(const std::string& args, const std::string& cwd = "") {
    child::Options options;
    options.dir = cwd;
    return child::run_shell(std::string("exec '") + CRANE_RENDER_EXE + "' " + args, options);
}

// One rendering run whose frames are read back on demand.
struct Rendering {
    std::string dir;
    RunResult result;
    bool keep = false; // a shared rendering stays for the next test process
    std::map<int, RenderImage> cache;

    explicit Rendering(const std::string& args) : dir(make_temp_dir()) {
        result = run_render(args + " --out '" + dir + "'");
    }
    Rendering(const std::string& args, const std::string& shared_dir)
        : dir(shared_dir), keep(true) {
        result = {0, "", ""};
        if (access((dir + "/complete").c_str(), F_OK) == 0) return;
        // Rendered aside and renamed into place, so that a test process running at the same
        // time never sees half of it.
        mkdir("render-test-cache", 0755);
        char pattern[] = "render-test-cache/partial-XXXXXX";
        const std::string partial = mkdtemp(pattern) ? pattern : "";
        result = run_render(args + " --out '" + partial + "'");
        if (result.status == 0) {
            std::fclose(std::fopen((partial + "/complete").c_str(), "w"));
            if (std::rename(partial.c_str(), dir.c_str()) == 0) return;
        }
        // Failed, or another process was quicker: then its rendering serves as well.
        child::run({"rm", "-rf", partial});
    }
    ~Rendering() {
        if (!keep) child::run({"rm", "-rf", dir});
    }

    const RenderImage& frame(int n) {
        auto it = cache.find(n);
        if (it != cache.end()) return it->second;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04d.png", n);
        RenderImage image = {0, 0, {}};
        std::string error;
        EXPECT_TRUE(read_png(dir + name, &image, &error)) << error;
        return cache[n] = image;
    }
};

// A folder name for a rendering of args by this very crane-render with these very mesh files:
// it changes whenever the program or a mesh file is rebuilt.
std::string shared_rendering_dir(const std::string& args) {
    std::string key = args;
    struct stat st;
    if (stat(CRANE_RENDER_EXE, &st) == 0)
        key += "/" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    if (DIR* d = opendir(".")) {
        std::vector<std::string> meshes;
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".asc") == 0 &&
                stat(name.c_str(), &st) == 0)
                meshes.push_back(name + "@" + std::to_string(st.st_mtim.tv_sec) + "." +
                                 std::to_string(st.st_mtim.tv_nsec) + "#" +
                                 std::to_string(st.st_size));
        }
        closedir(d);
        std::sort(meshes.begin(), meshes.end());
        for (const std::string& m : meshes)
            key += "/" + m;
    }
    char name[64];
    std::snprintf(name, sizeof name, "render-test-cache/%016zx", std::hash<std::string>()(key));
    return name;
}

// ---- Looking at pictures --------------------------------------------------------------------

struct Pixel {
    int r, g, b;
};

Pixel at(const RenderImage& image, int x, int y) {
    const unsigned char* p = &image.rgba[(size_t(y) * image.width + x) * 4];
    return {p[0], p[1], p[2]};
}

struct ScreenPoint {
    double x, y;
};

// A scene point on the picture, pixel (0, 0) at the top-left corner.
ScreenPoint project(double x, double y, double z) {
    const double f = 1.0 / std::tan(31.0 * M_PI / 180.0);
    const double aspect = double(k_width) / k_height;
    const double ex = x, ey = y - 13.0, ez = z - 34.0;
    const double ndc_x = f / aspect * ex / -ez;
    const double ndc_y = f * ey / -ez;
    return {(ndc_x + 1.0) / 2.0 * k_width, (1.0 - ndc_y) / 2.0 * k_height};
}

struct Box {
    int x0, y0, x1, y1; // x1, y1 excluded
    int area() const { return (x1 - x0) * (y1 - y0); }
};

// The screen box around the projections of the corners of a scene box.
Box screen_box(double x0, double y0, double z0, double x1, double y1, double z1) {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (double x : {x0, x1})
        for (double y : {y0, y1})
            for (double z : {z0, z1}) {
                const ScreenPoint p = project(x, y, z);
                left = std::min(left, p.x);
                right = std::max(right, p.x);
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
            }
    Box b = {int(std::floor(left)), int(std::floor(top)), int(std::ceil(right)),
             int(std::ceil(bottom))};
    b.x0 = std::max(b.x0, 0);
    b.y0 = std::max(b.y0, 0);
    b.x1 = std::min(b.x1, k_width);
    b.y1 = std::min(b.y1, k_height);
    return b;
}

typedef bool (*PixelClass)(Pixel);

bool is_black(Pixel p) {
    return p.r <= 8 && p.g <= 8 && p.b <= 8;
}
bool is_white(Pixel p) {
    return p.r >= 247 && p.g >= 247 && p.b >= 247;
}
bool is_dark_background(Pixel p) {
    return is_black(p);
}
bool is_lit(Pixel p) {
    return !is_black(p);
}
// Neutral greys: the tower and the crane's body.
bool is_grey(Pixel p) {
    const int hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
    return hi >= 25 && hi - lo <= 12 + hi / 8;
}
// The truck's blue chassis.
bool is_blue(Pixel p) {
    return p.b >= 30 && p.b > 2 * p.r && p.b > 2 * p.g;
}
// The orange container: green about half of red, hardly any blue.
bool is_orange(Pixel p) {
    return p.r >= 40 && p.g * 10 >= p.r * 4 && p.g * 10 <= p.r * 7 && p.b * 10 <= p.r * 3;
}
// The red stone.
bool is_red(Pixel p) {
    return p.r >= 40 && p.g * 4 < p.r && p.b * 4 < p.r;
}

int count(const RenderImage& image, const Box& box, PixelClass wanted) {
    int n = 0;
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x)
            if (wanted(at(image, x, y))) ++n;
    return n;
}

double share(const RenderImage& image, const Box& box, PixelClass wanted) {
    return box.area() > 0 ? double(count(image, box, wanted)) / box.area() : 0.0;
}

const Box k_whole = {0, 0, k_width, k_height};

double mean_brightness(const RenderImage& image, const Box& box) {
    double sum = 0;
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) {
            const Pixel p = at(image, x, y);
            sum += (p.r + p.g + p.b) / 3.0;
        }
    return box.area() > 0 ? sum / box.area() : 0.0;
}

struct Centroid {
    double x, y;
    int n;
};

Centroid centroid(const RenderImage& image, PixelClass wanted) {
    Centroid c = {0, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (wanted(at(image, x, y))) {
                c.x += x;
                c.y += y;
                ++c.n;
            }
    if (c.n) {
        c.x /= c.n;
        c.y /= c.n;
    }
    return c;
}

// The share of lit pixels whose eight neighbours are all lit: inside a solid surface nearly
// all of them, between the points of a point cloud none.
double interior_share(const RenderImage& image, const Box& box) {
    int lit = 0, interior = 0;
    for (int y = std::max(box.y0, 1); y < std::min(box.y1, image.height - 1); ++y)
        for (int x = std::max(box.x0, 1); x < std::min(box.x1, image.width - 1); ++x) {
            if (!is_lit(at(image, x, y))) continue;
            ++lit;
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && is_lit(at(image, x + dx, y + dy))) ++neighbours;
            if (neighbours == 8) ++interior;
        }
    return lit ? double(interior) / lit : 0.0;
}

bool same_pixels(const RenderImage& a, const RenderImage& b) {
    return a.width == b.width && a.height == b.height && a.rgba == b.rgba;
}

// ---- Regions of the scene -------------------------------------------------------------------

// The tower: a column of radius 0.75 on the y axis, between the ground and the jib.
Box tower_region() {
    return screen_box(-0.4, 4.0, 0.0, 0.4, 12.0, 0.0);
}
// The crane's body: the jib near y = 25 over x from 3 to 12 (the crane low at frame 75).
Box jib_region(double lift) {
    return screen_box(3.0, 23.5 + lift, 0.0, 12.0, 26.5 + lift, 0.0);
}
// The truck's bed around scene x = 15.5, from its wheels to its front.
Box truck_region(double truck_z) {
    return screen_box(13.0, 1.0, truck_z - 2.0, 18.0, 3.5, truck_z + 6.0);
}
// The container beside the tower around x = -16, z = 0.
Box container_region() {
    return screen_box(-19.0, 1.0, 0.0, -13.0, 3.0, 0.0);
}
// The far end of the two outer ground strips.
Box far_ground_left() {
    return screen_box(-20.0, 0.0, -80.0, -10.0, 0.0, -70.0);
}
Box far_ground_right() {
    return screen_box(10.0, 0.0, -80.0, 20.0, 0.0, -70.0);
}
// The top rows, where only the sky is.
const Box k_sky = {200, 0, 440, 12};

// ---- The animation, rendered once for the suite ---------------------------------------------

class CranePictures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Each test may run in a process of its own: the animation is rendered once for all.
        const std::string frames = "--frames 1,75,159,200,300,605,609,613,620,660";
        animation = new Rendering(frames, shared_rendering_dir(frames));
    }
    static void TearDownTestSuite() {
        delete animation;
        animation = nullptr;
    }
    void SetUp() override { ASSERT_EQ(animation->result.status, 0) << animation->result.err; }
    static Rendering* animation;
};

Rendering* CranePictures::animation = nullptr;

TEST_F(CranePictures, FramesArePicturesOfTheWindowSize) {
    const RenderImage& f = animation->frame(1);
    EXPECT_EQ(f.width, k_width);
    EXPECT_EQ(f.height, k_height);
}

TEST_F(CranePictures, FirstFrameHasABlackBackground) {
    const RenderImage& f = animation->frame(1);
    EXPECT_GT(share(f, k_sky, is_dark_background), 0.95);
}

TEST_F(CranePictures, TowerStandsAtTheSceneOrigin) {
    const RenderImage& f = animation->frame(1);
    EXPECT_GT(share(f, tower_region(), is_grey), 0.5);
    // Beside the tower at the same height there is sky or far ground, not tower.
    const Box beside = screen_box(-9.0, 8.0, 0.0, -8.0, 12.0, 0.0);
    EXPECT_LT(share(f, beside, is_grey), 0.5);
}

TEST_F(CranePictures, CraneBodyIsLowAtFrame75AndBackUpAt200) {
    const RenderImage& low = animation->frame(75);
    const RenderImage& high = animation->frame(200);
    // At frame 75 the crane hangs about 11 units lower than at rest.
    EXPECT_GT(share(low, jib_region(-11.0), is_grey), 0.15);
    EXPECT_GT(share(high, jib_region(0.0), is_grey), 0.15);
    EXPECT_GT(share(high, jib_region(0.0), is_grey), share(low, jib_region(0.0), is_grey));
}

TEST_F(CranePictures, TruckStandsRightOfTheTowerAtStart) {
    const RenderImage& f = animation->frame(1);
    EXPECT_GT(share(f, truck_region(0.0), is_blue), 0.1);
    EXPECT_LT(share(f, container_region(), is_blue), 0.01);
}

TEST_F(CranePictures, TruckHasDrivenTowardsTheViewerAtFrame300) {
    // Frame 300: the truck has driven 0.3 per frame since frame 275, about 7.8 units nearer.
    const Centroid start = centroid(animation->frame(1), is_blue);
    const Centroid nearer = centroid(animation->frame(300), is_blue);
    ASSERT_GT(start.n, 100);
    ASSERT_GT(nearer.n, start.n);
    const ScreenPoint was = project(15.5, 2.0, 0.0), now = project(15.5, 2.0, 7.8);
    EXPECT_NEAR(nearer.x - start.x, now.x - was.x, 20.0);
    EXPECT_NEAR(nearer.y - start.y, now.y - was.y, 15.0);
}

TEST_F(CranePictures, ContainerStandsLeftOfTheTower) {
    const RenderImage& f = animation->frame(1);
    EXPECT_GT(share(f, container_region(), is_orange), 0.2);
    EXPECT_LT(share(f, truck_region(0.0), is_orange), 0.05);
}

TEST_F(CranePictures, StoneHangsUnderTheJibFromFrame160) {
    EXPECT_EQ(count(animation->frame(159), k_whole, is_red), 0);
    // Picked up low, behind the truck's cab; in sight once the crane has risen.
    const Centroid stone = centroid(animation->frame(200), is_red);
    ASSERT_GT(stone.n, 20);
    // The spring's axis is at x = 16 while the crane has not turned.
    EXPECT_NEAR(stone.x, project(16.0, 10.0, 0.0).x, 30.0);
}

TEST_F(CranePictures, StoneFallsAfterFrame610AndIsGoneFrom660) {
    const Centroid before = centroid(animation->frame(605), is_red);
    const Centroid held = centroid(animation->frame(609), is_red);
    const Centroid falling = centroid(animation->frame(613), is_red);
    const Centroid lower = centroid(animation->frame(620), is_red);
    ASSERT_GT(held.n, 20);
    ASSERT_GT(falling.n, 20);
    ASSERT_GT(lower.n, 20);
    // The crane has turned half way: the stone hangs over the container on the left.
    EXPECT_LT(held.x, project(-8.0, 10.0, 0.0).x);
    EXPECT_NEAR(held.y, before.y, 2.0);
    EXPECT_GT(falling.y, held.y + 4.0);
    EXPECT_GT(lower.y, falling.y + 10.0);
    EXPECT_NEAR(lower.x, held.x, 5.0);
    EXPECT_EQ(count(animation->frame(660), k_whole, is_red), 0);
}

// The frame numbers of the program's console reports ("\tTiempo: %d").
std::vector<int> reported_frames(const std::string& out) {
    std::vector<int> frames;
    const std::string tag = "Tiempo: ";
    for (size_t at = out.find(tag); at != std::string::npos; at = out.find(tag, at + 1))
        frames.push_back(std::atoi(out.c_str() + at + tag.size()));
    return frames;
}

// ---- Keys -------------------------------------------------------------------------------------

TEST(CraneKeys, BackgroundKeyTurnsSkyWhiteAndFogLight) {
    Rendering dark("--frames 2");
    Rendering light("--frames 2 --key 2:i");
    ASSERT_EQ(light.result.status, 0) << light.result.err;
    EXPECT_GT(share(light.frame(2), k_sky, is_white), 0.95);
    for (const Box& far : {far_ground_left(), far_ground_right()}) {
        EXPECT_LT(mean_brightness(dark.frame(2), far), 80.0);
        EXPECT_GT(mean_brightness(light.frame(2), far), 150.0);
    }
}

// Frames 80 to 124 hold the animation still, so the repaints of the presses change nothing.
TEST(CraneKeys, PressingBackgroundKeyTwiceGivesTheDarkPictureBack) {
    Rendering plain("--frames 110");
    Rendering twice("--frames 110 --key 90:i --key 100:i");
    EXPECT_TRUE(same_pixels(plain.frame(110), twice.frame(110)));
}

TEST(CraneKeys, PointsKeyLeavesIsolatedPointsWhereSurfacesWere) {
    Rendering solid("--frames 2");
    Rendering points("--frames 2 --key 2:o");
    ASSERT_EQ(points.result.status, 0) << points.result.err;
    for (const Box& region : {container_region(), truck_region(0.0)}) {
        const double solid_lit = share(solid.frame(2), region, is_lit);
        const double points_lit = share(points.frame(2), region, is_lit);
        EXPECT_GT(solid_lit, 0.8);
        EXPECT_LT(points_lit, solid_lit / 2.0);
        EXPECT_GT(points_lit, 0.0);
        EXPECT_GT(interior_share(solid.frame(2), region), 0.8);
        EXPECT_LT(interior_share(points.frame(2), region), 0.05);
    }
}

TEST(CraneKeys, VariantKeyChangesThePictureButNotTheAnimation) {
    Rendering plain("--frames 90,200");
    Rendering swapped("--frames 90,200 --key 80:p --key 100:p");
    ASSERT_EQ(swapped.result.status, 0) << swapped.result.err;
    EXPECT_FALSE(same_pixels(plain.frame(90), swapped.frame(90)));
    EXPECT_TRUE(same_pixels(plain.frame(200), swapped.frame(200)));
    // The same frame numbers reach the console report.
    EXPECT_EQ(reported_frames(plain.result.out), reported_frames(swapped.result.out));
    EXPECT_EQ(reported_frames(plain.result.out).back(), 200);
}

// While the crane is being lowered, each repaint lowers it one step more: two presses before
// frame 60 leave it where frame 62 has it, and nothing else moves in those frames.
TEST(CraneKeys, KeyRepaintRepeatsTheStepsOfTheCurrentFrame) {
    Rendering plain("--frames 60,62");
    Rendering pressed("--frames 60 --key 30:p --key 31:p");
    ASSERT_EQ(pressed.result.status, 0) << pressed.result.err;
    EXPECT_FALSE(same_pixels(plain.frame(60), pressed.frame(60)));
    EXPECT_TRUE(same_pixels(plain.frame(62), pressed.frame(60)));
}

// ---- Runs -------------------------------------------------------------------------------------

TEST(CraneRuns, SameFramesTwiceGiveIdenticalPictures) {
    Rendering first("--frames 1-200");
    Rendering second("--frames 1-200");
    ASSERT_EQ(first.result.status, 0) << first.result.err;
    for (int n = 1; n <= 200; ++n)
        ASSERT_TRUE(same_pixels(first.frame(n), second.frame(n))) << n;
}

TEST(CraneRenderCommand, ReportLinesGoToStdoutAndOwnMessagesToStderr) {
    Rendering run("--frames 10");
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(reported_frames(run.result.out), (std::vector<int>{5, 10}));
    EXPECT_NE(run.result.out.find("Frames por segundo."), std::string::npos);
    EXPECT_EQ(run.result.err.find("Tiempo"), std::string::npos);
    EXPECT_NE(run.result.err.find("saved 1 frame"), std::string::npos);
}

TEST(CraneRenderCommand, BadArgumentsExitWithStatus2) {
    for (const char* args : {"", "--frames x", "--frames 5 --key 9:p", "--size 10", "--what"}) {
        const RunResult r = run_render(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("crane-render: "), std::string::npos) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

TEST(CraneRenderCommand, HelpGoesToStdout) {
    const RunResult r = run_render("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--frames"), std::string::npos);
}

// An output that cannot be written is refused before the first frame is drawn (no report on
// standard output yet), with the file and the system's reason.
TEST(CraneRenderCommand, UnwritableOutputIsRefusedBeforeTheFirstFrameWithTheReason) {
    const std::string dir = make_temp_dir();
    std::ofstream(dir + "/file") << "x";
    const struct {
        std::string args, message;
    } cases[] = {
        {"--out '" + dir + "/file/sub'",
         "'" + dir + "/file/sub' as output folder: Not a directory"},
        {"--out '" + dir + "' --sheet '" + dir + "'", "cannot write " + dir + ": Is a directory"},
        {"--video '" + dir + "/file/v.mp4'",
         "cannot write " + dir + "/file/v.mp4: Not a directory"},
    };
    for (const auto& c : cases) {
        const RunResult r = run_render("--frames 3000 " + c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    child::run({"rm", "-rf", dir});
}

TEST(CraneRenderCommand, MissingMeshFileEndsWithTheReadersMessage) {
    const std::string empty = make_temp_dir();
    const RunResult r = run_render("--frames 1 --out .", empty);
    child::run({"rm", "-rf", empty});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error al abrir el fichero ASC"), std::string::npos) << r.err;
}

TEST(CraneRenderCommand, BenchSavesNothingAndReportsTheRateLast) {
    const RunResult ok = run_render("--bench 12");
    ASSERT_EQ(ok.status, 0) << ok.err;
    const size_t last_line = ok.out.rfind('\n', ok.out.size() - 2);
    const std::string last = ok.out.substr(last_line + 1);
    EXPECT_NE(last.find("12 frames: "), std::string::npos) << last;
    EXPECT_NE(last.find("frames per second"), std::string::npos) << last;
    EXPECT_NE(last.find("ms per frame (median)"), std::string::npos) << last;
}

TEST(CraneRenderCommand, SheetHoldsTheSavedFramesWithCaptions) {
    const std::string dir = make_temp_dir();
    Rendering run("--frames 1,2,3,4 --sheet '" + dir + "/sheet.png'");
    ASSERT_EQ(run.result.status, 0) << run.result.err;
    RenderImage sheet;
    std::string error;
    ASSERT_TRUE(read_png(dir + "/sheet.png", &sheet, &error)) << error;
    // Three half-size pictures a row, two rows.
    EXPECT_EQ(sheet.width, 8 + 3 * (k_width / 2 + 8));
    EXPECT_EQ(sheet.height, 8 + 2 * (k_height / 2 + 22 + 8));
    child::run({"rm", "-rf", dir});
}

// ---- The README's pictures --------------------------------------------------------------------

// The README shows frames as crane-render drew them when they were made (tools/pictures.sh): a
// change to the scene leaves them stale. They may differ as crane-render.exe's frames may from
// these: a few edge pixels.
TEST(ReadmePictures, AreWhatCraneRenderDrawsToday) {
    const std::string dir = make_temp_dir();
    const struct {
        const char* picture;
        std::string args;
        std::string drawn;
    } pictures[] = {
        {"key-moments.png", "--frames 75,200,300,440,625,800 --sheet '" + dir + "/km.png'",
         dir + "/km.png"},
        {"frame-0200.png", "--frames 200", dir + "/frame-0200.png"},
        {"frame-0200-key-p.png", "--frames 200 --key 200:p", dir + "/frame-0200.png"},
        {"frame-0200-key-o.png", "--frames 200 --key 200:o", dir + "/frame-0200.png"},
        {"frame-0200-key-i.png", "--frames 200 --key 200:i", dir + "/frame-0200.png"},
    };
    for (const auto& p : pictures) {
        const RunResult r = run_render(p.args + " --out '" + dir + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        RenderImage shown, drawn;
        std::string error;
        ASSERT_TRUE(read_png(std::string(DOCS_PICTURES) + "/" + p.picture, &shown, &error))
            << error;
        ASSERT_TRUE(read_png(p.drawn, &drawn, &error)) << error;
        ASSERT_EQ(shown.width, drawn.width) << p.picture;
        ASSERT_EQ(shown.height, drawn.height) << p.picture;
        const PictureDifference d = picture_difference(shown, drawn);
        EXPECT_LT(d.mean, 0.05) << p.picture << ": mean difference per channel";
        EXPECT_LT(d.over_2, 0.001) << p.picture << ": " << 100 * d.over_2 << " % of pixels differ "
                                   << "by more than 2; draw them anew: cmake --build build "
                                   << "--target pictures";
    }
    child::run({"rm", "-rf", dir});
}

} // namespace
