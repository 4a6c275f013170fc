// Writes a tiny QuickTime video (Motion JPEG, full-range) for the video-frame tests: 64×32
// pixels, 10 frames a second. Frame i has its left half at grey level 20 + 8·i and its right half at 250, so a test can
// tell which frame it got and which way up it is. `clockwiseRotation` is stored as the track's
// display matrix the way a phone's portrait recording reads back (the demuxer reports a
// counterclockwise angle of -90 for a quarter turn clockwise; the muxer stores the matrix it is
// given transposed, hence the sign below).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <cstring>
#include <string>

namespace qvtest {

inline bool writeTestVideo(const std::string& path, int frames, int clockwiseRotation) {
    constexpr int kWidth = 64, kHeight = 32;
    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, "mov", path.c_str()) < 0) return false;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVStream* stream = codec ? avformat_new_stream(out, nullptr) : nullptr;
    AVCodecContext* c = codec ? avcodec_alloc_context3(codec) : nullptr;
    bool ok = stream && c;
    if (ok) {
        c->width = kWidth;
        c->height = kHeight;
        c->time_base = {1, 10};
        c->framerate = {10, 1};
        c->pix_fmt = AV_PIX_FMT_YUVJ420P;
        c->gop_size = 5;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 2;
        if (out->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ok = avcodec_open2(c, codec, nullptr) >= 0 && avcodec_parameters_from_context(stream->codecpar, c) >= 0;
    }
    if (ok) {
        stream->time_base = c->time_base;
        if (clockwiseRotation != 0) {
            auto* matrix = reinterpret_cast<int32_t*>(
                av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
            if (matrix) av_display_rotation_set(matrix, clockwiseRotation);
        }
        ok = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const auto writePackets = [&] {
        while (avcodec_receive_packet(c, packet) == 0) {
            av_packet_rescale_ts(packet, c->time_base, stream->time_base);
            packet->stream_index = stream->index;
            av_interleaved_write_frame(out, packet);
        }
    };
    for (int i = 0; ok && i < frames; ++i) {
        frame->format = c->pix_fmt;
        frame->width = kWidth;
        frame->height = kHeight;
        if (av_frame_get_buffer(frame, 0) < 0) ok = false;
        for (int y = 0; ok && y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(x < kWidth / 2 ? 20 + 8 * i : 250);
        }
        for (int y = 0; ok && y < kHeight / 2; ++y) {
            std::memset(frame->data[1] + y * frame->linesize[1], 128, kWidth / 2);
            std::memset(frame->data[2] + y * frame->linesize[2], 128, kWidth / 2);
        }
        frame->pts = i;
        if (ok && avcodec_send_frame(c, frame) >= 0) writePackets();
        av_frame_unref(frame);
    }
    if (ok) {
        avcodec_send_frame(c, nullptr);
        writePackets();
        ok = av_write_trailer(out) >= 0;
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    if (out->pb) avio_closep(&out->pb);
    avformat_free_context(out);
    return ok;
}

}  // namespace qvtest
