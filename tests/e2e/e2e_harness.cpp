#include "tests/e2e/e2e_harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

const char* const kMeshNames[17] = {"grua1",    "grua2",    "pinza1",   "pinza2",   "pivote1",
                                    "pivote2",  "suelo1",   "suelo2",   "cilindr1", "cilindr2",
                                    "piedra1",  "contene1", "contene2", "camion1",  "camion2",
                                    "camion2p", "camion3"};

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

bool exists(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

int ignore_errors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

void sleep_seconds(double seconds) {
    timespec t;
    t.tv_sec = (time_t)seconds;
    t.tv_nsec = (long)((seconds - (double)t.tv_sec) * 1e9);
    nanosleep(&t, nullptr);
}

int free_display_number() {
    for (int n = 71 + (int)(getpid() % 97); n < 71 + 97 + 200; ++n) {
        std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (!exists(lock) && !exists(socket)) return n;
    }
    return -1;
}

bool start_server(Server* server, int depth) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        int n = free_display_number();
        if (n < 0) return false;
        std::string name = ":" + std::to_string(n);
        std::string screen = "1024x768x" + std::to_string(depth);
        child::Options quiet;
        quiet.out = quiet.err = "/dev/null";
        if (!child::start({"Xvfb", name, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                          quiet, server))
            return false;
        server->number = n;
        double deadline = now() + 30;
        while (now() < deadline) {
            if (child::wait(server, 0)) break; // lost the race for n
            Display* d = XOpenDisplay(name.c_str());
            if (d) {
                XCloseDisplay(d);
                return true;
            }
            sleep_seconds(0.05);
        }
        stop_server(server, true);
    }
    return false;
}

void stop_server(Server* server, bool abrupt) {
    child::end(server, abrupt ? SIGKILL : SIGTERM);
    server->pid = -1;
}

bool launch_argv(const std::vector<std::string>& argv, const std::string& dir,
                 const std::function<void()>& environment, Program* program) {
    if (argv.empty()) return false;
    char out_template[] = "/tmp/e2e_outXXXXXX";
    char err_template[] = "/tmp/e2e_errXXXXXX";
    int out = mkstemp(out_template);
    int err = mkstemp(err_template);
    if (out < 0 || err < 0) return false;
    close(out);
    close(err);
    child::Options options;
    options.dir = dir;
    options.out = program->out_path = out_template;
    options.err = program->err_path = err_template;
    options.in_child = environment;
    return child::start(argv, options, program);
}

bool launch_in(const std::string& exe, const std::string& dir,
               const std::function<void()>& environment, Program* program) {
    return launch_argv({exe}, dir, environment, program);
}

bool launch(const std::string& exe, const std::string& dir, const std::string& display,
            Program* program) {
    return launch_in(
        exe, dir,
        [&] {
            // Only the X server: a Wayland session around the tests would be chosen first.
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("XDG_RUNTIME_DIR");
            if (display.empty())
                unsetenv("DISPLAY");
            else
                setenv("DISPLAY", display.c_str(), 1);
        },
        program);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {

// A viewable window named title at most depth levels below parent.
Window find_titled(Display* display, Window parent, const std::string& title, int depth) {
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes a;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name && XGetWindowAttributes(display, children[i], &a) &&
                a.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
        if (!found && depth > 1) found = find_titled(display, children[i], title, depth - 1);
    }
    if (children) XFree(children);
    return found;
}

} // namespace

Window wait_for_window(Display* display, const std::string& title, double seconds) {
    XErrorHandler old = XSetErrorHandler(ignore_errors);
    Window found = 0;
    // A window manager's frame holds the client one or two levels down.
    wait_until(
        [&] {
            found = find_titled(display, DefaultRootWindow(display), title, 3);
            return found != 0;
        },
        seconds);
    XSync(display, False);
    XSetErrorHandler(old);
    return found;
}

bool wait_until(const std::function<bool()>& condition, double seconds) {
    double deadline = now() + seconds;
    for (;;) {
        if (condition()) return true;
        if (now() > deadline) return false;
        sleep_seconds(0.02);
    }
}

