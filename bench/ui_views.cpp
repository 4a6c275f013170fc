// The view system beside Cairo and Pango used directly, on the same fonts:
// - rendering a 375 x 667 window at 2x holding 200 views (50 rounded, shadowed panels, each
//   with an image view and two labels), against drawing the same with Cairo and Pango; and
//   the same without shadows;
// - measuring a label (UILabel::sizeThatFits, with the layout cache) against Pango laying out
//   the same text in the same width.
#include "Compare.h"

#include <QVPlatform/graphics/TextLayout.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIWindow.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace platform;

constexpr int kColumns = 5, kRows = 10;
constexpr double kCellW = 75, kCellH = 66.7;

std::string title(int i) { return "Item " + std::to_string(i); }
std::string subtitle(int i) { return "中文 " + std::to_string(i * 37 % 1000); }

Bitmap thumbnail() {
    Bitmap b = Bitmap::make(60, 60);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            std::uint8_t* p = b.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 4), p[1] = static_cast<std::uint8_t>(y * 4), p[2] = 180, p[3] = 255;
        }
    }
    return b;
}

CGRect cell(int i) { return {{(i % kColumns) * kCellW + 4, (i / kColumns) * kCellH + 4}, {kCellW - 8, kCellH - 8}}; }

std::shared_ptr<UIWindow> window200(bool shadows) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {375, 667}});
    window->setBackgroundColor(UIColor::whiteColor());
    window->setHidden(false);
    const auto image = UIImage::imageWithBitmap(thumbnail(), 2);
    for (int i = 0; i < kColumns * kRows; ++i) {
        auto panel = std::make_shared<UIView>(cell(i));
        panel->setBackgroundColor(UIColor::colorWithWhite(0.96, 1));
        panel->layer()->setCornerRadius(6);
        panel->layer()->setShadowOpacity(shadows ? 0.3 : 0);
        panel->layer()->setShadowRadius(3);
        panel->layer()->setShadowOffset({0, 2});
        auto icon = std::make_shared<UIImageView>(CGRect{{4, 4}, {30, 30}});
        icon->setImage(image);
        icon->setContentMode(UIViewContentMode::scaleAspectFit);
        auto name = std::make_shared<UILabel>(CGRect{{4, 36}, {kCellW - 16, 12}});
        name->setFont(UIFont::boldSystemFontOfSize(10));
        name->setText(title(i));
        auto note = std::make_shared<UILabel>(CGRect{{36, 10}, {kCellW - 48, 14}});
        note->setFont(UIFont::systemFontOfSize(9));
        note->setText(subtitle(i));
        panel->addSubview(icon);
        panel->addSubview(name);
        panel->addSubview(note);
        window->addSubview(panel);
    }
    return window;
}

void renderOurs(benchmark::State& state) {
    const auto window = window200(state.range(0) != 0);
    window->renderBitmap(2);  // the first frame lays out and draws the labels
    for (auto _ : state) benchmark::DoNotOptimize(window->renderBitmap(2));
}

// --- The same scene drawn with Cairo and Pango directly ---

PangoFontMap* notoFontMap() {
    static PangoFontMap* map = [] {
        FcConfig* config = FcConfigCreate();
        for (const char* f : {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
                              "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"})
            FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(f));
        PangoFontMap* m = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m), config);
        FcConfigDestroy(config);
        return m;
    }();
    return map;
}

PangoContext* notoContext() {
    static PangoContext* context = [] {
        PangoContext* c = pango_font_map_create_context(notoFontMap());
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(c, o);
        cairo_font_options_destroy(o);
        return c;
    }();
    return context;
}

PangoLayout* layout(const std::string& text, double size, bool bold, double width) {
    PangoLayout* l = pango_layout_new(notoContext());
    PangoFontDescription* d = pango_font_description_from_string("Noto Sans CJK SC");
    pango_font_description_set_absolute_size(d, size * PANGO_SCALE);
    pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(l, d);
    pango_font_description_free(d);
    pango_layout_set_width(l, static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_END);
    pango_layout_set_text(l, text.c_str(), -1);
    return l;
}

