#include "tests/e2e/compositor.h"
#include "tests/support/read_png.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>

namespace e2e {

namespace {

// The account sway runs as when the tests run as root.
const char kAccount[] = "crane-wayland";

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// ---- A small JSON reader for swaymsg's answers ------------------------------------------------

struct Json {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    double number = 0;
    std::string text;
    std::vector<Json> items;                           // an array's values
    std::vector<std::pair<std::string, Json>> members; // an object's, in order

    const Json* get(const std::string& name) const {
        for (const auto& m : members)
            if (m.first == name) return &m.second;
        return nullptr;
    }
    double num(const std::string& name) const {
        const Json* j = get(name);
        return j && j->kind == kNumber ? j->number : 0;
    }
};

struct JsonReader {
    const std::string& s;
    size_t i = 0;
    bool ok = true;

    void space() {
        while (i < s.size() && isspace((unsigned char)s[i]))
            ++i;
    }
    std::string string() {
        std::string out;
        ++i; // the opening quote
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i >= s.size()) break;
            char e = s[i++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = (unsigned)strtoul(s.substr(i, 4).c_str(), nullptr, 16);
                i += 4;
                if (code < 0x80) {
                    out += (char)code;
                } else if (code < 0x800) {
                    out += (char)(0xC0 | (code >> 6));
                    out += (char)(0x80 | (code & 0x3F));
                } else {
                    out += (char)(0xE0 | (code >> 12));
                    out += (char)(0x80 | ((code >> 6) & 0x3F));
                    out += (char)(0x80 | (code & 0x3F));
                }
                break;
            }
            default:
                out += e; // \" \\ \/ and the rest stand for themselves here
            }
        }
        ++i; // the closing quote
        return out;
    }
    Json value() {
        Json j;
        space();
        if (i >= s.size()) {
            ok = false;
            return j;
        }
        char c = s[i];
        if (c == '{' || c == '[') {
            bool object = c == '{';
            j.kind = object ? Json::kObject : Json::kArray;
            ++i;
            space();
            if (i < s.size() && s[i] == (object ? '}' : ']')) {
                ++i;
                return j;
            }
            while (ok && i < s.size()) {
                std::string name;
                if (object) {
                    space();
                    name = string();
                    space();
                    ++i; // ':'
                }
                Json v = value();
                if (object)
                    j.members.emplace_back(name, std::move(v));
                else
                    j.items.push_back(std::move(v));
                space();
                if (i < s.size() && s[i] == ',') {
                    ++i;
                    continue;
                }
                ++i; // the closing bracket
                break;
            }
        } else if (c == '"') {
            j.kind = Json::kString;
            j.text = string();
        } else if (s.compare(i, 4, "true") == 0 || s.compare(i, 5, "false") == 0) {
            j.kind = Json::kBool;
            j.number = s[i] == 't';
            i += s[i] == 't' ? 4 : 5;
        } else if (s.compare(i, 4, "null") == 0) {
            i += 4;
        } else {
            char* end = nullptr;
            j.kind = Json::kNumber;
            j.number = strtod(s.c_str() + i, &end);
            if (end == s.c_str() + i) ok = false;
            i = (size_t)(end - s.c_str());
        }
        return j;
    }
};

Area area_of(const Json* rect) {
    if (!rect) return Area{0, 0, 0, 0};
    return Area{(int)rect->num("x"), (int)rect->num("y"), (int)rect->num("width"),
                (int)rect->num("height")};
}

const Json* find_pid(const Json& node, pid_t pid) {
    if (node.num("pid") == pid && node.get("name")) return &node;
    for (const char* list : {"nodes", "floating_nodes"}) {
        const Json* children = node.get(list);
        if (!children) continue;
        for (const Json& child : children->items)
            if (const Json* found = find_pid(child, pid)) return found;
    }
    return nullptr;
}

// ---- Running the compositor's tools -----------------------------------------------------------

