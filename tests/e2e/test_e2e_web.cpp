// What only the web build has: its page's buttons, a mesh file missing from the site, and the
// picture it draws against the one Mesa draws on Linux.
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/picture_difference.h"
#include "tests/support/read_png.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using CraneInTheBrowserOnly = CraneInTheBrowser;

// The page's buttons press the program's keys, for screens without a keyboard: i whitens the
// picture and back, Escape ends the program with status 0.
TEST_F(CraneInTheBrowserOnly, ButtonsPressTheProgramsKeys) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    auto white = [](const std::vector<unsigned>& p) { return e2e::share(p, true, 235) > 0.4; };
    auto dark = [](const std::vector<unsigned>& p) { return e2e::share(p, false, 20) > 0.4; };
    std::vector<unsigned> seen;
    ASSERT_TRUE(wait_picture(dark, &seen, kSoon));
    ASSERT_TRUE(page_ok("click [data-key=i]"));
    EXPECT_TRUE(wait_picture(white, &seen, kSoon)) << "white share " << e2e::share(seen, true, 235);
    ASSERT_TRUE(page_ok("click [data-key=i]"));
    EXPECT_TRUE(wait_picture(dark, &seen, kSoon)) << "black share " << e2e::share(seen, false, 20);
    ASSERT_TRUE(page_ok("click [data-key=Escape]"));
    expect_ended_with_status_zero("the Escape button");
    EXPECT_EQ(e2e::browser_ended(&browser), "\"The program ended with status 0 after Escape.\"");
}

// Full screen: the program draws at the screen's size (the driver's page, 680 x 800), its
// reshape handler told as on a resized window, so the picture reaches the right edge.
TEST_F(CraneInTheBrowserOnly, FullScreenDrawsAtTheScreensSize) {
    ASSERT_NO_FATAL_FAILURE(start_crane());
    ASSERT_TRUE(page_ok("click #fullscreen"));
    ASSERT_TRUE(
        page_ok(std::string("wait ") + canvas + ".width === 680 && " + canvas + ".height === 800"))
        << page(std::string("eval [") + canvas + ".width, " + canvas + ".height]");
    const e2e::Area right_edge{640, 0, 40, 800};
    double lit = 0;
    EXPECT_TRUE(wait_canvas_lit(right_edge, &lit)) << "lit share at the right edge " << lit;
}

// What the page's keys become, through the toolkit's key echo as a page's program: Return,
// Space and the arrows as keys, digits and letters as typed, capitals included, Shift in the
// status, and nothing for Control with a letter (the browser's shortcut).
TEST_F(CraneInTheBrowserOnly, KeysArriveTranslated) {
    ASSERT_NO_FATAL_FAILURE(start_program(KEY_ECHO_PROGRAM, "", "key echo"));
    for (const char* key :
         {"Return", "space", "Left", "Up", "Right", "Down", "a", "7", "P", "Shift+P", "Control+a"})
        ASSERT_TRUE(press(key)) << key;
    ASSERT_TRUE(press("Escape"));
    expect_ended_with_status_zero("Escape");
    EXPECT_EQ(out(), "key 13 0\nkey 32 0\nkey 37 0\nkey 38 0\nkey 39 0\nkey 40 0\n"
                     "key 97 0\nkey 55 0\nkey 80 0\nkey 80 1\nkey 27 0\n");
}

// A site without one of its mesh files: the program's message stands in the page with the
// file's name, and the program ends with status 1, as on a desktop.
TEST_F(CraneInTheBrowserOnly, MissingMeshFileIsSaidInThePageWithStatusOne) {
    const std::string site = temporary_folder();
    ASSERT_FALSE(site.empty());
    ASSERT_EQ(child::run({"cp", "-r", std::string(WEB_SITE_FOLDER) + "/.", site}).status, 0);
    ASSERT_EQ(unlink((site + "/grua2.asc").c_str()), 0);
    ASSERT_TRUE(e2e::start_browser(site, "", &browser, &crane));
    ASSERT_TRUE(child::wait(&crane, kSoon)) << "the page did not end";
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_EQ(e2e::browser_ended(&browser),
              "\"The program ended with status 1: Error al abrir el fichero ASC: No such file or "
              "directory. The page could not download grua2.asc (HTTP 404) from the site.\"");
    EXPECT_NE(err().find("Error al abrir el fichero ASC: No such file or directory"),
              std::string::npos);
    EXPECT_EQ(child::run({"rm", "-rf", site}).status, 0);
}

// A mesh file cut in half: the program says so in the page's panel and goes on drawing, as on a
// desktop.
TEST_F(CraneInTheBrowserOnly, MeshFileCutShortIsDrawnWithAWarningInThePanel) {
    const std::string site = temporary_folder();
    ASSERT_FALSE(site.empty());
    ASSERT_EQ(child::run({"cp", "-r", std::string(WEB_SITE_FOLDER) + "/.", site}).status, 0);
    const std::string grua1 = site + "/grua1.asc";
    struct stat st {};
    ASSERT_EQ(stat(grua1.c_str(), &st), 0);
    ASSERT_EQ(truncate(grua1.c_str(), st.st_size / 2), 0);
    ASSERT_NO_FATAL_FAILURE(start_page(site));
    ASSERT_TRUE(wait_reports(2, kSoon)) << err();
    EXPECT_NE(err().find("grua1.asc: warning: the file is incomplete (vertices: "),
              std::string::npos)
        << err();
    EXPECT_TRUE(page_ok("wait document.getElementById('console').textContent.includes("
                        "'grua1.asc: warning: the file is incomplete')"));
    EXPECT_EQ(child::run({"rm", "-rf", site}).status, 0);
}

