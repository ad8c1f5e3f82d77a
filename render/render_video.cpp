#include "render/render_video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct VideoFormat {
    const char* extension;
    const char* muxer;
    const char* encoder;
    const char* kind;
};

const VideoFormat k_formats[] = {
    {".mp4", "mp4", "libx264", "H.264 in MP4"},
    {".webm", "webm", "libvpx-vp9", "VP9 in WebM"},
    {".webp", "webp", "libwebp_anim", "animated WebP"},
};

// Frames waiting for the encoder; drawing waits when it is this far ahead.
const size_t k_queue_limit = 6;

const VideoFormat* format_for(const std::string& path) {
    for (const VideoFormat& f : k_formats) {
        const size_t n = std::strlen(f.extension);
        if (path.size() > n && path.compare(path.size() - n, n, f.extension) == 0) return &f;
    }
    return nullptr;
}

std::string av_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

struct VideoWriter {
    std::string path;
    std::string temp_path;
    int width = 0;
    int height = 0;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t next_pts = 0;
    bool file_open = false;

    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<unsigned char>> queue;
    std::vector<std::vector<unsigned char>> spare;
    bool closing = false;
    bool failed = false; // set by the encoder thread, read under the mutex
    std::string error;
};

namespace {

// Sends one frame (null: the end) and writes every packet the encoder has ready.
bool encode(VideoWriter* w, AVFrame* frame, std::string* error) {
    int rc = avcodec_send_frame(w->codec, frame);
    if (rc < 0) {
        *error = "encoding failed: " + av_text(rc);
        return false;
    }
    while (true) {
        rc = avcodec_receive_packet(w->codec, w->packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) {
            *error = "encoding failed: " + av_text(rc);
            return false;
        }
        av_packet_rescale_ts(w->packet, w->codec->time_base, w->stream->time_base);
        w->packet->stream_index = w->stream->index;
        rc = av_interleaved_write_frame(w->format, w->packet);
        if (rc < 0) {
            *error = "cannot write " + w->path + ": " + av_text(rc);
            return false;
        }
    }
}

// RGBA to Y at full size and Cb and Cr at half size each way (4:2:0), with the BT.601 matrix in
// limited range, as swscale converts, in a fraction of its time: this runs once a pixel on every
// frame of every H.264 video. The frame may be a row and a column larger than the picture; its
// last row and column then repeat the picture's.
inline uint8_t luma_of(int r, int g, int b) {
    return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

void rgba_to_yuv420(const unsigned char* rgba, int width, int height, AVFrame* frame) {
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int y = 0; y < frame->height; ++y) {
        const unsigned char* p = rgba + std::min(y, height - 1) * stride;
        uint8_t* luma = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < width; ++x)
            luma[x] = luma_of(p[4 * x], p[4 * x + 1], p[4 * x + 2]);
        for (int x = width; x < frame->width; ++x)
            luma[x] = luma[width - 1];
    }
    for (int y = 0; 2 * y < frame->height; ++y) {
        const unsigned char* top = rgba + std::min(2 * y, height - 1) * stride;
        const unsigned char* bottom = rgba + std::min(2 * y + 1, height - 1) * stride;
        uint8_t* cb = frame->data[1] + static_cast<ptrdiff_t>(y) * frame->linesize[1];
        uint8_t* cr = frame->data[2] + static_cast<ptrdiff_t>(y) * frame->linesize[2];
        for (int x = 0; 2 * x < frame->width; ++x) {
            const int left = 4 * std::min(2 * x, width - 1);
            const int right = 4 * std::min(2 * x + 1, width - 1);
            const int r = top[left] + top[right] + bottom[left] + bottom[right];
            const int g = top[left + 1] + top[right + 1] + bottom[left + 1] + bottom[right + 1];
            const int b = top[left + 2] + top[right + 2] + bottom[left + 2] + bottom[right + 2];
            // The sums are four times the mean: the matrix's shift takes two more bits.
            cb[x] = static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 512) >> 10) + 128);
            cr[x] = static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 512) >> 10) + 128);
        }
    }
}

bool encode_picture(VideoWriter* w, const unsigned char* rgba, std::string* error) {
    int rc = av_frame_make_writable(w->frame);
    if (rc < 0) {
        *error = "encoding failed: " + av_text(rc);
        return false;
    }
    if (!w->sws) {
        rgba_to_yuv420(rgba, w->width, w->height, w->frame);
    } else {
        const uint8_t* src[1] = {rgba};
        const int stride[1] = {w->width * 4};
        sws_scale(w->sws, src, stride, 0, w->height, w->frame->data, w->frame->linesize);
    }
    w->frame->pts = w->next_pts++;
    return encode(w, w->frame, error);
}

