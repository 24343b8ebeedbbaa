// Test helper for the lock tests: does to X windows what another program
// on the same display could do.
//   xpoke map [--override] X Y W H   maps a white window (override-redirect
//                                    with --override), prints "mapped ID"
//                                    once the server reports it mapped, and
//                                    keeps it until killed
//   xpoke lower ID                   puts window ID below its siblings
//   xpoke destroy ID                 destroys window ID
//   xpoke white X Y W H              exit status 0 when more than half of
//                                    the screen's area is white (as seen on
//                                    the root window), 1 when not, 3 when
//                                    the screen is not 32 bits a pixel; a
//                                    screenshot's worth in a few ms
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int usage() {
    std::fprintf(stderr, "usage: xpoke map [--override] X Y W H | xpoke lower|destroy ID | "
                         "xpoke white X Y W H\n");
    return 2;
}

int mapWindow(xcb_connection_t* c, xcb_screen_t* screen, bool override, int x, int y, int w,
              int h) {
    const xcb_window_t win = xcb_generate_id(c);
    const std::uint32_t values[] = {screen->white_pixel, override ? 1u : 0u,
                                    XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, win, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(w),
                      static_cast<std::uint16_t>(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const char name[] = "xpoke";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, win, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof name - 1, name);
    xcb_map_window(c, win);
    xcb_flush(c);
    bool told = false;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const int type = e->response_type & 0x7f;
        // Mapped: from here on the server draws it wherever it is visible.
        if (type == XCB_MAP_NOTIFY && !told) {
            std::printf("mapped 0x%x\n", win);
            std::fflush(stdout);
            told = true;
        }
        std::free(e);
    }
    return 0;
}

// Whether more than half of the area's pixels are white to 97 % (their
// Rec. 601 luma), read from the root window as a screenshot reads it.
int whiteArea(xcb_connection_t* c, xcb_screen_t* screen, int x, int y, int w, int h) {
    int bitsPerPixel = 0;
    const xcb_setup_t* setup = xcb_get_setup(c);
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth)
            bitsPerPixel = f.data->bits_per_pixel;
    if (bitsPerPixel != 32 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return 3;
    xcb_generic_error_t* err = nullptr;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(w),
                      static_cast<std::uint16_t>(h), ~0u),
        &err);
    if (!image) {
        std::free(err);
        return 2;
    }
    const std::uint8_t* p = xcb_get_image_data(image);
    const int bytes = xcb_get_image_data_length(image);
    long white = 0, pixels = 0;
    for (int i = 0; i + 3 < bytes; i += 4, ++pixels) // B, G, R, unused
        if (299 * p[i + 2] + 587 * p[i + 1] + 114 * p[i] >= 1000 * 97 * 255 / 100)
            ++white;
    std::free(image);
    return pixels > 0 && 2 * white > pixels ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "xpoke: no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const std::string cmd = argv[1];
    if (cmd == "map") {
        int i = 2;
        const bool override = argc > i && std::strcmp(argv[i], "--override") == 0;
        if (override)
            ++i;
        if (argc != i + 4)
            return usage();
        return mapWindow(c, screen, override, std::atoi(argv[i]), std::atoi(argv[i + 1]),
                         std::atoi(argv[i + 2]), std::atoi(argv[i + 3]));
    }
    if (cmd == "white" && argc == 6)
        return whiteArea(c, screen, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         std::atoi(argv[5]));
    if ((cmd == "lower" || cmd == "destroy") && argc == 3) {
        const auto id = static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0));
        const std::uint32_t below = XCB_STACK_MODE_BELOW;
        xcb_void_cookie_t ck =
            cmd == "lower"
                ? xcb_configure_window_checked(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &below)
                : xcb_destroy_window_checked(c, id);
        xcb_generic_error_t* err = xcb_request_check(c, ck);
        const bool ok = !err;
        std::free(err);
        xcb_disconnect(c);
        return ok ? 0 : 1;
    }
    return usage();
}