// Frame 200, and frame 200 right after each of the keys p, o and i, as the page shows it and as
// crane-render draws it with Mesa on Linux: the same picture, within what two rasterisers may
// round apart.
TEST_F(CraneInTheBrowserOnly, Frame200MatchesTheLinuxRenderer) {
    const std::string folder = temporary_folder();
    ASSERT_FALSE(folder.empty());
    for (const char* key : {"", "p", "o", "i"}) {
        SCOPED_TRACE(std::string("key ") + key);
        const std::string native = folder + "/native" + key;
        std::vector<std::string> args = {std::string(BUILD_FOLDER) + "/crane-render", "--frames",
                                         "200", "--out", native};
        if (*key) args.insert(args.end(), {"--key", std::string("200:") + key});
        e2e::Program render;
        ASSERT_TRUE(e2e::launch_argv(
            args, BUILD_FOLDER, [] {}, &render));
        ASSERT_TRUE(child::wait(&render, 120));

        // A key for frame 200 reaches the program after frame 199 and before frame 200.
        ASSERT_NO_FATAL_FAILURE(start_page(WEB_SITE_FOLDER, *key ? "pause=199" : "pause=200"));
        if (*key) {
            ASSERT_TRUE(page_ok("wait WebBackend.resume !== null && WebBackend.frames === 199"));
            ASSERT_TRUE(press(key));
            ASSERT_TRUE(page_ok("eval WebBackend.step()"));
        }
        ASSERT_TRUE(page_ok("wait WebBackend.resume !== null && WebBackend.frames === 200"));
        const std::string shot = folder + "/web" + key + ".png";
        ASSERT_TRUE(page_ok("shot " + shot));
        e2e::stop_browser(&browser, &crane);

        RenderImage web, linux;
        std::string error;
        ASSERT_TRUE(read_png(shot, &web, &error)) << error;
        ASSERT_TRUE(read_png(native + "/frame-0200.png", &linux, &error)) << error;
        ASSERT_EQ(web.width, linux.width);
        ASSERT_EQ(web.height, linux.height);
        const PictureDifference d = picture_difference(web, linux);
        printf("frame 200%s%s: mean difference %.3f per channel, %.2f %% of pixels off by more "
               "than 2, %.2f %% by more than 16\n",
               *key ? " after key " : "", key, d.mean, 100 * d.over_2, 100 * d.over_16);
        EXPECT_LE(d.mean, 2.0);
        EXPECT_LE(d.over_16, 0.02);
    }
    EXPECT_EQ(child::run({"rm", "-rf", folder}).status, 0);
}

// Where the canvas gives no WebGL 2 context, the toolkit's "Error" box is a dialog in the page
// with its caption, its text and OK, which Return dismisses; then the program ends with status
// 1, as on a desktop whose window did not open.
TEST_F(CraneInTheBrowserOnly, ErrorBoxIsADialogInThePage) {
    const char* no_context =
        "const getContext = HTMLCanvasElement.prototype.getContext;"
        "HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {"
        "  return this.id === 'canvas' ? null : getContext.call(this, kind, ...rest); };";
    ASSERT_TRUE(e2e::start_browser(WEB_SITE_FOLDER, "", &browser, &crane, no_context));
    ASSERT_TRUE(page_ok("wait document.querySelector('dialog.message-box[open]')"))
        << program_state();
    EXPECT_EQ(page("eval [...document.querySelectorAll('dialog.message-box > *')]"
                   ".map((e) => e.textContent)"),
              "[\"Error\",\"wglCreateContext Failed\",\"OK\"]");
    ASSERT_TRUE(press("Return"));
    ASSERT_TRUE(child::wait(&crane, kSoon)) << "the box stayed after Return";
    EXPECT_EQ(WEXITSTATUS(crane.status), 1);
    EXPECT_EQ(e2e::browser_ended(&browser), "\"The program ended with status 1.\"");
}

// crane-render's videos play in the browser: H.264 (its odd height grown by one) and VP9.
TEST_F(CraneInTheBrowserOnly, CraneRenderVideosPlay) {
    const std::string site = temporary_folder();
    ASSERT_FALSE(site.empty());
    ASSERT_EQ(child::run({"cp", "-r", std::string(WEB_SITE_FOLDER) + "/.", site}).status, 0);
    for (const char* name : {"short.mp4", "short.webm"}) {
        e2e::Program render;
        ASSERT_TRUE(e2e::launch_argv(
            {std::string(BUILD_FOLDER) + "/crane-render", "--video", site + "/" + name, "--frames",
             "1-30"},
            BUILD_FOLDER, [] {}, &render));
        ASSERT_TRUE(child::wait(&render, 120));
        ASSERT_EQ(WEXITSTATUS(render.status), 0) << e2e::read_file(render.err_path);
    }
    ASSERT_NO_FATAL_FAILURE(start_page(site));
    // Plays a while, then its size and whether it moved on; or the browser's error.
    auto play = [&](const std::string& name) {
        return page("eval new Promise((done) => { const v = document.createElement('video');"
                    " v.muted = true; v.src = '" +
                    name +
                    "';"
                    " v.onloadeddata = () => v.play().then(() => setTimeout(() =>"
                    " done([v.videoWidth, v.videoHeight, v.currentTime > 0]), 300),"
                    " (e) => done('not played: ' + e));"
                    " v.onerror = () => done('error ' + v.error.code + ' ' + v.error.message); })");
    };
    EXPECT_EQ(play("short.mp4"), "[632,426,true]");
    EXPECT_EQ(play("short.webm"), "[632,425,true]");
    EXPECT_EQ(child::run({"rm", "-rf", site}).status, 0);
}