// The environment of a client of the compositor.
void client_environment(const Compositor& c) {
    unsetenv("DISPLAY");
    unsetenv("CRANE_PLATFORM");
    setenv("XDG_RUNTIME_DIR", c.runtime_dir.c_str(), 1);
    setenv("WAYLAND_DISPLAY", c.socket.c_str(), 1);
    setenv("SWAYSOCK", c.ipc.c_str(), 1);
}

// A tool in the compositor's client environment, in its run-time folder (where tools that write
// files put them).
child::Options tool_options(const Compositor& c) {
    child::Options options;
    options.dir = c.runtime_dir;
    options.in_child = [&c] { client_environment(c); };
    return options;
}

// Runs a tool to its end; its exit status (-1 when it could not run), its output in *out.
int run_tool(const Compositor& c, const std::vector<std::string>& argv, std::string* out) {
    const child::Output output = child::run(argv, tool_options(c));
    if (out) *out = output.out;
    return output.status;
}

// Starts a tool that stays, its output discarded; false when it could not start.
bool spawn_tool(const Compositor& c, const std::vector<std::string>& argv, child::Process* tool) {
    child::Options options = tool_options(c);
    options.out = options.err = "/dev/null";
    return child::start(argv, options, tool);
}

bool account(uid_t* uid, gid_t* gid) {
    if (geteuid() != 0) {
        *uid = geteuid();
        *gid = getegid();
        return true;
    }
    passwd* p = getpwnam(kAccount);
    if (!p) {
        child::run({"useradd", "--system", "--no-create-home", "--home-dir", "/nonexistent",
                    "--shell", "/usr/sbin/nologin", kAccount});
        p = getpwnam(kAccount);
    }
    if (!p) p = getpwnam("nobody");
    if (!p) return false;
    *uid = p->pw_uid;
    *gid = p->pw_gid;
    return true;
}

// The compositor's socket: "wayland-" and a number (beside it stands its lock file).
std::string socket_of(const std::string& dir) {
    std::string found;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.compare(0, 8, "wayland-") == 0 && name.size() > 8 &&
                name.find_first_not_of("0123456789", 8) == std::string::npos) {
                found = dir + "/" + name;
                break;
            }
        }
        closedir(d);
    }
    return found;
}

// The first entry of the folder whose name starts with prefix and ends with suffix.
std::string entry(const std::string& dir, const std::string& prefix, const std::string& suffix) {
    std::string found;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.compare(0, prefix.size(), prefix) == 0 && name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                found = dir + "/" + name;
                break;
            }
        }
        closedir(d);
    }
    return found;
}

int remove_entry(const char* path, const struct stat*, int, FTW*) {
    return remove(path);
}

// One output per scale, each 1024 x 768 in logical pixels, side by side.
std::string sway_config(const std::vector<int>& scales) {
    std::string config;
    for (size_t i = 0; i < scales.size(); ++i) {
        int s = scales[i];
        config += "output HEADLESS-" + std::to_string(i + 1) + " mode " + std::to_string(1024 * s) +
                  "x" + std::to_string(768 * s) + " position " + std::to_string(1024 * i) +
                  " 0 scale " + std::to_string(s) + "\n";
    }
    return config + "xwayland disable\n"
                    "swaynag_command -\n"
                    "default_border normal\n"
                    "for_window [title=\".*\"] floating enable\n"
                    "focus_follows_mouse no\n";
}

} // namespace

std::string Compositor::log() const {
    return read_file(runtime_dir + "/compositor.log");
}

