#include "app/WindowChrome.h"

#include <gtest/gtest.h>

using namespace tavi;

TEST(WindowChrome, PictureStatesFollowTheTable)
{
    using E = ChromeEvent;
    const ChromePictures::Button N{true, false, false}, H{false, true, false}, D{false, false, true};
    // Start from every button in a state the event must change or keep.
    const ChromePictures mixed{D, H, H};
    struct Case {
        E event;
        ChromePictures expected;
    };
    const Case cases[] = {
        {E::MouseOverBackground, {N, N, N}},
        {E::MouseOverCloseNormal, {H, N, H}},   // maximise left as it was
        {E::PressOnCloseHighlight, {D, N, H}},
        {E::MouseOverMiniNormal, {N, H, H}},
        {E::PressOnMiniHighlight, {N, D, H}},
        {E::MiniClicked, {N, N, H}},
        {E::MouseOverMaxNormal, {N, N, H}},
        {E::PressOnMaxHighlight, {N, N, D}},
        {E::MaxClicked, {N, N, H}},             // its own pictures stay
    };
    for (const Case &c : cases)
        EXPECT_EQ(applyChromeEvent(mixed, c.event), c.expected) << int(c.event);

    // From the maximise button straight onto the close button: both highlights show.
    ChromePictures p;
    p = applyChromeEvent(p, E::MouseOverMaxNormal);
    p = applyChromeEvent(p, E::MouseOverCloseNormal);
    EXPECT_EQ(p, (ChromePictures{H, N, H}));
}

TEST(WindowChrome, MaximiseToggle)
{
    const QRect screen(0, 0, 1280, 800);
    // Two clicks from a narrower window end at 906 x 540, centred above the allowance.
    QRect window(100, 50, 700, 400);
    window = maximiseToggle(window, screen);
    EXPECT_EQ(window, QRect(0, 0, 1280, 770));
    window = maximiseToggle(window, screen);
    EXPECT_EQ(window, QRect(187, 115, 906, 540));
    // Dragged to exactly the screen's width: counts as full width.
    EXPECT_EQ(maximiseToggle(QRect(5, 5, 1280, 300), screen), QRect(187, 115, 906, 540));
    // A screen narrower than the default window: negative corner, truncated toward zero.
    EXPECT_EQ(maximiseToggle(QRect(0, 0, 801, 500), QRect(0, 0, 801, 600)), QRect(-52, 15, 906, 540));
    // A primary screen right of and below another monitor: both sizes land on it.
    const QRect right(1920, 280, 1280, 800);
    EXPECT_EQ(maximiseToggle(QRect(2000, 300, 700, 400), right), QRect(1920, 280, 1280, 770));
    EXPECT_EQ(maximiseToggle(QRect(1920, 280, 1280, 770), right), QRect(2107, 395, 906, 540));
}
