// The error box on X11, on a bare server and under a window manager, and on Wayland: a modal
// window captioned "Error" (on X11 a dialog over the toolkit's own window) that Return, Escape,
// Space or a click on its OK button dismisses; the failed open then ends the program.
#include "tests/e2e/e2e_fixture.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <sys/wait.h>

class ErrorBox : public CraneOnDesktop {
  protected:
    void start_program() {
        ASSERT_NO_FATAL_FAILURE(
            CraneOnXvfb::start_program(ERROR_BOX_PROGRAM, BUILD_FOLDER, "Error"));
        box = window;
    }
    // Dismissed: the failed open ends the program with status 1, nothing on the console.
    void expect_dismissed(const char* by) {
        ASSERT_TRUE(child::wait(&crane, kSoon)) << "the box stayed after " << by;
        ASSERT_TRUE(WIFEXITED(crane.status));
        EXPECT_EQ(WEXITSTATUS(crane.status), 1);
        EXPECT_EQ(err(), "");
    }
    Window box = 0;
};

TEST_P(ErrorBox, StaysUntilReturnIsPressed) {
    ASSERT_NO_FATAL_FAILURE(start_program());
    EXPECT_FALSE(child::wait(&crane, 0.5)); // modal: waits for the user
    // The box took the focus, so a key press reaches it.
    ASSERT_TRUE(press("Return"));
    expect_dismissed("Return");
}

TEST_P(ErrorBox, EscapeAndSpaceDismissItToo) {
    for (const char* key : {"Escape", "space"}) {
        ASSERT_NO_FATAL_FAILURE(start_program());
        ASSERT_TRUE(press(key));
        expect_dismissed(key);
    }
}

TEST_P(ErrorBox, ClickOnOkDismissesIt) {
    ASSERT_NO_FATAL_FAILURE(start_program());
    e2e::Area area = wayland() ? toplevel.content : e2e::client_area(display, box);
    // Clicks away from the button leave the box up.
    ASSERT_TRUE(click(area, 3, 3));
    EXPECT_FALSE(child::wait(&crane, 0.5));
    // The OK button sits centred at the bottom.
    ASSERT_TRUE(click(area, area.width / 2, area.height - 24));
    expect_dismissed("a click on OK");
}

// The web build shows its boxes as dialogs in its page; it has no program of this kind.
CRANE_ON_DESKTOPS(ErrorBox, Desktop::Bare, Desktop::Openbox, Desktop::Sway CRANE_WINE_DESKTOP);

// What only an X server tells: how the box stands to the other windows.
using ErrorBoxOnX = ErrorBox;

TEST_P(ErrorBoxOnX, IsADialogCentredOverTheToolkitWindow) {
    ASSERT_NO_FATAL_FAILURE(start_program());
    Window owner = 0;
    ASSERT_TRUE(XGetTransientForHint(display, box, &owner));
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(display, owner, &name)) << "the box belongs to no window";
    EXPECT_STREQ(name, "error box");
    XFree(name);

    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(display, box, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False),
                                 0, 1, False, XA_ATOM, &type, &format, &n, &after, &data),
              Success);
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(*reinterpret_cast<Atom*>(data),
              XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False));
    XFree(data);

    // The owner may be framed, and so moved by its frame's size, after the box was placed.
    e2e::Area b = e2e::client_area(display, box), o = e2e::client_area(display, owner);
    e2e::Extents frame = e2e::frame_extents(display, owner);
    EXPECT_NEAR(b.x + b.width / 2, o.x + o.width / 2, 2 + frame.left);
    EXPECT_NEAR(b.y + b.height / 2, o.y + o.height / 2, 2 + frame.top);
}

CRANE_ON_DESKTOPS(ErrorBoxOnX, Desktop::Bare, Desktop::Openbox);
