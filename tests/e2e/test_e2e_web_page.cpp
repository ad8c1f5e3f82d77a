// The page around the web build: phones, the keyboard, accessibility, what it says when
// something fails, and a lost WebGL context. Each test drives one page (the errors test one per
// broken site).
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/picture_difference.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

const char k_portrait[] =
    R"({"viewport":{"width":390,"height":844},"deviceScaleFactor":3,"isMobile":true,)"
    R"("hasTouch":true})";
const char k_landscape[] =
    R"({"viewport":{"width":844,"height":390},"deviceScaleFactor":3,"isMobile":true,)"
    R"("hasTouch":true,"reducedMotion":"reduce"})";

// What breaks a phone's page, as a list of faults ("" when none): sideways scrolling, the
// canvas or a control off the screen, a touch target under 44 px, a drawing buffer that is not
// the canvas's shown size at the pixel ratio.
const char k_phone_faults[] =
    "eval (() => { const faults = [], w = innerWidth, h = innerHeight;"
    " if (document.documentElement.scrollWidth > w) faults.push('scrolls sideways');"
    " const c = document.getElementById('canvas'), r = c.getBoundingClientRect();"
    " if (r.left < 0 || r.right > w || r.top < 0 || r.bottom > h) faults.push('canvas off screen');"
    " const ratio = devicePixelRatio;"
    " if (c.width !== Math.round(r.width * ratio) || c.height !== Math.round(r.height * ratio))"
    "   faults.push('buffer ' + c.width + 'x' + c.height + ' for ' + r.width + 'x' + r.height);"
    " for (const b of document.querySelectorAll('button:not([hidden]), select')) {"
    "   const s = b.getBoundingClientRect(), name = b.id || b.textContent;"
    "   if (s.width < 44 || s.height < 44) faults.push(name + ' is ' + s.width + 'x' + s.height);"
    "   if (s.left < 0 || s.right > w || s.bottom > h) faults.push(name + ' off screen'); }"
    " return faults.join('; '); })()";

} // namespace

using CraneInThePage = CraneInTheBrowser;

// A phone held upright: the page fits, its targets take a finger, the program draws at the
// screen's density over the whole canvas, one frame per display refresh, and axe finds nothing.
TEST_F(CraneInThePage, FitsAPhoneUpright) {
    ASSERT_TRUE(e2e::start_browser(WEB_SITE_FOLDER, "", &browser, &crane, "", k_portrait));
    ASSERT_TRUE(page_ok("wait document.body.classList.contains('window-open') && "
                        "WebBackend.frames > 2"))
        << program_state();
    EXPECT_EQ(page(k_phone_faults), "\"\"");
    // The program was told the buffer's size: its picture reaches the buffer's right edge.
    const std::string size =
        page(std::string("eval [") + canvas + ".width, " + canvas + ".height]");
    EXPECT_EQ(size, "[1140,767]");
    const e2e::Area right_edge{1100, 400, 40, 360};
    double lit = 0;
    EXPECT_TRUE(wait_canvas_lit(right_edge, &lit)) << "lit share at the right edge " << lit;
    // Over 20 display refreshes the program draws 20 frames (one in between at most).
    EXPECT_EQ(page("eval new Promise((done) => { let ticks = 0, first = WebBackend.frames;"
                   " const tick = () => ++ticks < 20 ? requestAnimationFrame(tick)"
                   " : done(Math.abs(WebBackend.frames - first - ticks) <= 1);"
                   " requestAnimationFrame(tick); })"),
              "true");
    EXPECT_EQ(page("axe"), "[]");
}

// A phone on its side, which asks for reduced motion: the canvas and its buttons fit the low
// screen, and the page opens paused on the first frame with a Play button that a tap starts.
TEST_F(CraneInThePage, FitsAPhoneOnItsSideAndOpensPausedForReducedMotion) {
    ASSERT_TRUE(e2e::start_browser(WEB_SITE_FOLDER, "", &browser, &crane, "", k_landscape));
    ASSERT_TRUE(page_ok("wait window.WebBackend && WebBackend.resume !== null && "
                        "WebBackend.frames === 1"))
        << program_state();
    EXPECT_EQ(page(k_phone_faults), "\"\"");
    EXPECT_EQ(page("eval document.getElementById('pause').textContent"), "\"Play\"");
    EXPECT_EQ(page("axe"), "[]");
    ASSERT_TRUE(page_ok("tap #pause"));
    EXPECT_TRUE(page_ok("wait WebBackend.frames > 3 && !WebBackend.paused")) << program_state();
}

