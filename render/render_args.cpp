#include "render/render_args.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// A whole decimal number from 1 to k_render_max_frame, nothing around it.
bool parse_count(const std::string& text, int* value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < 1 || v > k_render_max_frame) return false;
    *value = static_cast<int>(v);
    return true;
}

bool parse_frames(const std::string& text, std::vector<int>* frames, std::string* error) {
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = item.find('-');
        int first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!parse_count(item, &first)) {
                *error = "--frames: '" + item + "' is not a frame number from 1 to " +
                         std::to_string(k_render_max_frame);
                return false;
            }
            last = first;
        } else if (!parse_count(item.substr(0, dash), &first) ||
                   !parse_count(item.substr(dash + 1), &last) || last < first) {
            *error = "--frames: '" + item + "' is not a range A-B with 1 <= A <= B <= " +
                     std::to_string(k_render_max_frame);
            return false;
        }
        for (int f = first; f <= last; ++f)
            frames->push_back(f);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

bool parse_key(const std::string& text, RenderKey* key, std::string* error) {
    const size_t colon = text.find(':');
    const std::string name = colon == std::string::npos ? "" : text.substr(colon + 1);
    if (colon == std::string::npos || !parse_count(text.substr(0, colon), &key->frame)) {
        *error = "--key: '" + text + "' is not N:c with a frame number N";
        return false;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        key->key = static_cast<unsigned char>(name[0]);
    } else if (name == "Escape" || name == "Esc") {
        key->key = 27;
    } else if (name == "Return") {
        key->key = 13;
    } else if (name == "Space") {
        key->key = 32;
    } else {
        *error = "--key: '" + name + "' is not a key (a letter or digit, Escape, Return or Space)";
        return false;
    }
    return true;
}

bool parse_size(const std::string& text, int* width, int* height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!parse_count(text.substr(0, x), &w) || !parse_count(text.substr(x + 1), &h)) return false;
    if (w > 4096 || h > 4096) return false;
    *width = w;
    *height = h;
    return true;
}

} // namespace

bool video_name_usable(const std::string& path) {
    for (const char* extension : {".mp4", ".webm", ".webp"}) {
        const size_t n = std::strlen(extension);
        if (path.size() > n && path.compare(path.size() - n, n, extension) == 0) return true;
    }
    return false;
}

const char* render_usage() {
    // The Windows build has no video encoder, so its text offers none.
    return "Usage: crane-render [options]\n"
#ifdef _WIN32
           "Draws the crane animation off-screen and saves chosen frames as PNG files.\n"
#else
           "Draws the crane animation off-screen and saves chosen frames as PNG files\n"
           "or as a video.\n"
#endif
           "Frames count the frames drawn since start. The program's own frame number (the\n"
           "console report's) runs 1, 2, ..., 1050, 0, 1, ...: a pass is 1051 frames, so\n"
           "frames 1 to 1051 are the first pass, ending with the program's frame 0, and\n"
           "frame N shows the program's frame N modulo 1051. Mesh files are read from the\n"
           "working directory.\n"
           "\n"
           "  --frames N[,N|A-B...]  frames to save (every earlier frame is drawn too)\n"
           "  --out DIR              folder for frame-NNNN.png (default: the current one)\n"
           "  --key N:c              press key c before frame N (p, o, i, Escape, ...);\n"
           "                         may be given several times\n"
           "  --size WxH             size of the picture (default 632x425)\n"
           "  --sheet FILE           also write a contact sheet of the saved frames\n"
           "  --bench N              draw N frames, save none, print the frame rate\n"
#ifndef _WIN32
           "  --video FILE           encode the frames into a video instead of PNG files:\n"
           "                         FILE.mp4 (H.264), FILE.webm (VP9) or FILE.webp\n"
           "                         (animated WebP); without --frames, one whole pass,\n"
           "                         frames 1-1051. H.264 is 4:2:0, High profile: an odd\n"
           "                         width or height grows by one, repeating the last\n"
           "                         column or row (632x425 is written as 632x426)\n"
           "  --fps N                frames per second of the video (default 30)\n"
           "  --gl mesa|gles3        the GL that draws: mesa (default), Mesa's own OpenGL\n"
           "                         with its fixed-function pipeline; gles3, the program's\n"
           "                         GL 1.1 calls carried out by crane's own layer over\n"
           "                         OpenGL ES 3 (as in the web build), for drivers that\n"
           "                         offer only GLES\n"
#endif
           "  --help                 this text\n"
           "  --version              the version of crane-render\n";
}