bool start_window_manager(const Server& server, Program* wm) {
    char config[] = "/tmp/e2e_openboxXXXXXX";
    if (!mkdtemp(config)) return false;
    // Its own empty configuration folders, so that no user's settings or autostart apply.
    setenv("XDG_CONFIG_HOME", config, 1);
    bool started = launch("openbox", config, server.name(), wm);
    unsetenv("XDG_CONFIG_HOME");
    if (!started) return false;
    Display* display = XOpenDisplay(server.name().c_str());
    if (!display) return false;
    // It has taken over once it frames a window of ours: a probe, mapped and then destroyed.
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 16, 16, 0, 0, 0);
    bool ready = wait_until(
        [&] {
            if (child::wait(wm, 0)) return false;
            XMapWindow(display, probe);
            Window root = 0, parent = 0, *children = nullptr;
            unsigned int count = 0;
            XWindowAttributes a;
            bool framed = XQueryTree(display, probe, &root, &parent, &children, &count) &&
                          parent != root && XGetWindowAttributes(display, probe, &a) &&
                          a.map_state == IsViewable;
            if (children) XFree(children);
            return framed;
        },
        30);
    XDestroyWindow(display, probe);
    XCloseDisplay(display);
    return ready;
}

Extents frame_extents(Display* display, Window window) {
    Extents e;
    Atom property = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4, False, XA_CARDINAL, &type, &format, &n,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && n == 4) {
        long* v = reinterpret_cast<long*>(data);
        e.left = (int)v[0];
        e.right = (int)v[1];
        e.top = (int)v[2];
        e.bottom = (int)v[3];
    }
    if (data) XFree(data);
    return e;
}

Window only_child(Display* display, Window window) {
    Window root, up, *children = nullptr;
    unsigned int count = 0;
    Window child = window;
    if (XQueryTree(display, window, &root, &up, &children, &count) && count == 1)
        child = children[0];
    if (children) XFree(children);
    return child;
}

Area client_area(Display* display, Window window) {
    XWindowAttributes a;
    XGetWindowAttributes(display, window, &a);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return Area{x, y, a.width, a.height};
}

bool send_key(Display* display, const char* keysym_name) {
    KeySym sym = XStringToKeysym(keysym_name);
    KeyCode code = XKeysymToKeycode(display, sym);
    if (!code) return false;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
    return true;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

void send_close_request(Display* display, Window window) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &e);
    XFlush(display);
}

void click(Display* display, int x, int y) {
    move_pointer(display, x, y);
    press_left_button(display, true);
    press_left_button(display, false);
}

void move_pointer(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
}

void press_left_button(Display* display, bool down) {
    XTestFakeButtonEvent(display, 1, down, CurrentTime);
    XFlush(display);
}

void request_resize(Display* display, Window window, int width, int height) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "_NET_MOVERESIZE_WINDOW", False);
    e.xclient.format = 32;
    // North-west gravity, width and height given, from a pager or tool (source 2).
    e.xclient.data.l[0] = 1 | (1 << 10) | (1 << 11) | (2 << 12);
    e.xclient.data.l[3] = width;
    e.xclient.data.l[4] = height;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(display);
}

std::vector<unsigned> grab(Display* display, const Area& area) {
    std::vector<unsigned> pixels;
    XImage* image = XGetImage(display, DefaultRootWindow(display), area.x, area.y,
                              (unsigned)area.width, (unsigned)area.height, AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve((size_t)area.width * area.height);
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            pixels.push_back((unsigned)XGetPixel(image, x, y) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}

double share(const std::vector<unsigned>& pixels, bool bright, int limit) {
    if (pixels.empty()) return 0;
    size_t n = 0;
    for (unsigned p : pixels) {
        int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        if (bright ? (r >= limit && g >= limit && b >= limit)
                   : (r <= limit && g <= limit && b <= limit))
            ++n;
    }
    return (double)n / (double)pixels.size();
}

std::string mesh_folder(const std::string& build_folder) {
    bool all = true;
    for (const char* name : kMeshNames)
        all = all && exists(build_folder + "/" + name + ".asc");
    if (all) return build_folder;
    char dir_template[] = "/tmp/e2e_meshesXXXXXX";
    if (!mkdtemp(dir_template)) return build_folder;
    for (const char* name : kMeshNames) {
        std::ofstream f(std::string(dir_template) + "/" + name + ".asc");
        f << "Named object: \"" << name << "\"\n"
          << "Tri-mesh, Vertices: 3     Faces: 1\n"
          << "Vertex list:\n"
          << "Vertex 0:  X: 0.0     Y: 0.0     Z: 0.0\n"
          << "Vertex 1:  X: 1.0     Y: 0.0     Z: 0.0\n"
          << "Vertex 2:  X: 0.0     Y: 1.0     Z: 0.0\n"
          << "Face list:\n"
          << "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n";
    }
    return dir_template;
}

} // namespace e2e
