// Generated SVG documents for the SVG benchmarks, inside the subset both renderers draw the
// same way (paths, polygons, basic shapes, groups, transforms; no arcs, gradients or CSS).
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace svgbench {

inline std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

// A large drawing: `paths` closed curved shapes in groups, each with its own fill and stroke.
inline std::string largeDrawing(int paths) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> at(0, 1000), step(-30, 30), channel(0, 255);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"1000\" viewBox=\"0 0 1000 1000\">\n";
    for (int i = 0; i < paths; ++i) {
        if (i % 50 == 0) svg += i == 0 ? "<g stroke-width=\"1\">\n" : "</g>\n<g stroke-width=\"1\">\n";
        const double x = at(random), y = at(random);
        svg += "<path fill=\"rgb(" + number(channel(random)) + "," + number(channel(random)) + "," +
               number(channel(random)) + ")\" stroke=\"#222\" d=\"M" + number(x) + " " + number(y);
        for (int k = 0; k < 4; ++k) {
            svg += " c" + number(step(random)) + "," + number(step(random)) + " " + number(step(random)) + "," +
                   number(step(random)) + " " + number(step(random)) + "," + number(step(random));
        }
        svg += " z\"/>\n";
    }
    svg += "</g>\n</svg>\n";
    return svg;
}

// A map: `regions` polygons with long coordinate lists (`points` points each).
inline std::string map(int regions, int points) {
    std::mt19937 random(9);
    std::uniform_real_distribution<double> jitter(-2, 2), channel(100, 230);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1200\" height=\"800\" viewBox=\"0 0 1200 800\">\n";
    for (int r = 0; r < regions; ++r) {
        const double cx = 60 + (r % 10) * 110, cy = 60 + (r / 10) * 110, radius = 50;
        svg += "<polygon fill=\"rgb(" + number(channel(random)) + "," + number(channel(random)) + ",120)\" stroke=\"white\" points=\"";
        for (int p = 0; p < points; ++p) {
            const double a = 6.283185307179586 * p / points;
            svg += number(cx + (radius + jitter(random)) * std::cos(a)) + "," +
                   number(cy + (radius + jitter(random)) * std::sin(a)) + " ";
        }
        svg += "\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}

// A small icon: a few shapes and paths, as a toolbar would hold.
inline std::string icon() {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\" viewBox=\"0 0 24 24\">"
           "<rect x=\"2\" y=\"2\" width=\"20\" height=\"20\" rx=\"4\" fill=\"#1e90ff\"/>"
           "<path d=\"M7 12 L10.5 15.5 L17 8.5\" fill=\"none\" stroke=\"white\" stroke-width=\"2\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>"
           "<circle cx=\"18\" cy=\"6\" r=\"2.5\" fill=\"tomato\"/>"
           "<g transform=\"translate(12 12) scale(0.5)\"><polygon points=\"-4,-4 4,-4 0,4\" fill=\"gold\"/></g>"
           "</svg>";
}

}  // namespace svgbench
