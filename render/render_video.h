// Video files of crane-render: frames handed over as RGBA pictures are converted and encoded
// on a thread of their own with FFmpeg's libraries, so that drawing and encoding overlap. The
// file appears under its name only when it is complete.
#pragma once

#include <string>

struct VideoWriter;

// False in a build without FFmpeg (Windows), where video_open always fails.
bool video_supported();

// The container and codec the file name's extension chooses: ".mp4" (H.264), ".webm" (VP9)
// or ".webp" (animated WebP). Null for any other name.
const char* video_kind(const std::string& path);

// Opens path's temporary sibling for writing and starts the encoder thread. Null with the
// reason in error when the file cannot be written or no encoder serves the format.
VideoWriter* video_open(const std::string& path, int width, int height, int fps,
                        std::string* error);
// Hands over one frame (width * 4 bytes a row, top row first); copies it and returns at once
// unless the encoder is several frames behind. False once encoding has failed.
bool video_add_frame(VideoWriter* writer, const unsigned char* rgba);
// Encodes what is left, completes the file and gives it its name. False with the reason in
// error, and nothing left behind, when any step failed. Frees the writer either way.
bool video_finish(VideoWriter* writer, std::string* error);
// Stops encoding and removes the temporary file. Frees the writer.
void video_abandon(VideoWriter* writer);
// The temporary name the video of path is written under until it is complete.
std::string video_temp_path(const std::string& path);
