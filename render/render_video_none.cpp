// Video in a build without FFmpeg's libraries (Windows: Debian has none for mingw-w64). Every
// request fails with the reason instead of writing something that is not the video asked for.
#include "render/render_video.h"

bool video_supported() {
    return false;
}

const char* video_kind(const std::string&) {
    return nullptr;
}

VideoWriter* video_open(const std::string&, int, int, int, std::string* error) {
    *error = "video is not available in this build";
    return nullptr;
}

bool video_add_frame(VideoWriter*, const unsigned char*) {
    return false;
}

bool video_finish(VideoWriter*, std::string* error) {
    *error = "video is not available in this build";
    return false;
}

void video_abandon(VideoWriter*) {}

std::string video_temp_path(const std::string& path) {
    return path + ".part";
}
