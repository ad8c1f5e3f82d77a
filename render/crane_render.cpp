// crane-render: runs the crane program unchanged on the headless backend and saves chosen
// frames as PNG files or a video, or times a run. Built as crane-render-gles3
// (CRANE_RENDER_GLES3), the same program draws through web/gl/ over OpenGL ES 3: that layer
// defines glEnable and the rest itself, so it cannot share a process with Mesa's libGL, and
// crane-render --gl gles3 hands the whole run over to that program beside it.
#include "app/main.h"
#include "toolkit/headless/headless_control.h"
#include "render/render_args.h"
#include "render/render_image.h"
#include "render/render_progress.h"
#include "render/render_video.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

typedef std::chrono::steady_clock Clock;

RenderOptions g_options;
bool g_write_failed = false;
int g_frames_saved = 0;
std::vector<RenderImage> g_thumbnails;
std::vector<int> g_thumbnail_frames;
std::vector<Clock::time_point> g_frame_times;
VideoWriter* g_video = nullptr;
int g_video_frames = 0;

std::string frame_path(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return (std::filesystem::path(g_options.out_dir) / name).string();
}

void save_frame(int frame, int width, int height, const unsigned char* rgba) {
    RenderImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    std::string error;
    if (!write_png(frame_path(frame), image, &error)) {
        // Report once; the run goes on so that the program still ends the normal way.
        if (!g_write_failed) std::fprintf(stderr, "crane-render: %s\n", error.c_str());
        g_write_failed = true;
        return;
    }
    ++g_frames_saved;
    if (!g_options.sheet.empty()) {
        g_thumbnails.push_back(half_size(image));
        g_thumbnail_frames.push_back(frame);
    }
}

void add_video_frame(int, int, int, const unsigned char* rgba) {
    if (g_write_failed) return;
    if (!video_add_frame(g_video, rgba)) {
        // The reason comes with the writer's final answer; the run goes on to its normal end.
        g_write_failed = true;
        return;
    }
    ++g_video_frames;
}

void after_frame(int frame) {
    if (g_options.bench > 0) g_frame_times.push_back(Clock::now());
    progress_frame(frame);
}

// The installed launcher starts the program in its data folder so that it finds the mesh
// files; names the caller gave are still meant relative to the caller's folder.
void resolve_from_caller(std::string* path) {
    const char* caller = std::getenv("CRANE_CALLER_DIR");
    if (!caller || !*caller || path->empty() || std::filesystem::path(*path).has_root_directory())
        return;
    *path = (std::filesystem::path(caller) / *path).string();
}

// Whether a file can be written at path, found before any frame is drawn rather than after the
// last; an existing file is left as it is, a new one is not left behind.
bool check_file_writable(const std::string& path, std::string* error) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    if (!existed) std::remove(path.c_str());
    return true;
}

