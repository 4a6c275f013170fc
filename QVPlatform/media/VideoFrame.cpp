#include <QVPlatform/media/VideoFrame.h>

#include <QVPlatform/media/detail/FFmpegLibrary.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace platform {

namespace {

using detail::FFmpegFunctions;

// Owners of FFmpeg's objects, freed through the loaded table.
struct FormatCloser {
    const FFmpegFunctions* av;
    void operator()(AVFormatContext* c) const { av->avformat_close_input(&c); }
};
struct CodecCloser {
    const FFmpegFunctions* av;
    void operator()(AVCodecContext* c) const { av->avcodec_free_context(&c); }
};
struct FrameCloser {
    const FFmpegFunctions* av;
    void operator()(AVFrame* f) const { av->av_frame_free(&f); }
};
struct PacketCloser {
    const FFmpegFunctions* av;
    void operator()(AVPacket* p) const { av->av_packet_free(&p); }
};
struct ScaleCloser {
    const FFmpegFunctions* av;
    void operator()(SwsContext* s) const { av->sws_freeContext(s); }
};
struct DictionaryCloser {
    const FFmpegFunctions* av;
    void operator()(AVDictionary* d) const { av->av_dict_free(&d); }
};

std::optional<VideoFrame> fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return std::nullopt;
}

// What FFmpeg is asked to open: URLs as they are, paths through the file protocol (so that a
// colon in a file name is not read as a protocol).
std::string sourceOf(std::string_view pathOrURL) {
    if (pathOrURL.starts_with("http://") || pathOrURL.starts_with("https://")) return std::string(pathOrURL);
    if (pathOrURL.starts_with("file://")) return "file:" + std::string(pathOrURL.substr(7));
    return "file:" + std::string(pathOrURL);
}

// Clockwise display rotation of the stream: 0, 90, 180 or 270.
int clockwiseRotation(const FFmpegFunctions& av, const AVStream* stream) {
    size_t size = 0;
    const uint8_t* matrix = av.av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) return 0;
    const double counterClockwise = av.av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(counterClockwise)) return 0;
    int degrees = static_cast<int>(std::lround(-counterClockwise / 90.0)) * 90;
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

VideoFrame rotated(const VideoFrame& in, int clockwise) {
    if (clockwise == 0) return in;
    VideoFrame out;
    const bool swap = clockwise != 180;
    out.width = swap ? in.height : in.width;
    out.height = swap ? in.width : in.height;
    out.rgba.resize(in.rgba.size());
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            int nx = x, ny = y;
            if (clockwise == 90) { nx = in.height - 1 - y; ny = x; }
            if (clockwise == 180) { nx = in.width - 1 - x; ny = in.height - 1 - y; }
            if (clockwise == 270) { nx = y; ny = in.width - 1 - x; }
            const auto from = (static_cast<std::size_t>(y) * in.width + x) * 4;
            const auto to = (static_cast<std::size_t>(ny) * out.width + nx) * 4;
            for (int c = 0; c < 4; ++c) out.rgba[to + c] = in.rgba[from + c];
        }
    }
    return out;
}

std::optional<VideoFrame> toRGBA(const FFmpegFunctions& av, const AVFrame& frame, std::string* error) {
    if (frame.width <= 0 || frame.height <= 0) return fail(error, "the decoded frame is empty");
    SwsContext* rawScale = av.sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format),
                                             frame.width, frame.height, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr,
                                             nullptr, nullptr);
    std::unique_ptr<SwsContext, ScaleCloser> scale(rawScale, {&av});
    if (!scale) return fail(error, "cannot convert the frame's pixel format");
    VideoFrame out;
    out.width = frame.width;
    out.height = frame.height;
    out.rgba.resize(static_cast<std::size_t>(frame.width) * frame.height * 4);
    uint8_t* planes[4] = {out.rgba.data(), nullptr, nullptr, nullptr};
    int strides[4] = {frame.width * 4, 0, 0, 0};
    av.sws_scale(scale.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    return out;
}

}  // namespace