void roundedRect(cairo_t* cr, CGRect r, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

// Three box blurs of an A8 surface, in place: about a Gaussian of the shadow radius.
void blur(cairo_surface_t* mask, int radius) {
    cairo_surface_flush(mask);
    const int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    std::vector<unsigned char> line(static_cast<std::size_t>(std::max(w, h)));
    const auto pass = [&](int count, int length, auto at) {
        for (int k = 0; k < count; ++k) {
            for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = *at(k, i);
            int sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += line[static_cast<std::size_t>(std::clamp(i, 0, length - 1))];
            for (int i = 0; i < length; ++i) {
                *at(k, i) = static_cast<unsigned char>(sum / (2 * radius + 1));
                sum += line[static_cast<std::size_t>(std::min(i + radius + 1, length - 1))];
                sum -= line[static_cast<std::size_t>(std::max(i - radius, 0))];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(h, w, [&](int y, int x) { return data + y * stride + x; });
        pass(w, h, [&](int x, int y) { return data + y * stride + x; });
    }
    cairo_surface_mark_dirty(mask);
}

struct PeerScene {
    cairo_surface_t* image;
    std::vector<PangoLayout*> titles, notes;

    PeerScene() {
        const Bitmap b = thumbnail();
        image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.width, b.height);
        unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < b.height; ++y) {
            for (int x = 0; x < b.width; ++x) {
                const std::uint8_t* p = b.pixel(x, y);
                auto* out = reinterpret_cast<std::uint32_t*>(data + y * stride) + x;
                *out = 0xFF000000u | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
            }
        }
        cairo_surface_mark_dirty(image);
        for (int i = 0; i < kColumns * kRows; ++i) {
            titles.push_back(layout(title(i), 10, true, kCellW - 16));
            notes.push_back(layout(subtitle(i), 9, false, kCellW - 48));
        }
    }
    ~PeerScene() {
        cairo_surface_destroy(image);
        for (auto* l : titles) g_object_unref(l);
        for (auto* l : notes) g_object_unref(l);
    }

    void draw(cairo_t* cr, bool shadows) const {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        for (int i = 0; i < kColumns * kRows; ++i) {
            const CGRect r = cell(i);
            if (shadows) shadow(cr, r);
            roundedRect(cr, r, 6);
            cairo_set_source_rgb(cr, 0.96, 0.96, 0.96);
            cairo_fill(cr);
            cairo_save(cr);
            cairo_translate(cr, r.minX() + 4, r.minY() + 4);
            cairo_scale(cr, 30.0 / 60, 30.0 / 60);
            cairo_set_source_surface(cr, image, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_move_to(cr, r.minX() + 4, r.minY() + 36);
            pango_cairo_show_layout(cr, titles[static_cast<std::size_t>(i)]);
            cairo_move_to(cr, r.minX() + 36, r.minY() + 10);
            pango_cairo_show_layout(cr, notes[static_cast<std::size_t>(i)]);
        }
    }

    // A blurred rounded rectangle 2 points below the panel, at 30% black.
    static void shadow(cairo_t* cr, CGRect r) {
        const int margin = 8, scale = 2;
        const int w = static_cast<int>((r.width() + 2 * margin) * scale), h = static_cast<int>((r.height() + 2 * margin) * scale);
        cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
        cairo_t* m = cairo_create(mask);
        cairo_scale(m, scale, scale);
        roundedRect(m, {{margin, margin}, r.size}, 6);
        cairo_fill(m);
        cairo_destroy(m);
        blur(mask, 3);
        cairo_save(cr);
        cairo_translate(cr, r.minX() - margin, r.minY() - margin + 2);
        cairo_scale(cr, 1.0 / scale, 1.0 / scale);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
        cairo_mask_surface(cr, mask, 0, 0);
        cairo_restore(cr);
        cairo_surface_destroy(mask);
    }
};

void renderPeer(benchmark::State& state) {
    const PeerScene scene;
    for (auto _ : state) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 750, 1334);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, 2, 2);
        scene.draw(cr, state.range(0) != 0);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
        cairo_surface_destroy(surface);
    }
}

// --- Label measurement ---

// 64 texts measured in turn (the cache holds them), or 2048 (more than the cache holds, so
// every measure lays the text out afresh).
std::vector<std::string> labelTexts(int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back("消息 " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog 你好世界");
    return texts;
}

void measureOurs(benchmark::State& state) {
    const auto texts = labelTexts(static_cast<int>(state.range(0)));
    auto label = std::make_shared<UILabel>();
    label->setNumberOfLines(0);
    std::size_t i = 0;
    for (auto _ : state) {
        label->setText(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(label->sizeThatFits({200, 0}));
    }
}

void measurePeer(benchmark::State& state) {
    const auto texts = labelTexts(static_cast<int>(state.range(0)));
    PangoLayout* l = layout("", 17, false, 200);
    pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_NONE);
    pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
    std::size_t i = 0;
    for (auto _ : state) {
        pango_layout_set_text(l, texts[i++ % texts.size()].c_str(), -1);
        PangoRectangle logical;
        pango_layout_get_extents(l, nullptr, &logical);
        benchmark::DoNotOptimize(logical);
    }
    g_object_unref(l);
}

}  // namespace

BENCHMARK(renderOurs)->Name("window_200_views_375x667@2x/ours")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(renderPeer)->Name("window_200_views_375x667@2x/peer")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(renderOurs)->Name("window_200_views_no_shadows/ours")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(renderPeer)->Name("window_200_views_no_shadows/peer")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(measureOurs)->Name("label_measure_200pt/ours")->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(measurePeer)->Name("label_measure_200pt/peer")->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(measureOurs)->Name("label_measure_200pt_cache_missed/ours")->Arg(2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(measurePeer)->Name("label_measure_200pt_cache_missed/peer")->Arg(2048)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