// The output folder, made when missing, and a file written and removed in it.
bool check_folder_writable(const std::string& dir, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::error_code is_dir_ec;
    if (!std::filesystem::is_directory(dir, is_dir_ec)) {
        *error = "cannot use '" + dir +
                 "' as output folder: " + (ec ? ec.message() : std::string("not a folder"));
        return false;
    }
    const std::string probe = (std::filesystem::path(dir) / ".crane-render-write-test").string();
    FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) {
        *error = "cannot write in " + dir + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

// Interrupted (Ctrl-C, a hang-up, a kill): give the terminal back and remove the unfinished
// video, then end the way the signal ends a process.
char g_temp_video[4096];

void remove_temp_video() {
#ifdef _WIN32
    _unlink(g_temp_video);
#else
    unlink(g_temp_video);
#endif
}

void on_interrupt(int signal_number) {
    progress_restore_terminal();
    if (g_temp_video[0]) remove_temp_video();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void handle_interrupts() {
#ifdef _WIN32
    // Windows raises SIGINT for Ctrl-C and Ctrl-Break; it knows no hang-up.
    for (int s : {SIGINT, SIGTERM})
#else
    for (int s : {SIGINT, SIGTERM, SIGHUP})
#endif
        std::signal(s, on_interrupt);
}

// Completes or removes the video after the run; true when the file is complete.
bool close_video(bool run_ok) {
    if (!run_ok) {
        video_abandon(g_video);
        g_temp_video[0] = 0;
        return false;
    }
    std::string error;
    const bool finished = video_finish(g_video, &error);
    // An interruption while the file was completed still removed what was unfinished.
    g_temp_video[0] = 0;
    if (!finished) {
        std::fprintf(stderr, "crane-render: %s\n", error.c_str());
        return false;
    }
    std::fprintf(stderr, "crane-render: wrote %d frame(s) to %s (%s)\n", g_video_frames,
                 g_options.video.c_str(), video_kind(g_options.video));
    return true;
}

#if !defined(_WIN32) && !defined(CRANE_RENDER_GLES3)
// Runs crane-render-gles3 from crane-render's own folder in this process's place, with the
// same arguments; returns only when it cannot.
int run_gles3(char** argv) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string helper = (self.parent_path() / "crane-render-gles3").string();
    if (!ec) execv(helper.c_str(), argv);
    std::fprintf(stderr, "crane-render: cannot run %s: %s\n", helper.c_str(),
                 ec ? ec.message().c_str() : std::strerror(errno));
    return 1;
}
#endif

double ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Frame rate over the whole run and the median time of one frame.
void report_bench(Clock::time_point start) {
    const size_t n = g_frame_times.size();
    std::vector<double> frame_ms;
    frame_ms.reserve(n);
    for (size_t i = 0; i < n; ++i)
        frame_ms.push_back(ms_between(i == 0 ? start : g_frame_times[i - 1], g_frame_times[i]));
    std::sort(frame_ms.begin(), frame_ms.end());
    double median = 0.0;
    if (n > 0) median = n % 2 ? frame_ms[n / 2] : (frame_ms[n / 2 - 1] + frame_ms[n / 2]) / 2.0;
    const double total = n > 0 ? ms_between(start, g_frame_times.back()) : 0.0;
    const double fps = total > 0.0 ? 1000.0 * n / total : 0.0;
    // The program's last report line has no line break of its own.
    std::printf("\n%zu frames: %.1f frames per second, %.2f ms per frame (median)\n", n, fps,
                median);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!parse_render_args(argc - 1, argv + 1, &g_options, &error)) {
        std::fprintf(stderr, "crane-render: %s\nTry 'crane-render --help'.\n", error.c_str());
        return 2;
    }
    if (g_options.help) {
        std::fputs(render_usage(), stdout);
        return 0;
    }
    if (g_options.version) {
        std::printf("crane-render %s\n", CRANE_VERSION);
        return 0;
    }
#ifdef _WIN32
    if (g_options.gles3) {
        std::fprintf(stderr, "crane-render: --gl gles3: this build draws with the system's GL\n");
        return 2;
    }
#elif !defined(CRANE_RENDER_GLES3)
    if (g_options.gles3) return run_gles3(argv);
#endif
    resolve_from_caller(&g_options.out_dir);
    resolve_from_caller(&g_options.sheet);
    resolve_from_caller(&g_options.video);
    // From here on an interruption cleans up after itself.
    handle_interrupts();
    if (!g_options.video.empty()) {
        std::snprintf(g_temp_video, sizeof g_temp_video, "%s",
                      video_temp_path(g_options.video).c_str());
        g_video =
            video_open(g_options.video, g_options.width, g_options.height, g_options.fps, &error);
        if (!g_video) {
            std::fprintf(stderr, "crane-render: %s\n", error.c_str());
            // Asking a build without video for one is a usage error, not a failed write.
            return video_supported() ? 1 : 2;
        }
    } else if (g_options.bench == 0) {
        if (!check_folder_writable(g_options.out_dir, &error) ||
            (!g_options.sheet.empty() && !check_file_writable(g_options.sheet, &error))) {
            std::fprintf(stderr, "crane-render: %s\n", error.c_str());
            return 1;
        }
    }

    egl_backend_set_size(g_options.width, g_options.height);
    for (int frame : g_options.frames)
        egl_backend_capture_frame(frame);
    egl_backend_on_capture(g_video ? add_video_frame : save_frame);
    for (const RenderKey& key : g_options.keys)
        egl_backend_add_key(key.frame, key.key);
    egl_backend_set_last_frame(render_last_frame(g_options));
    if (g_options.bench > 0) g_frame_times.reserve(g_options.bench);
    egl_backend_on_frame(after_frame);

    progress_start(render_last_frame(g_options));
    const Clock::time_point start = Clock::now();
    char* program_argv[] = {argv[0], nullptr};
    const int status = app_main(1, program_argv);
    std::fflush(stdout);
    progress_end();
    const int last = render_last_frame(g_options);
    if (g_video && !close_video(status == 0 && egl_backend_frames_drawn() >= last))
        g_write_failed = true;

    if (status != 0) {
        std::fprintf(stderr, "crane-render: the program ended with status %d\n", status);
        return 1;
    }
    if (egl_backend_frames_drawn() < last) {
        std::fprintf(stderr, "crane-render: the program stopped after %d of %d frames\n",
                     egl_backend_frames_drawn(), last);
        return 1;
    }
    if (g_write_failed) return 1;
    if (!g_options.video.empty()) return 0;
    if (g_options.bench > 0) {
        report_bench(start);
        return 0;
    }
    if (!g_options.sheet.empty()) {
        const RenderImage sheet = contact_sheet(g_thumbnails, g_thumbnail_frames);
        if (!write_png(g_options.sheet, sheet, &error)) {
            std::fprintf(stderr, "crane-render: %s\n", error.c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "crane-render: saved %d frame(s) in %s\n", g_frames_saved,
                 g_options.out_dir.c_str());
    return 0;
}