std::optional<VideoFrame> copyVideoFrame(std::string_view pathOrURL, double seconds, bool applyTrackTransform,
                                         std::string* error) {
    if (pathOrURL.empty()) return fail(error, "no video given");
    const FFmpegFunctions* table = detail::ffmpeg();
    if (!table) return fail(error, "video decoding is unavailable: FFmpeg cannot be loaded");
    const FFmpegFunctions& av = *table;
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    // Past any real video (about three years), so the target stays far inside 64 bits in any
    // time base: a later time asks for the last frame, as any time past the end does.
    seconds = std::min(seconds, 1e8);

    AVDictionary* rawOptions = nullptr;
    av.av_dict_set(&rawOptions, "protocol_whitelist", "file,http,https,tcp,tls,crypto", 0);
    av.av_dict_set(&rawOptions, "rw_timeout", "15000000", 0);  // microseconds
    AVFormatContext* rawFormat = nullptr;
    const std::string source = sourceOf(pathOrURL);
    const int opened = av.avformat_open_input(&rawFormat, source.c_str(), nullptr, &rawOptions);
    std::unique_ptr<AVDictionary, DictionaryCloser> options(rawOptions, {&av});
    if (opened < 0) return fail(error, "cannot open " + std::string(pathOrURL));
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat, {&av});
    if (av.avformat_find_stream_info(format.get(), nullptr) < 0) return fail(error, "cannot read the stream information");

    const AVCodec* decoder = nullptr;
    const int index = av.av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) return fail(error, "no decodable video track");
    AVStream* stream = format->streams[index];
    std::unique_ptr<AVCodecContext, CodecCloser> codec(av.avcodec_alloc_context3(decoder), {&av});
    if (!codec || av.avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0 ||
        av.avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return fail(error, "cannot open the video decoder");
    }

    // The target in stream units; seek to the key frame at or before it.
    const std::int64_t target = av.av_rescale_q(static_cast<std::int64_t>(std::llround(seconds * AV_TIME_BASE)),
                                                AV_TIME_BASE_Q, stream->time_base);
    const std::int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    av.av_seek_frame(format.get(), index, start + target, AVSEEK_FLAG_BACKWARD);
    av.avcodec_flush_buffers(codec.get());

    std::unique_ptr<AVPacket, PacketCloser> packet(av.av_packet_alloc(), {&av});
    std::unique_ptr<AVFrame, FrameCloser> frame(av.av_frame_alloc(), {&av});
    std::unique_ptr<AVFrame, FrameCloser> chosen(av.av_frame_alloc(), {&av});
    if (!packet || !frame || !chosen) return fail(error, "out of memory");
    bool haveChosen = false;
    bool done = false;
    // Takes every decoded frame: the last one at or before the target wins; the first one
    // past it ends the search (and is used when nothing came before it).
    const auto drain = [&]() {
        while (!done && av.avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            const std::int64_t pts = frame->best_effort_timestamp == AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
            const bool past = pts != AV_NOPTS_VALUE && pts > start + target;
            if (past && haveChosen) {
                done = true;
            } else {
                av.av_frame_unref(chosen.get());
                av.av_frame_move_ref(chosen.get(), frame.get());
                haveChosen = true;
                done = past;
            }
            av.av_frame_unref(frame.get());
        }
    };
    while (!done && av.av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == index) av.avcodec_send_packet(codec.get(), packet.get());
        av.av_packet_unref(packet.get());
        drain();
    }
    if (!done) {
        av.avcodec_send_packet(codec.get(), nullptr);  // end of stream: flush the decoder
        drain();
    }
    if (!haveChosen) return fail(error, "no frame could be decoded");
    auto rgba = toRGBA(av, *chosen, error);
    if (!rgba) return std::nullopt;
    return applyTrackTransform ? rotated(*rgba, clockwiseRotation(av, stream)) : std::move(*rgba);
}

}  // namespace platform