namespace {

// Makes the compositor's run-time folder, owned by the account it runs as, with its config file
// when it has one, and starts it there as that account with a clean environment and its output
// in the folder's log; then waits for its socket and for up(). False when it did not come up.
bool start_as_account(Compositor* c, const std::string& config,
                      const std::vector<std::string>& argv,
                      const std::vector<std::pair<const char*, const char*>>& environment,
                      const std::function<bool()>& up) {
    uid_t uid;
    gid_t gid;
    if (!account(&uid, &gid)) return false;
    char dir_template[] = "/tmp/crane-wayland-XXXXXX";
    if (!mkdtemp(dir_template)) return false;
    c->runtime_dir = dir_template;
    if (!config.empty()) std::ofstream(c->runtime_dir + "/compositor.config") << config;
    if (chown(c->runtime_dir.c_str(), uid, gid) != 0 || chmod(c->runtime_dir.c_str(), 0700) != 0)
        return false;

    // As the account, with a clean environment and its output in the folder's log.
    child::Options options;
    options.dir = c->runtime_dir;
    options.in = "/dev/null";
    options.out = options.err = c->runtime_dir + "/compositor.log";
    options.in_child = [&] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            _exit(126);
        clearenv();
        setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
        setenv("HOME", c->runtime_dir.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", c->runtime_dir.c_str(), 1);
        for (const auto& variable : environment)
            setenv(variable.first, variable.second, 1);
    };
    if (!child::start(argv, options, &c->process)) return false;

    double deadline = now() + 30;
    while (now() < deadline) {
        if (child::wait(&c->process, 0)) return false;
        c->socket = socket_of(c->runtime_dir);
        if (!c->socket.empty() && up()) return true;
        sleep_seconds(0.05);
    }
    return false;
}

} // namespace

bool start_compositor(Compositor* c, const std::vector<int>& scales) {
    // Up when the control socket exists and the last output answers on it.
    std::string outputs_count = std::to_string(scales.size());
    std::string last_output = "HEADLESS-" + outputs_count;
    bool up =
        start_as_account(c, sway_config(scales), {"sway", "-c", "compositor.config"},
                         {{"WLR_BACKENDS", "headless"},
                          {"WLR_HEADLESS_OUTPUTS", outputs_count.c_str()},
                          {"WLR_LIBINPUT_NO_DEVICES", "1"},
                          {"WLR_RENDERER", "pixman"}},
                         [&] {
                             c->ipc = entry(c->runtime_dir, "sway-ipc.", ".sock");
                             std::string outputs;
                             return !c->ipc.empty() &&
                                    run_tool(*c, {"swaymsg", "-t", "get_outputs"}, &outputs) == 0 &&
                                    outputs.find(last_output) != std::string::npos;
                         });
    if (!up) return false;
    double deadline = now() + 30;

    // A headless seat has no keyboard of its own. A virtual keyboard that stays keeps one in
    // the seat, so that clients hold their keyboard from the start and no key of a short-lived
    // one reaches them before they could bind it.
    if (!spawn_tool(*c, {"wtype", "-s", "86400000", "-k", "F24"}, &c->keyboard)) return false;
    while (now() < deadline) {
        std::string inputs;
        if (run_tool(*c, {"swaymsg", "-t", "get_inputs"}, &inputs) == 0 &&
            inputs.find("\"keyboard\"") != std::string::npos)
            return true;
        sleep_seconds(0.05);
    }
    return false;
}

bool start_weston(Compositor* c, int scale) {
    // The output's size is in logical pixels.
    return start_as_account(c, "",
                            {"weston", "--backend=headless-backend.so", "--use-pixman",
                             "--width=1024", "--height=768", "--scale=" + std::to_string(scale),
                             "--socket=wayland-1", "--no-config", "--idle-time=0", "--debug"},
                            {}, [] { return true; });
}

void stop_compositor(Compositor* c, bool abrupt) {
    if (c->pointer_connection) wl_display_disconnect(c->pointer_connection);
    c->pointer_connection = nullptr;
    c->pointer = nullptr;
    child::end(&c->keyboard, SIGTERM);
    child::end(&c->process, abrupt ? SIGKILL : SIGTERM);
    if (!c->runtime_dir.empty())
        nftw(c->runtime_dir.c_str(), remove_entry, 8, FTW_DEPTH | FTW_PHYS);
    c->runtime_dir.clear();
}

