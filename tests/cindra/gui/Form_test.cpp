#include "support/ConsoleText.hpp"
#include "support/GuiInput.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/Button.hpp"
#include "cindra/gui/CheckBox.hpp"
#include "cindra/gui/Form.hpp"
#include "cindra/gui/Gui.hpp"

#include <gtest/gtest.h>

using cindra::GridPos;
using cindra::gui::Button;
using cindra::gui::CheckBox;
using cindra::gui::elementId;
using cindra::gui::Form;
using cindra::gui::SourceLocation;

TEST(Widget, TakesItsIdFromTheFileNameAndLineWhereItIsMade) {
    const Button first({0, 0}, 6, "One");
    const std::uint32_t firstLine = __LINE__ - 1;
    const CheckBox second({0, 1}, "Two");
    const std::uint32_t secondLine = __LINE__ - 1;
    EXPECT_EQ(first.id(), elementId("Form_test.cpp", firstLine));
    EXPECT_EQ(second.id(), elementId("Form_test.cpp", secondLine));
    // Without an argument the id is the caller's own line's, folders left out.
    EXPECT_EQ(elementId(), elementId("Form_test.cpp", __LINE__));
    EXPECT_EQ(elementId(SourceLocation::current()), elementId("Form_test.cpp", __LINE__));
}

TEST(Widget, TheMouseCountsOnlyInsideItsCellsAndInsideTheConsole) {
    cindra::test::GuiInput in;
    const Button button({10, 5}, 4, "Go");
    struct Case {
        GridPos cell;
        bool inside;
        bool hovered;
    };
    for (const Case& c :
         {Case{{10, 5}, true, true}, Case{{13, 5}, true, true}, Case{{14, 5}, true, false},
          Case{{9, 5}, true, false}, Case{{10, 6}, true, false}, Case{{10, 4}, true, false},
          Case{{10, 5}, false, false}}) {
        in.press(c.cell);
        in.state().mouseInside = c.inside;
        EXPECT_EQ(button.hovered(in.state()), c.hovered) << c.cell.x << "," << c.cell.y;
        EXPECT_EQ(button.clicked(in.state()), c.hovered) << c.cell.x << "," << c.cell.y;
    }
    in.point({10, 5});
    in.nextFrame();
    EXPECT_TRUE(button.hovered(in.state()));
    EXPECT_FALSE(button.clicked(in.state()));
}

TEST(Form, FocusFollowsClicksAndTabInBothDirections) {
    cindra::test::GuiInput in;
    Form form;
    EXPECT_EQ(form.focusedId(), 0u);
    form.update(in.state()); // an empty form ignores input
    Button a({0, 0}, 4, "a");
    Button b({0, 1}, 4, "b");
    Button c({0, 2}, 4, "c");
    form.add(a);
    form.add(b);
    form.add(c);
    EXPECT_EQ(form.focusedId(), a.id());
    in.key(cindra::gui::kKeyTab);
    form.update(in.state());
    EXPECT_EQ(form.focusedId(), b.id());
    in.state().shiftDown = true;
    for (const Button* expected : {&a, &c, &b}) {
        in.key(cindra::gui::kKeyTab);
        form.update(in.state());
        EXPECT_EQ(form.focusedId(), expected->id());
    }
    in.state().shiftDown = false;
    in.press({2, 2});
    form.update(in.state());
    EXPECT_TRUE(form.hasFocus(c));
    EXPECT_TRUE(c.pressed());
    form.focus(a.id());
    EXPECT_TRUE(form.hasFocus(a));
    form.focus(12345u); // not in the form: ignored
    EXPECT_TRUE(form.hasFocus(a));
}

TEST(Form, KeysReachOnlyTheFocusedWidgetAndDrawingShowsTheFocus) {
    cindra::test::GuiInput in;
    Form form;
    Button a({0, 1}, 5, "a");
    Button b({0, 0}, 5, "b");
    form.add(a);
    form.add(b);
    in.key(cindra::gui::kKeyReturn);
    form.update(in.state());
    EXPECT_TRUE(a.pressed());
    EXPECT_FALSE(b.pressed());
    in.nextFrame();
    form.update(in.state());
    EXPECT_FALSE(a.pressed()); // a press lasts one frame
    cindra::Console screen(5, 2);
    form.draw(screen);
    using cindra::test::setterColour;
    EXPECT_EQ(screen.at(0, 1).background, setterColour(cindra::gui::kFocusBack));
    EXPECT_EQ(screen.at(0, 0).background, setterColour(cindra::gui::kWidgetBack));
}

TEST(Form, RefusesTwoWidgetsMadeOnOneLine) {
    Form form;
    // clang-format off
    Button a({0, 0}, 4, "a"); Button b({0, 1}, 4, "b");
    // clang-format on
    form.add(a);
    EXPECT_THROW(form.add(b), cindra::Error);
    EXPECT_THROW(form.add(a), cindra::Error);
}