// The program's keys come from the canvas or the page itself; a focused button keeps Enter and
// Space (each presses it: its key i). The canvas shows a focus ring. Once the program ended,
// axe finds nothing and Start again starts it anew.
TEST_F(CraneInThePage, KeysReachTheProgramFromTheCanvasOrThePage) {
    ASSERT_NO_FATAL_FAILURE(start_page(WEB_KEY_ECHO_SITE));
    ASSERT_TRUE(page_ok("hold"));
    EXPECT_EQ(page(std::string("eval [document.activeElement === ") + canvas +
                   ", getComputedStyle(" + canvas + ").outlineStyle, parseFloat(getComputedStyle(" +
                   canvas + ").outlineWidth) >= 2]"),
              "[true,\"solid\",true]");
    ASSERT_TRUE(press("a"));
    ASSERT_TRUE(page_ok("eval document.activeElement.blur()"));
    ASSERT_TRUE(press("b"));
    ASSERT_TRUE(page_ok("eval document.querySelector('[data-key=i]').focus()"));
    ASSERT_TRUE(press("Return"));
    ASSERT_TRUE(press("space"));
    ASSERT_TRUE(page_ok(std::string("eval ") + canvas + ".focus()"));
    ASSERT_TRUE(press("Escape"));
    ASSERT_TRUE(page_ok("wait document.body.dataset.exitStatus === '0'"));
    EXPECT_EQ(out(), "key 97 0\nkey 98 0\nkey 105 0\nkey 105 0\nkey 27 0\n");
    EXPECT_EQ(page("axe"), "[]");
    ASSERT_TRUE(page_ok("click #again"));
    EXPECT_TRUE(page_ok("wait document.body.classList.contains('window-open') && "
                        "!document.body.dataset.exitStatus"))
        << program_state();
}

// Values in the address out of range are named in the page, with what is accepted, and
// ignored: fps above 1000 as crane --fps refuses it.
TEST_F(CraneInThePage, AddressValuesOutOfRangeAreNamedAndIgnored) {
    ASSERT_NO_FATAL_FAILURE(start_page(WEB_SITE_FOLDER, "fps=5000&pause=x1"));
    EXPECT_EQ(page("eval document.getElementById('address-note').textContent"),
              "\"The address's fps=5000 is ignored: fps takes a whole number from 1 to 1000, or "
              "max. The address's pause=x1 is ignored: pause takes a whole number from 1 to "
              "1000000000 (the frame to stop after).\"");
    EXPECT_EQ(page("eval [document.getElementById('address-note').hidden, "
                   "document.getElementById('pace').value, WebBackend.settings().pauseAt]"),
              "[false,\"\",0]");
    EXPECT_TRUE(page_ok("wait WebBackend.frames > 3 && !WebBackend.paused"));
}

// A site whose crane.wasm or crane.js is missing or damaged: one sentence that names the file
// and what to try, the controls disabled, each file requested once, no uncaught error.
TEST_F(CraneInThePage, ProgramFilesThatCannotBeHadAreSaidInOneSentence) {
    const std::string site = temporary_folder();
    ASSERT_FALSE(site.empty());
    ASSERT_EQ(child::run({"cp", "-r", std::string(WEB_SITE_FOLDER) + "/.", site}).status, 0);
    child::Options in_site;
    in_site.dir = site;
    // The site names the wasm after its content.
    std::string wasm;
    for (const auto& entry : std::filesystem::directory_iterator(site)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 11 && name.compare(0, 6, "crane.") == 0 &&
            name.compare(name.size() - 5, 5, ".wasm") == 0)
            wasm = name;
    }
    ASSERT_FALSE(wasm.empty());
    struct Case {
        const char* file;   // as the page names it
        std::string path;   // on the site
        std::string damage; // shell command run in the site
        const char* what;
    };
    const Case cases[] = {
        {"crane.wasm", wasm, "mv " + wasm + " " + wasm + ".kept",
         "was not found on the site (HTTP 404)"},
        {"crane.wasm", wasm,
         "cp " + wasm + " " + wasm + ".kept && head -c 5000 " + wasm + ".kept > " + wasm,
         "is damaged (the browser could not compile it)"},
        {"crane.js", "crane.js", "mv crane.js crane.js.kept",
         "was not found on the site (HTTP 404)"},
        {"crane.js", "crane.js",
         "cp crane.js crane.js.kept && head -c 50000 crane.js.kept > crane.js",
         "is damaged (SyntaxError in it)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        ASSERT_EQ(child::run_shell(c.damage, in_site).status, 0);
        ASSERT_TRUE(e2e::start_browser(site, "", &browser, &crane));
        ASSERT_TRUE(page_ok("wait document.body.dataset.loadFailed")) << program_state();
        EXPECT_EQ(page("eval document.getElementById('status').textContent"),
                  std::string("\"The program could not start because ") + c.file + " " + c.what +
                      ": reload the page, and if that does not help, the site's copy of " + c.file +
                      " needs replacing.\"");
        EXPECT_EQ(page("eval [...document.querySelectorAll('#controls button, #controls select')]"
                       ".every((c) => c.disabled)"),
                  "true");
        const std::string requests = page("requests");
        for (const std::string& path : {std::string("/crane.js"), "/" + wasm}) {
            const std::string key = "\"" + path + "\":";
            const size_t at = requests.find(key);
            EXPECT_TRUE(at != std::string::npos && atoi(requests.c_str() + at + key.size()) == 1)
                << requests;
        }
        e2e::stop_browser(&browser, &crane);
        EXPECT_EQ(err().find("page error"), std::string::npos) << err();
        ASSERT_EQ(child::run({"mv", c.path + ".kept", c.path}, in_site).status, 0);
    }
    EXPECT_EQ(child::run({"rm", "-rf", site}).status, 0);
}