bool launch_client(const Compositor& c, const std::string& exe, const std::string& dir,
                   Program* program, const std::function<void()>& adjust) {
    return launch_in(
        exe, dir,
        [&] {
            client_environment(c);
            unsetenv("SWAYSOCK");
            if (adjust) adjust();
        },
        program);
}

bool wait_for_toplevel(const Compositor& c, pid_t pid, double seconds, Toplevel* out) {
    return wait_until(
        [&] {
            std::string tree;
            if (run_tool(c, {"swaymsg", "-t", "get_tree"}, &tree) != 0) return false;
            JsonReader reader{tree};
            Json root = reader.value();
            const Json* node = reader.ok ? find_pid(root, pid) : nullptr;
            if (!node) return false;
            const Json* name = node->get("name");
            Area rect = area_of(node->get("rect"));
            Area inner = area_of(node->get("window_rect"));
            Area deco = area_of(node->get("deco_rect"));
            if (inner.width <= 0 || inner.height <= 0) return false;
            out->title = name && name->kind == Json::kString ? name->text : "";
            const Json* app_id = node->get("app_id");
            out->app_id = app_id && app_id->kind == Json::kString ? app_id->text : "";
            out->content = Area{rect.x + inner.x, rect.y + inner.y, inner.width, inner.height};
            out->framed = Area{rect.x, rect.y - deco.height, rect.width, rect.height + deco.height};
            return true;
        },
        seconds);
}

bool type_key(const Compositor& c, const std::string& key) {
    std::vector<std::string> argv = {"wtype"};
    if (key.size() == 1) {
        argv.push_back("--");
        argv.push_back(key);
    } else {
        argv.push_back("-k");
        argv.push_back(key);
    }
    return run_tool(c, argv, nullptr) == 0;
}

bool hold_key(const Compositor& c, const std::string& key, Program* holder) {
    *holder = Program{};
    return spawn_tool(c, {"wtype", "-P", key, "-s", "600000"}, holder);
}

// ---- A virtual pointer ------------------------------------------------------------------------
// wlroots' virtual-pointer protocol, described here for the requests used: their order fixes
// their numbers on the wire.

namespace {

enum { kMotionAbsolute = 1, kButton = 2, kFrame = 4 };
const wl_message kPointerRequests[] = {{"motion", "uff", nullptr},
                                       {"motion_absolute", "uuuuu", nullptr},
                                       {"button", "uuu", nullptr},
                                       {"axis", "uuf", nullptr},
                                       {"frame", "", nullptr}};
const wl_interface kPointerInterface = {"zwlr_virtual_pointer_v1", 1, 5,
                                        kPointerRequests,          0, nullptr};
const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kPointerInterface};
const wl_message kManagerRequests[] = {{"create_virtual_pointer", "?on", kCreateTypes}};
const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 1, kManagerRequests, 0, nullptr};

const uint32_t kLeftButton = 0x110; // BTN_LEFT

void on_global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (strcmp(interface, kManagerInterface.name) == 0)
        *static_cast<wl_proxy**>(data) =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
}
void on_global_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {on_global, on_global_remove};

uint32_t now_ms() {
    return (uint32_t)(now() * 1000);
}

// The pointer, made the first time, once the seat has it.
wl_proxy* pointer_of(Compositor* c) {
    if (c->pointer) return c->pointer;
    if (c->pointer_connection) return nullptr;
    c->pointer_connection = wl_display_connect(c->socket.c_str());
    if (!c->pointer_connection) return nullptr;
    wl_proxy* manager = nullptr;
    wl_registry* registry = wl_display_get_registry(c->pointer_connection);
    wl_registry_add_listener(registry, &kRegistryListener, &manager);
    wl_display_roundtrip(c->pointer_connection);
    if (!manager) return nullptr;
    c->pointer = wl_proxy_marshal_flags(manager, 0, &kPointerInterface, 1, 0, nullptr, nullptr);
    wl_display_roundtrip(c->pointer_connection);
    std::string inputs;
    bool seated = wait_until(
        [&] {
            return run_tool(*c, {"swaymsg", "-t", "get_inputs"}, &inputs) == 0 &&
                   inputs.find("\"pointer\"") != std::string::npos;
        },
        30);
    return seated ? c->pointer : nullptr;
}

