// The brush and region stream readers. The first byte picks the reader (bit 0: region, else
// brush) and the byte order of the brush (bit 1: flipped); the rest is the stream. What
// reads without error must write back to a stream that reads as the same value.
#include "FuzzSupport.hpp"

#include "cindra/Error.hpp"
#include "cindra/Region.hpp"
#include "cindra/editor/Brush.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <sstream>
#include <string>

using namespace cindra;

namespace {

bool sameBrush(const editor::Brush& a, const editor::Brush& b) {
    return a.name == b.name && a.colorA == b.colorA && a.colorB == b.colorB && a.text == b.text &&
           a.amountA == b.amountA && a.amountB == b.amountB && a.switchA == b.switchA &&
           a.switchB == b.switchB && a.switchC == b.switchC && a.modeA == b.modeA &&
           a.modeB == b.modeB;
}

void brush(const std::string& bytes, bool flip) {
    std::istringstream in(bytes);
    util::DataReader reader(in, "fuzz.brush");
    editor::Brush read;
    try {
        read.read(reader, flip);
    } catch (const Error&) {
        return;
    }
    std::ostringstream out;
    util::DataWriter writer(out);
    read.write(writer, flip);
    std::istringstream again(out.str());
    util::DataReader rereader(again, "again.brush");
    editor::Brush reread;
    reread.read(rereader, flip);
    if (!sameBrush(read, reread) || out.str().size() > bytes.size()) {
        fuzz::finding("a brush does not survive writing and reading back");
    }
}

void region(const std::string& bytes) {
    std::istringstream in(bytes);
    util::DataReader reader(in, "fuzz.region");
    Region read;
    try {
        read.load(reader);
    } catch (const Error&) {
        return;
    }
    std::ostringstream out;
    util::DataWriter writer(out);
    read.save(writer);
    std::istringstream again(out.str());
    util::DataReader rereader(again, "again.region");
    Region reread;
    reread.load(rereader);
    if (!(read == reread)) {
        fuzz::finding("a region does not survive saving and loading back");
    }
    // What scripts and the inspector derive from a region read from a level.
    const Region border = read.border();
    const Region interior = read.interior();
    if (border.size() + interior.size() != read.size()) {
        fuzz::finding("border and interior do not split the region");
    }
    bool emptyRow = false;
    for (const auto& [y, row] : read.rows()) {
        emptyRow = emptyRow || row.empty();
    }
    if (!read.empty() && !emptyRow && !read.contains(read.getCenter())) {
        fuzz::finding("the centre of a region without empty rows is not in it");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1) != 0) {
        region(bytes);
    } else {
        brush(bytes, (data[0] & 2) != 0);
    }
    return 0;
}