void encoder_thread(VideoWriter* w) {
    std::unique_lock<std::mutex> lock(w->mutex);
    while (true) {
        w->changed.wait(lock, [w] { return !w->queue.empty() || w->closing; });
        if (w->queue.empty()) return; // closing, and everything handed over is encoded
        std::vector<unsigned char> picture = std::move(w->queue.front());
        w->queue.pop_front();
        const bool skip = w->failed;
        lock.unlock();
        std::string error;
        const bool ok = skip || encode_picture(w, picture.data(), &error);
        lock.lock();
        if (!ok) {
            w->failed = true;
            w->error = error;
        }
        w->spare.push_back(std::move(picture));
        w->changed.notify_all();
    }
}

void stop_thread(VideoWriter* w) {
    if (!w->thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(w->mutex);
        w->closing = true;
    }
    w->changed.notify_all();
    w->thread.join();
}

void release(VideoWriter* w) {
    if (w->file_open) avio_closep(&w->format->pb);
    if (!w->temp_path.empty()) std::remove(w->temp_path.c_str());
    sws_freeContext(w->sws);
    av_frame_free(&w->frame);
    av_packet_free(&w->packet);
    avcodec_free_context(&w->codec);
    avformat_free_context(w->format);
    delete w;
}

bool is_h264(const VideoFormat& f) {
    return std::strcmp(f.encoder, "libx264") == 0;
}

// Encoder settings per codec. H.264 takes libx264's fastest preset so that encoding keeps pace
// with drawing on a two-core machine whose cores the software rasteriser already uses; the
// quality target stays at libx264's default (constant rate factor 23), which costs file size
// rather than picture quality. That preset alone makes a Constrained Baseline stream; the 8x8
// transform makes it High, the profile that players expect of 4:2:0 video.
void encoder_options(const VideoFormat& f, AVDictionary** options) {
    if (is_h264(f)) {
        av_dict_set(options, "preset", "ultrafast", 0);
        av_dict_set(options, "profile", "high", 0);
        av_dict_set(options, "8x8dct", "1", 0);
    } else if (std::strcmp(f.encoder, "libvpx-vp9") == 0) {
        av_dict_set(options, "crf", "32", 0);
        av_dict_set(options, "b", "0", 0);
        av_dict_set(options, "deadline", "realtime", 0);
        av_dict_set(options, "cpu-used", "8", 0);
        av_dict_set(options, "row-mt", "1", 0);
    } else if (std::strcmp(f.encoder, "libwebp_anim") == 0) {
        av_dict_set(options, "quality", "50", 0);
    }
}

// Every format is 4:2:0, the one that browsers and hardware decoders all play. H.264 holds it
// only in even sizes, so an odd side grows by one, repeating the picture's last row or column.
int coded_size(const VideoFormat& f, int size) {
    return is_h264(f) ? size + size % 2 : size;
}

} // namespace

bool video_supported() {
    return true;
}

std::string video_temp_path(const std::string& path) {
    return path + ".part";
}

const char* video_kind(const std::string& path) {
    const VideoFormat* f = format_for(path);
    return f ? f->kind : nullptr;
}

