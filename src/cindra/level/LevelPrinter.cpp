#include "cindra/level/LevelPrinter.hpp"

#include "cindra/level/LevelSyntax.hpp"

#include <fmt/format.h>

namespace cindra::level {

namespace {

std::string flagWords(std::uint32_t flags) {
    std::string words;
    if (flags & Blocked) {
        words += " blocked";
    }
    if (flags & Opaque) {
        words += " opaque";
    }
    if (const std::uint32_t rest = flags & ~std::uint32_t{Blocked | Opaque}; rest != 0) {
        words += fmt::format(" bits 0x{:x}", rest);
    }
    return words;
}

// "a..b" for a run of consecutive x values, "a" for a single one.
std::string run(int first, int last) {
    return first == last ? std::to_string(first) : fmt::format("{}..{}", first, last);
}

} // namespace

std::string LevelPrinter::print() {
    const Legend cells = inventLegend(map_);
    header();
    legend(cells);
    rows(cells);
    lights();
    regions();
    entities();
    return std::move(out_);
}

void LevelPrinter::header() {
    out_ += "cindra-level 1\n";
    out_ += fmt::format("size {} {}\n", map_.width(), map_.height());
    const LightLevel& ambient = map_.getAmbientLight();
    out_ += fmt::format("ambient {} {} {}\n", ambient.red, ambient.green, ambient.blue);
}

void LevelPrinter::legend(const Legend& legend) {
    out_ += "\n# Legend: key, glyph, foreground, background and flags of each kind of cell.\n";
    if (legend.keyWidth != 1) {
        out_ += fmt::format("keys {}\n", legend.keyWidth);
    }
    for (const auto& [key, cell] : legend.entries) {
        out_ += fmt::format("tile {} glyph {}", key, formatGlyph(cell.glyph));
        if (cell.foreground != Color()) {
            out_ += " fg " + formatColor(cell.foreground);
        }
        if (cell.background != Color()) {
            out_ += " bg " + formatColor(cell.background);
        }
        out_ += flagWords(cell.flags) + "\n";
    }
}

void LevelPrinter::rows(const Legend& legend) {
    out_ += "\n# The cells, top row first.\nmap\n";
    const auto width = static_cast<std::size_t>(map_.width());
    for (int y = map_.height() - 1; y >= 0; --y) {
        const std::size_t start = static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            out_ += legend.entries[legend.cellEntries[start + x]].first;
        }
        out_ += '\n';
    }
}

void LevelPrinter::lights() {
    if (!map_.getLights().empty()) {
        out_ += '\n';
    }
    for (const auto& light : map_.getLights()) {
        out_ += fmt::format(
            "light {} {} radius {} color {} fade {} falloff {}\n", light->position.x,
            light->position.y, light->getRadius(), formatColor(light->color), light->fade,
            light->getFalloff() == LightSource::Falloff::Linear ? "linear" : "quadratic");
    }
}

void LevelPrinter::regions() {
    for (const MapRegion& region : map_.getRegions()) {
        out_ += fmt::format("\nregion {}", quote(region.name));
        if (!region.parameter.empty()) {
            out_ += ' ';
            out_ += quote(region.parameter);
        }
        out_ += '\n';
        for (const auto& [y, row] : region.region.rows()) {
            regionRow(y, row);
        }
        out_ += "end\n";
    }
}

void LevelPrinter::regionRow(int y, const Region::Row& row) {
    std::vector<std::string> runs;
    for (auto it = row.begin(); it != row.end();) {
        const int first = *it;
        int last = first;
        while (++it != row.end() && *it == last + 1) {
            last = *it;
        }
        runs.push_back(run(first, last));
    }
    for (std::size_t i = 0; i < runs.size(); i += kRunsPerLine) {
        out_ += fmt::format("  row {}", y);
        for (std::size_t j = i; j < std::min(runs.size(), i + kRunsPerLine); ++j) {
            out_ += " " + runs[j];
        }
        out_ += '\n';
    }
}

void LevelPrinter::entities() {
    if (!entities_.empty()) {
        out_ += '\n';
    }
    for (const logic::EntityInfo& info : entities_) {
        out_ += fmt::format("entity {} {}", info.position.x, info.position.y);
        if (!info.name.empty()) {
            out_ += " name " + quote(info.name);
        }
        out_ += info.hasLocation ? " location" : "";
        out_ += info.hasRender ? " render" : "";
        if (info.glyph != logic::EntityInfo().glyph) {
            out_ += " glyph " + formatGlyph(info.glyph);
        }
        if (info.color != logic::EntityInfo().color) {
            out_ += " color " + formatColor(info.color);
        }
        if (!info.script.empty()) {
            out_ += " script " + quote(info.script);
        }
        if (!info.scriptArgument.empty()) {
            out_ += " arg " + quote(info.scriptArgument);
        }
        out_ += '\n';
    }
}

} // namespace cindra::level