bool parse_render_args(int argc, const char* const* argv, RenderOptions* options,
                       std::string* error) {
    *options = RenderOptions();
    options->out_dir = ".";
    options->width = 632;
    options->height = 425;
    options->fps = 30;
    bool have_frames = false, have_out = false, have_fps = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool inline_value = false;
        const size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inline_value = true;
        }
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            if (inline_value) {
                *error = arg + " takes no value";
                return false;
            }
            (arg == "--version" ? options->version : options->help) = true;
            continue;
        }
        const bool known = arg == "--frames" || arg == "--out" || arg == "--key" ||
                           arg == "--size" || arg == "--sheet" || arg == "--bench" ||
                           arg == "--video" || arg == "--fps" || arg == "--gl";
        if (!known) {
            *error = "unknown argument '" + std::string(argv[i]) + "'";
            return false;
        }
        if (!inline_value) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (arg == "--frames") {
            if (!parse_frames(value, &options->frames, error)) return false;
            have_frames = true;
        } else if (arg == "--out") {
            if (value.empty()) {
                *error = "--out needs a folder";
                return false;
            }
            options->out_dir = value;
            have_out = true;
        } else if (arg == "--key") {
            RenderKey key;
            if (!parse_key(value, &key, error)) return false;
            options->keys.push_back(key);
        } else if (arg == "--size") {
            if (!parse_size(value, &options->width, &options->height)) {
                *error = "--size: '" + value + "' is not WxH with 1 to 4096 pixels each way";
                return false;
            }
        } else if (arg == "--sheet") {
            if (value.empty()) {
                *error = "--sheet needs a file name";
                return false;
            }
            options->sheet = value;
        } else if (arg == "--video") {
            if (!video_name_usable(value)) {
                *error = "--video: '" + value +
                         "' does not end in .mp4 (H.264), .webm (VP9) or .webp (animated WebP)";
                return false;
            }
            options->video = value;
        } else if (arg == "--fps") {
            if (!parse_count(value, &options->fps) || options->fps > 240) {
                *error = "--fps: '" + value + "' is not a whole number from 1 to 240";
                return false;
            }
            have_fps = true;
        } else if (arg == "--gl") {
            if (value != "mesa" && value != "gles3") {
                *error = "--gl: '" + value + "' is not mesa or gles3";
                return false;
            }
            options->gles3 = value == "gles3";
        } else if (arg == "--bench") {
            if (!parse_count(value, &options->bench)) {
                *error = "--bench: '" + value + "' is not a frame count from 1 to " +
                         std::to_string(k_render_max_frame);
                return false;
            }
        }
    }
    if (options->help || options->version) return true;
    std::sort(options->frames.begin(), options->frames.end());
    options->frames.erase(std::unique(options->frames.begin(), options->frames.end()),
                          options->frames.end());
    if (options->bench > 0 && (have_frames || have_out || !options->sheet.empty())) {
        *error = "--bench saves no pictures: it cannot be combined with --frames, --out or --sheet";
        return false;
    }
    if (!options->video.empty()) {
        if (options->bench > 0 || have_out || !options->sheet.empty()) {
            *error = "--video saves no pictures and times nothing: it cannot be combined with "
                     "--bench, --out or --sheet";
            return false;
        }
        if (!have_frames)
            for (int f = 1; f <= k_render_pass_frames; ++f)
                options->frames.push_back(f);
        for (const RenderKey& key : options->keys) {
            if (key.key == 27) {
                *error = "--key: Escape ends the program at once, before the video is complete";
                return false;
            }
        }
    } else if (have_fps) {
        *error = "--fps needs --video";
        return false;
    }
    if (options->bench == 0 && !have_frames && options->video.empty()) {
        *error = "nothing to do: give --frames, --video or --bench";
        return false;
    }
    const int last = render_last_frame(*options);
    for (const RenderKey& key : options->keys) {
        if (key.frame > last) {
            *error = "--key: frame " + std::to_string(key.frame) + " comes after the last frame " +
                     std::to_string(last);
            return false;
        }
    }
    return true;
}

int render_last_frame(const RenderOptions& options) {
    if (options.bench > 0) return options.bench;
    return options.frames.empty() ? 0 : options.frames.back();
}
