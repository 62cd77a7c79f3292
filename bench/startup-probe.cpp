// Starts a program on the current X display and reports, from outside, how
// long it took to map its first top-level window and to paint it, and its
// resident memory once it has sat idle, then closes it as a window manager
// would. Needs no help from the program: the root window reports the map,
// and the window's pixels stay black until the program first draws.
//
// usage: startup-probe [--idle-ms N] PROGRAM [ARGS...]
// prints: map_ms=... paint_ms=... rss_kb=...
// The program gets STARTUP_PROBE_T0_NS: the start on CLOCK_MONOTONIC, in ns.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const char *message, pid_t child = 0)
{
    std::fprintf(stderr, "startup-probe: %s\n", message);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::exit(1);
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Whether a strip across the middle of the window holds anything but black.
bool painted(xcb_connection_t *c, xcb_window_t window, int width, int height)
{
    const int stripWidth = std::min(width, 64);
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t((width - stripWidth) / 2),
                                          std::int16_t(height / 2), std::uint16_t(stripWidth), 1, ~0u),
                            nullptr),
        &std::free);
    if (!image)
        return false;
    const std::uint8_t *data = xcb_get_image_data(image.get());
    const int length = xcb_get_image_data_length(image.get());
    for (int i = 0; i < length; ++i) {
        // Z-pixmap at depth 24 comes as 32-bit pixels; the pad byte says nothing.
        if (i % 4 != 3 && data[i] != 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    int idleMs = 1000;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--idle-ms") == 0) {
        idleMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: startup-probe [--idle-ms N] PROGRAM [ARGS...]\n");
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        fail("cannot open the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // the mask is in place

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        fail("fork failed");
    if (child == 0) {
        close(xcb_get_file_descriptor(c)); // the program opens its own connection
        // The start on the monotonic clock, for a program that wants to time its own phases.
        const auto t0 = std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
        setenv("STARTUP_PROBE_T0_NS", std::to_string(t0).c_str(), 1);
        execvp(argv[first], argv + first);
        std::perror("startup-probe: exec");
        _exit(127);
    }

    // The first top-level window the program maps.
    xcb_window_t window = XCB_WINDOW_NONE;
    double mapMs = 0;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (window == XCB_WINDOW_NONE) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!map->override_redirect && window == XCB_WINDOW_NONE) {
                    window = map->window;
                    mapMs = msSince(start);
                }
            }
            std::free(event);
        }
        if (window != XCB_WINDOW_NONE)
            break;
        if (waitpid(child, nullptr, WNOHANG) == child)
            fail("the program ended before it showed a window");
        if (msSince(start) > 60000)
            fail("no window within a minute", child);
        poll(&fd, 1, 50);
    }

    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    if (!geometry)
        fail("the window went away", child);
    double paintMs = -1;
    while (paintMs < 0) {
        if (painted(c, window, geometry->width, geometry->height))
            paintMs = msSince(start);
        else if (msSince(start) > 60000)
            fail("the window was never painted", child);
        else
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    const long rss = residentKilobytes(child);

    // Closed as a window manager closes it; killed if it does not go.
    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = protocols;
    close.data.data32[0] = deleteWindow;
    close.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&close));
    xcb_flush(c);
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i) {
        ended = waitpid(child, nullptr, WNOHANG) == child;
        if (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    xcb_disconnect(c);
    std::printf("map_ms=%.2f paint_ms=%.2f rss_kb=%ld%s\n", mapMs, paintMs, rss, ended ? "" : " closed=killed");
    return 0;
}