VideoWriter* video_open(const std::string& path, int width, int height, int fps,
                        std::string* error) {
    const VideoFormat* f = format_for(path);
    if (!f) {
        *error = "cannot tell the video format of " + path + " (use .mp4, .webm or .webp)";
        return nullptr;
    }
    av_log_set_level(AV_LOG_ERROR);
    VideoWriter* w = new VideoWriter;
    w->path = path;
    w->width = width;
    w->height = height;

    const AVCodec* encoder = avcodec_find_encoder_by_name(f->encoder);
    if (!encoder) {
        *error = std::string("this FFmpeg has no ") + f->encoder + " encoder for " + f->kind;
        release(w);
        return nullptr;
    }
    int rc = avformat_alloc_output_context2(&w->format, nullptr, f->muxer, nullptr);
    if (rc < 0) {
        *error = std::string("this FFmpeg cannot write ") + f->kind + ": " + av_text(rc);
        release(w);
        return nullptr;
    }
    w->stream = avformat_new_stream(w->format, nullptr);
    w->codec = avcodec_alloc_context3(encoder);
    w->frame = av_frame_alloc();
    w->packet = av_packet_alloc();
    if (!w->stream || !w->codec || !w->frame || !w->packet) {
        *error = "out of memory";
        release(w);
        return nullptr;
    }
    AVCodecContext* c = w->codec;
    c->width = coded_size(*f, width);
    c->height = coded_size(*f, height);
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    // The conversion's matrix and range (BT.601, limited), from sRGB pictures.
    c->colorspace = AVCOL_SPC_SMPTE170M;
    c->color_range = AVCOL_RANGE_MPEG;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_IEC61966_2_1;
    if (w->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    encoder_options(*f, &options);
    rc = avcodec_open2(c, encoder, &options);
    av_dict_free(&options);
    if (rc < 0) {
        *error = std::string("cannot start the ") + f->encoder + " encoder: " + av_text(rc);
        release(w);
        return nullptr;
    }
    avcodec_parameters_from_context(w->stream->codecpar, c);
    w->stream->time_base = c->time_base;
    w->stream->avg_frame_rate = c->framerate;

    w->frame->format = c->pix_fmt;
    w->frame->width = c->width;
    w->frame->height = c->height;
    rc = av_frame_get_buffer(w->frame, 0);
    // H.264 converts with its own loop; the other formats, whose sizes are the picture's, with
    // swscale.
    if (!is_h264(*f))
        w->sws = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, c->pix_fmt,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (rc < 0 || (!is_h264(*f) && !w->sws)) {
        *error = "cannot set up the picture conversion";
        release(w);
        return nullptr;
    }

    // Written under a temporary name; the real name appears only once the file is complete.
    const std::string temp_path = video_temp_path(path);
    rc = avio_open(&w->format->pb, temp_path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        *error = "cannot write " + path + ": " + av_text(rc);
        release(w);
        return nullptr;
    }
    w->file_open = true;
    w->temp_path = temp_path;
    w->format->url = av_strdup(temp_path.c_str());
    AVDictionary* mux_options = nullptr;
    // The index at the front, so that a player can start before the whole file has arrived.
    if (std::strcmp(f->muxer, "mp4") == 0) av_dict_set(&mux_options, "movflags", "+faststart", 0);
    // An animated picture plays over and over, as the program does.
    if (std::strcmp(f->muxer, "webp") == 0) av_dict_set(&mux_options, "loop", "0", 0);
    rc = avformat_write_header(w->format, &mux_options);
    av_dict_free(&mux_options);
    if (rc < 0) {
        *error = "cannot write " + path + ": " + av_text(rc);
        release(w);
        return nullptr;
    }
    w->thread = std::thread(encoder_thread, w);
    return w;
}

bool video_add_frame(VideoWriter* w, const unsigned char* rgba) {
    const size_t size = static_cast<size_t>(w->width) * w->height * 4;
    std::unique_lock<std::mutex> lock(w->mutex);
    w->changed.wait(lock, [w] { return w->queue.size() < k_queue_limit || w->failed; });
    if (w->failed) return false;
    std::vector<unsigned char> picture;
    if (!w->spare.empty()) {
        picture = std::move(w->spare.back());
        w->spare.pop_back();
    }
    lock.unlock();
    picture.assign(rgba, rgba + size);
    lock.lock();
    w->queue.push_back(std::move(picture));
    w->changed.notify_all();
    return true;
}

bool video_finish(VideoWriter* w, std::string* error) {
    stop_thread(w);
    if (w->failed) {
        *error = w->error;
        release(w);
        return false;
    }
    if (!encode(w, nullptr, error)) {
        release(w);
        return false;
    }
    int rc = av_write_trailer(w->format);
    if (rc >= 0 && w->format->pb->error < 0) rc = w->format->pb->error;
    const int close_rc = avio_closep(&w->format->pb);
    w->file_open = false;
    if (rc >= 0) rc = close_rc;
    if (rc < 0) {
        *error = "cannot write " + w->path + ": " + av_text(rc);
        release(w);
        return false;
    }
    if (std::rename(w->temp_path.c_str(), w->path.c_str()) != 0) {
        *error = "cannot write " + w->path + ": " + std::strerror(errno);
        release(w);
        return false;
    }
    w->temp_path.clear();
    release(w);
    return true;
}

void video_abandon(VideoWriter* w) {
    stop_thread(w);
    release(w);
}