// A lost WebGL context: the page says so and draws nothing meanwhile; once the browser gives
// it back the program goes on from the frame it was at, and frame 200 is the Linux renderer's.
// A context that does not come back is said, with a reload offered.
TEST_F(CraneInThePage, LostContextComesBackAndTheProgramGoesOn) {
    const std::string folder = temporary_folder();
    ASSERT_FALSE(folder.empty());
    e2e::Program render;
    ASSERT_TRUE(e2e::launch_argv(
        {std::string(BUILD_FOLDER) + "/crane-render", "--frames", "200", "--out", folder},
        BUILD_FOLDER, [] {}, &render));
    ASSERT_TRUE(child::wait(&render, 120));

    ASSERT_NO_FATAL_FAILURE(start_page(WEB_SITE_FOLDER, "pause=150"));
    ASSERT_TRUE(page_ok("wait WebBackend.resume !== null && WebBackend.frames === 150"));
    ASSERT_TRUE(page_ok(std::string("eval (window.lose = ") + canvas +
                        ".getContext('webgl2').getExtension('WEBGL_lose_context')).loseContext()"));
    ASSERT_TRUE(
        page_ok("wait WebBackend.contextLost && "
                "/graphics were lost/.test(document.getElementById('status').textContent)"));
    // Going on while the context is lost: the swap still waits, frame 150 stays the last.
    ASSERT_TRUE(page_ok("eval WebBackend.settings().pauseAt = 200, WebBackend.setPaused(false)"));
    ASSERT_TRUE(page_ok("wait WebBackend.resume !== null"));
    EXPECT_EQ(page("eval WebBackend.frames"), "150");
    ASSERT_TRUE(page_ok("eval lose.restoreContext()"));
    ASSERT_TRUE(page_ok("wait WebBackend.resume !== null && WebBackend.frames === 200 || "
                        "!document.getElementById('again').hidden"));
    ASSERT_EQ(page("eval WebBackend.frames"), "200")
        << page("eval document.getElementById('status').textContent");
    const std::string shot = folder + "/web.png";
    ASSERT_TRUE(page_ok("shot " + shot));
    RenderImage web, linux;
    std::string error;
    ASSERT_TRUE(read_png(shot, &web, &error)) << error;
    ASSERT_TRUE(read_png(folder + "/frame-0200.png", &linux, &error)) << error;
    ASSERT_EQ(web.width, linux.width);
    ASSERT_EQ(web.height, linux.height);
    const PictureDifference d = picture_difference(web, linux);
    printf("frame 200 after a lost context: mean difference %.3f per channel, %.2f %% of pixels "
           "off by more than 16\n",
           d.mean, 100 * d.over_16);
    EXPECT_LE(d.mean, 2.0);
    EXPECT_LE(d.over_16, 0.02);

    ASSERT_TRUE(page_ok("eval lose.loseContext()"));
    EXPECT_TRUE(page_ok("wait !document.getElementById('again').hidden"));
    EXPECT_EQ(page("eval [document.getElementById('again').textContent, "
                   "document.getElementById('status').textContent]"),
              "[\"Reload the page\",\"The graphics did not come back, so the animation cannot go "
              "on: reload the page to start it again.\"]");
    EXPECT_EQ(child::run({"rm", "-rf", folder}).status, 0);
}