// Ends a group of pointer events and waits until the compositor has taken them.
bool end_frame(Compositor* c, wl_proxy* pointer) {
    wl_proxy_marshal_flags(pointer, kFrame, nullptr, 1, 0);
    return wl_display_roundtrip(c->pointer_connection) >= 0;
}

} // namespace

bool move_pointer(Compositor* c, int x, int y) {
    wl_proxy* pointer = pointer_of(c);
    if (!pointer) return false;
    // The extent is the output's, which is the whole layout: positions are its pixels.
    wl_proxy_marshal_flags(pointer, kMotionAbsolute, nullptr, 1, 0, now_ms(), (uint32_t)x,
                           (uint32_t)y, 1024u, 768u);
    return end_frame(c, pointer);
}

bool press_left_button(Compositor* c, bool down) {
    wl_proxy* pointer = pointer_of(c);
    if (!pointer) return false;
    wl_proxy_marshal_flags(pointer, kButton, nullptr, 1, 0, now_ms(), kLeftButton,
                           down ? WL_POINTER_BUTTON_STATE_PRESSED
                                : WL_POINTER_BUTTON_STATE_RELEASED);
    return end_frame(c, pointer);
}

bool request_close(const Compositor& c, pid_t pid) {
    std::string answer;
    return run_tool(c, {"swaymsg", "[pid=" + std::to_string(pid) + "] kill"}, &answer) == 0;
}

bool move_to_output(const Compositor& c, pid_t pid, const std::string& output) {
    std::string answer;
    return run_tool(
               c,
               {"swaymsg", "[pid=" + std::to_string(pid) + "] move container to output " + output},
               &answer) == 0;
}

namespace {

std::string geometry(const Area& a) {
    return std::to_string(a.x) + "," + std::to_string(a.y) + " " + std::to_string(a.width) + "x" +
           std::to_string(a.height);
}

} // namespace

std::vector<unsigned> grab_output(const Compositor& c, const Area& area) {
    std::string ppm;
    if (run_tool(c, {"grim", "-g", geometry(area), "-t", "ppm", "-"}, &ppm) != 0) return {};
    // P6, width, height, maximum, one white-space character, then the samples.
    int width = 0, height = 0, maximum = 0, used = 0;
    if (sscanf(ppm.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &used) != 3 ||
        maximum != 255)
        return {};
    size_t start = (size_t)used + 1;
    if (ppm.size() < start + (size_t)width * height * 3) return {};
    std::vector<unsigned> pixels((size_t)width * height);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(ppm.data()) + start;
    for (size_t i = 0; i < pixels.size(); ++i, p += 3)
        pixels[i] = (unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2];
    return pixels;
}

bool screenshot(const Compositor& c, RenderImage* out) {
    if (run_tool(c, {"weston-screenshooter"}, nullptr) != 0) return false;
    std::string path = entry(c.runtime_dir, "wayland-screenshot-", ".png");
    std::string error;
    bool read = !path.empty() && read_png(path, out, &error);
    if (!path.empty()) unlink(path.c_str());
    return read;
}

bool save_picture(const Compositor& c, const Area& area, const std::string& path) {
    return run_tool(c, {"grim", "-g", geometry(area), "-t", "png", path}, nullptr) == 0;
}

Area changed_area(const RenderImage& a, const RenderImage& b, int first_row) {
    if (a.width != b.width || a.height != b.height) return Area{0, 0, 0, 0};
    int left = b.width, top = b.height, right = -1, bottom = -1;
    for (int y = first_row; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const size_t at = ((size_t)y * b.width + x) * 4;
            if (std::equal(&a.rgba[at], &a.rgba[at] + 3, &b.rgba[at])) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    return right < 0 ? Area{0, 0, 0, 0} : Area{left, top, right - left + 1, bottom - top + 1};
}

} // namespace e2e
