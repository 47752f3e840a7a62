// The modal dialog box: a message and a list of answers on a framed parchment panel. The
// cursor keys move a marker over the answers and Return chooses one, which the box
// announces through its chosen signal as the answer's 0-based index before it closes.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/IModalElement.hpp"
#include "cindra/util/Random.hpp"
#include "cindra/util/Signal.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace cindra::gui {

struct DialogOption {
    std::string text;
    int line; // row of the answer's first line in the face
};

class DialogBox : public IModalElement {
public:
    // Frame, margin, marker column, margin and at least one column of answer text.
    static constexpr int kMinWidth = 7;

    // Refuses a dialog without answers, and widths outside kMinWidth..kMaxBoxWidth.
    // Reads the frame's key from input, which must outlive the box; random speckles its face.
    DialogBox(const InputState& input, util::Random& random, GridPos position, int boxWidth,
              std::string message, const std::vector<std::string>& answers);

    // The face, then the marker beside the selected answer on the target itself.
    void draw(Console& target) override;
    // Up and down move the selection (wrapping around); Return announces it and closes.
    bool update(float dt) override;

    Console face;
    int width;
    int height;
    GridPos pos;
    std::string text;
    std::vector<DialogOption> options;
    std::uint32_t selected = 0;
    util::Signal<int> chosen;

private:
    const InputState& input_;
};

} // namespace cindra::gui
