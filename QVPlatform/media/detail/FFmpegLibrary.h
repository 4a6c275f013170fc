// FFmpegLibrary: FFmpeg's four libraries (avutil, swscale, avcodec, avformat) opened at run
// time, with the functions the video-frame reader calls resolved into one typed table.
//
//   const FFmpegFunctions* av = ffmpeg();          // loads on the first call, once
//   if (!av) return fail("video decoding is unavailable");
//   av->avformat_open_input(&format, source, nullptr, &options);
//
// QVPlatform does not link FFmpeg: its ~130 dependent libraries would otherwise be loaded
// and relocated in every process that links us, before main, whether or not it ever reads
// a video. The libraries are opened by the exact sonames of the headers we compile against
// (same major version, same ABI) and stay loaded for the life of the process. When any of
// them or any function is missing, `ffmpeg()` answers null and says why once on the debug
// channel. Thread rule: `ffmpeg()` is callable from any thread; the table never changes.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

#include <QVPlatform/base/detail/SharedLibrary.h>

#include <memory>
#include <string>

namespace platform::detail {

// One pointer per FFmpeg function in use, each named and typed as the function itself.
struct FFmpegFunctions {
    // libavutil
    decltype(&::av_log_set_level) av_log_set_level = nullptr;
    decltype(&::av_dict_set) av_dict_set = nullptr;
    decltype(&::av_dict_free) av_dict_free = nullptr;
    decltype(&::av_rescale_q) av_rescale_q = nullptr;
    decltype(&::av_frame_alloc) av_frame_alloc = nullptr;
    decltype(&::av_frame_free) av_frame_free = nullptr;
    decltype(&::av_frame_unref) av_frame_unref = nullptr;
    decltype(&::av_frame_move_ref) av_frame_move_ref = nullptr;
    decltype(&::av_display_rotation_get) av_display_rotation_get = nullptr;
    // libswscale
    decltype(&::sws_getContext) sws_getContext = nullptr;
    decltype(&::sws_scale) sws_scale = nullptr;
    decltype(&::sws_freeContext) sws_freeContext = nullptr;
    // libavcodec
    decltype(&::avcodec_alloc_context3) avcodec_alloc_context3 = nullptr;
    decltype(&::avcodec_free_context) avcodec_free_context = nullptr;
    decltype(&::avcodec_parameters_to_context) avcodec_parameters_to_context = nullptr;
    decltype(&::avcodec_open2) avcodec_open2 = nullptr;
    decltype(&::avcodec_flush_buffers) avcodec_flush_buffers = nullptr;
    decltype(&::avcodec_send_packet) avcodec_send_packet = nullptr;
    decltype(&::avcodec_receive_frame) avcodec_receive_frame = nullptr;
    decltype(&::av_packet_alloc) av_packet_alloc = nullptr;
    decltype(&::av_packet_free) av_packet_free = nullptr;
    decltype(&::av_packet_unref) av_packet_unref = nullptr;
    // libavformat
    decltype(&::avformat_open_input) avformat_open_input = nullptr;
    decltype(&::avformat_close_input) avformat_close_input = nullptr;
    decltype(&::avformat_find_stream_info) avformat_find_stream_info = nullptr;
    decltype(&::av_find_best_stream) av_find_best_stream = nullptr;
    decltype(&::av_seek_frame) av_seek_frame = nullptr;
    decltype(&::av_read_frame) av_read_frame = nullptr;
    decltype(&::av_stream_get_side_data) av_stream_get_side_data = nullptr;
};

// The sonames to open, in dependency order.
struct FFmpegSonames {
    std::string avutil, swscale, avcodec, avformat;
};

class FFmpegLibrary {
public:
    // The sonames of the headers compiled against ("libavformat.so.59" for FFmpeg 5.1).
    static FFmpegSonames compiledSonames();
    // Opens the four libraries and resolves every function; null, with the reason in `why`
    // (the library or function that is missing), when any step fails.
    static std::unique_ptr<FFmpegLibrary> open(const FFmpegSonames& sonames, std::string* why);

    const FFmpegFunctions& functions() const { return functions_; }

private:
    FFmpegLibrary() = default;

    LibraryHandle avutil_, swscale_, avcodec_, avformat_;
    FFmpegFunctions functions_;
};

// The process's table: the compiled sonames opened on the first call (thread-safe, once),
// FFmpeg's own logging silenced; null when unavailable (reported once on the debug channel).
const FFmpegFunctions* ffmpeg();

}  // namespace platform::detail
