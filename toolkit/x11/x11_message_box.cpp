// A modal message box: a small dialog over the toolkit's window with the text and an OK button
// that Return, Escape, Space or a click on the button dismisses. Where no display can be reached
// the message goes to standard error, so that no failure passes unseen.
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

#include "toolkit/x11/x11.h"

namespace {

struct Box {
    Window window;
    int width, height;
    int button_x, button_y, button_w, button_h;
};

Bool for_box(Display*, XEvent* event, XPointer arg) {
    return event->xany.window == *reinterpret_cast<Window*>(arg);
}

std::vector<std::string> lines_of(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

void draw(Display* d, const Box& box, GC gc, XFontStruct* font,
          const std::vector<std::string>& lines) {
    int line_h = font ? font->ascent + font->descent : 13;
    int ascent = font ? font->ascent : 10;
    XClearWindow(d, box.window);
    for (size_t i = 0; i < lines.size(); ++i)
        XDrawString(d, box.window, gc, 16, 16 + ascent + (int)i * line_h, lines[i].c_str(),
                    (int)lines[i].size());
    XDrawRectangle(d, box.window, gc, box.button_x, box.button_y, box.button_w, box.button_h);
    int text_w = font ? XTextWidth(font, "OK", 2) : 12;
    XDrawString(d, box.window, gc, box.button_x + (box.button_w - text_w) / 2,
                box.button_y + (box.button_h + ascent) / 2 - 1, "OK", 2);
    XFlush(d);
}

} // namespace

// The owner the toolkit names is the window with the focus, which may be another program's.
int x11_message_box(TkHandle /*owner*/, const char* text, const char* caption) {
    if (!x11_connect()) return plat_message_to_stderr(text, caption);
    Display* d = g_x11.display;
    int screen = g_x11.screen;
    std::vector<std::string> lines = lines_of(text);
    XFontStruct* font = XLoadQueryFont(d, "fixed");
    int line_h = font ? font->ascent + font->descent : 13;
    int text_w = 0;
    for (const std::string& l : lines) {
        int w = font ? XTextWidth(font, l.c_str(), (int)l.size()) : 6 * (int)l.size();
        if (w > text_w) text_w = w;
    }
    Box box;
    box.button_w = 64;
    box.button_h = 24;
    box.width = (text_w + 32 > 200) ? text_w + 32 : 200;
    box.height = 16 + (int)lines.size() * line_h + 16 + box.button_h + 12;
    box.button_x = (box.width - box.button_w) / 2;
    box.button_y = box.height - box.button_h - 12;

    XSetWindowAttributes attributes;
    attributes.background_pixel = WhitePixel(d, screen);
    attributes.border_pixel = BlackPixel(d, screen);
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
    // The box belongs to the toolkit's own window: it is centred over it, or over the screen
    // when there is none.
    Window parent = g_x11.win.top;
    int area_x = 0, area_y = 0;
    int area_w = DisplayWidth(d, screen), area_h = DisplayHeight(d, screen);
    XWindowAttributes a;
    if (parent && XGetWindowAttributes(d, parent, &a)) {
        Window child;
        XTranslateCoordinates(d, parent, RootWindow(d, screen), 0, 0, &area_x, &area_y, &child);
        area_w = a.width;
        area_h = a.height;
    }
    int x = area_x + (area_w - box.width) / 2;
    int y = area_y + (area_h - box.height) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    box.window = XCreateWindow(d, RootWindow(d, screen), x, y, box.width, box.height, 1,
                               CopyFromParent, InputOutput, CopyFromParent,
                               CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    XStoreName(d, box.window, caption);
    XSetWMProtocols(d, box.window, &g_x11.wm_delete_window, 1);
    if (parent) XSetTransientForHint(d, box.window, parent);
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(d, box.window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        // A window manager keeps the box where it is and frames it around it; the box is not
        // resized.
        hints->flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
        hints->win_gravity = StaticGravity;
        hints->x = x;
        hints->y = y;
        hints->min_width = hints->max_width = box.width;
        hints->min_height = hints->max_height = box.height;
        XSetWMNormalHints(d, box.window, hints);
        XFree(hints);
    }
    GC gc = XCreateGC(d, box.window, 0, nullptr);
    XSetForeground(d, gc, BlackPixel(d, screen));
    if (font) XSetFont(d, gc, font->fid);
    XMapRaised(d, box.window);

    Window focus_before = 0;
    int revert = 0;
    XGetInputFocus(d, &focus_before, &revert);
    bool done = false;
    while (!done) {
        XEvent event;
        XIfEvent(d, &event, for_box, reinterpret_cast<XPointer>(&box.window));
        switch (event.type) {
        case MapNotify:
            XSetInputFocus(d, box.window, RevertToParent, CurrentTime);
            break;
        case Expose:
            if (event.xexpose.count == 0) draw(d, box, gc, font, lines);
            break;
        case KeyPress: {
            KeySym sym = XLookupKeysym(&event.xkey, 0);
            if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space)
                done = true;
            break;
        }
        case ButtonPress: {
            int bx = event.xbutton.x, by = event.xbutton.y;
            if (bx >= box.button_x && bx < box.button_x + box.button_w && by >= box.button_y &&
                by < box.button_y + box.button_h)
                done = true;
            break;
        }
        case ClientMessage:
            if ((Atom)event.xclient.data.l[0] == g_x11.wm_delete_window) done = true;
            break;
        }
    }
    XFreeGC(d, gc);
    if (font) XFreeFont(d, font);
    XDestroyWindow(d, box.window);
    if (focus_before != None && focus_before != PointerRoot && focus_before != box.window)
        XSetInputFocus(d, focus_before, RevertToParent, CurrentTime);
    XSync(d, False);
    return 1;
}
