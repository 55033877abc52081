// The link label on any markup: parse, lay out and draw, then hit tests, hot links and
// clicks all over the label. A dynamic tag gets markup of its own.
#include <string>

#include "linklabel/LinkLabel.h"
#include "tests/linklabel/FakeCanvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    qe::TLinkLabel Label;
    Label.SetBounds(0, 0, 313, 169);
    Label.SetHotLinks(true);
    Label.SetAutoHeight(Size % 2 == 1);
    Label.OnDynamicTagInit = [](qe::TCustomLinkLabel*, std::string& Source, int32_t Number) {
        Source = "<b>part " + std::to_string(Number) + "</b> <link>more</link><dynamic>";
    };
    // A click may give the label a new caption while it handles the mouse.
    Label.OnLinkClick = [&Label](qe::TCustomLinkLabel*, int32_t Number, const std::string&) {
        if (Number % 2 == 1)
            Label.SetCaption("<link>back</link>");
    };
    Label.SetCaption(std::string(reinterpret_cast<const char*>(Data), Size));
    qe::test::TFakeCanvas Canvas;
    Label.Paint(Canvas);
    // Rows closer than a line, and columns 46 pixels apart from a start that changes with
    // the input's size: each input hits every line, and the inputs together every point
    // of a row. Each move walks the label's nodes, so fewer moves per input let the
    // fuzzer run more inputs.
    const auto Shift = static_cast<int32_t>(Size % 46);
    for (int32_t Y = 0; Y < 169; Y += 9)
        for (int32_t X = Shift; X < 313; X += 46) {
            Label.MouseMove(X, Y);
            if ((X + Y) % 3 == 0) {
                Label.MouseDown(qe::mbLeft, X, Y);
                Label.MouseUp(qe::mbLeft, X, Y);
            }
        }
    Label.MouseLeave();
    Label.Paint(Canvas);
    return 0;
}
