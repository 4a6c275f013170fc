#include <QVPlatform/media/detail/FFmpegLibrary.h>

#include <QVPlatform/base/Debug.h>

namespace platform::detail {

namespace {

std::string soname(const char* library, int major) {
    return "lib" + std::string(library) + ".so." + std::to_string(major);
}

// Resolves `name` in `lib` into `slot`, typed as the function it names.
template <class Function>
bool bind(void* lib, const char* name, Function& slot, std::string* why) {
    return bindFunction(lib, name, slot, "FFmpeg", why);
}

bool bindAvutil(void* lib, FFmpegFunctions& f, std::string* why) {
    return bind(lib, "av_log_set_level", f.av_log_set_level, why) && bind(lib, "av_dict_set", f.av_dict_set, why) &&
           bind(lib, "av_dict_free", f.av_dict_free, why) && bind(lib, "av_rescale_q", f.av_rescale_q, why) &&
           bind(lib, "av_frame_alloc", f.av_frame_alloc, why) && bind(lib, "av_frame_free", f.av_frame_free, why) &&
           bind(lib, "av_frame_unref", f.av_frame_unref, why) &&
           bind(lib, "av_frame_move_ref", f.av_frame_move_ref, why) &&
           bind(lib, "av_display_rotation_get", f.av_display_rotation_get, why);
}

bool bindSwscale(void* lib, FFmpegFunctions& f, std::string* why) {
    return bind(lib, "sws_getContext", f.sws_getContext, why) && bind(lib, "sws_scale", f.sws_scale, why) &&
           bind(lib, "sws_freeContext", f.sws_freeContext, why);
}

bool bindAvcodec(void* lib, FFmpegFunctions& f, std::string* why) {
    return bind(lib, "avcodec_alloc_context3", f.avcodec_alloc_context3, why) &&
           bind(lib, "avcodec_free_context", f.avcodec_free_context, why) &&
           bind(lib, "avcodec_parameters_to_context", f.avcodec_parameters_to_context, why) &&
           bind(lib, "avcodec_open2", f.avcodec_open2, why) &&
           bind(lib, "avcodec_flush_buffers", f.avcodec_flush_buffers, why) &&
           bind(lib, "avcodec_send_packet", f.avcodec_send_packet, why) &&
           bind(lib, "avcodec_receive_frame", f.avcodec_receive_frame, why) &&
           bind(lib, "av_packet_alloc", f.av_packet_alloc, why) && bind(lib, "av_packet_free", f.av_packet_free, why) &&
           bind(lib, "av_packet_unref", f.av_packet_unref, why);
}

bool bindAvformat(void* lib, FFmpegFunctions& f, std::string* why) {
    return bind(lib, "avformat_open_input", f.avformat_open_input, why) &&
           bind(lib, "avformat_close_input", f.avformat_close_input, why) &&
           bind(lib, "avformat_find_stream_info", f.avformat_find_stream_info, why) &&
           bind(lib, "av_find_best_stream", f.av_find_best_stream, why) &&
           bind(lib, "av_seek_frame", f.av_seek_frame, why) && bind(lib, "av_read_frame", f.av_read_frame, why) &&
           bind(lib, "av_stream_get_side_data", f.av_stream_get_side_data, why);
}

}  // namespace

FFmpegSonames FFmpegLibrary::compiledSonames() {
    return {.avutil = soname("avutil", LIBAVUTIL_VERSION_MAJOR),
            .swscale = soname("swscale", LIBSWSCALE_VERSION_MAJOR),
            .avcodec = soname("avcodec", LIBAVCODEC_VERSION_MAJOR),
            .avformat = soname("avformat", LIBAVFORMAT_VERSION_MAJOR)};
}

std::unique_ptr<FFmpegLibrary> FFmpegLibrary::open(const FFmpegSonames& sonames, std::string* why) {
    std::unique_ptr<FFmpegLibrary> library(new FFmpegLibrary());
    FFmpegFunctions& f = library->functions_;
    library->avutil_ = openLibrary(sonames.avutil, why);
    if (!library->avutil_ || !bindAvutil(library->avutil_.get(), f, why)) return nullptr;
    library->swscale_ = openLibrary(sonames.swscale, why);
    if (!library->swscale_ || !bindSwscale(library->swscale_.get(), f, why)) return nullptr;
    library->avcodec_ = openLibrary(sonames.avcodec, why);
    if (!library->avcodec_ || !bindAvcodec(library->avcodec_.get(), f, why)) return nullptr;
    library->avformat_ = openLibrary(sonames.avformat, why);
    if (!library->avformat_ || !bindAvformat(library->avformat_.get(), f, why)) return nullptr;
    return library;
}

const FFmpegFunctions* ffmpeg() {
    static const std::unique_ptr<FFmpegLibrary> library = [] {
        std::string why;
        auto opened = FFmpegLibrary::open(FFmpegLibrary::compiledSonames(), &why);
        if (opened) {
            opened->functions().av_log_set_level(AV_LOG_QUIET);
        } else {
            debugPrint("Video decoding is unavailable: " + why);
        }
        return opened;
    }();
    return library ? &library->functions() : nullptr;
}

}  // namespace platform::detail
