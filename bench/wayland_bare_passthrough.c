/* The least a wlroots input method can do: grab the keyboard and pass every key, modifier and
 * keymap on through a virtual keyboard, nothing else. bench/wayland_latency sets the program's
 * figures beside this one's.
 *
 * Usage: wayland_bare_passthrough   (on the compositor in WAYLAND_DISPLAY; ends with it or on
 * SIGTERM) */

#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "input-method-unstable-v2-client.h"
#include "virtual-keyboard-unstable-v1-client.h"

static struct wl_seat* seat;
static struct zwp_input_method_manager_v2* methods;
static struct zwp_virtual_keyboard_manager_v1* keyboards;
static struct zwp_virtual_keyboard_v1* keyboard;
/* The keymap last uploaded, and one the grab gave that is to be uploaded before the next key. */
static char* uploaded;
static char* pending;
static uint32_t pending_size;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data, (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwp_input_method_manager_v2_interface.name) == 0)
        methods = wl_registry_bind(registry, name, &zwp_input_method_manager_v2_interface, 1);
    else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

/* Taken up before the next key, and only when it differs: the compositor reports every upload
 * back through the grab as the seat's new keymap, and uploading that again would never end. */
static void keymap(void* data, struct zwp_input_method_keyboard_grab_v2* grab, uint32_t format, int fd,
                   uint32_t size) {
    (void)data, (void)grab, (void)format;
    char* map = mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED) return;
    if (!uploaded || strncmp(uploaded, map, size) != 0) {
        free(pending);
        pending = strndup(map, size);
        pending_size = size;
    }
    munmap(map, size);
}

static void take_keymap(void) {
    if (!pending) return;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd >= 0 && write(fd, pending, pending_size) == (ssize_t)pending_size)
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, pending_size);
    if (fd >= 0) close(fd);
    free(uploaded);
    uploaded = pending;
    pending = NULL;
}

static void key(void* data, struct zwp_input_method_keyboard_grab_v2* grab, uint32_t serial, uint32_t time,
                uint32_t k, uint32_t state) {
    (void)data, (void)grab, (void)serial;
    take_keymap();
    zwp_virtual_keyboard_v1_key(keyboard, time, k, state);
}

static void modifiers(void* data, struct zwp_input_method_keyboard_grab_v2* grab, uint32_t serial,
                      uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group) {
    (void)data, (void)grab, (void)serial;
    take_keymap();
    zwp_virtual_keyboard_v1_modifiers(keyboard, depressed, latched, locked, group);
}

static void repeat(void* data, struct zwp_input_method_keyboard_grab_v2* grab, int32_t rate, int32_t delay) {
    (void)data, (void)grab, (void)rate, (void)delay;
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "no compositor\n");
        return 1;
    }
    static const struct wl_registry_listener registry_listener = {global, global_remove};
    wl_registry_add_listener(wl_display_get_registry(display), &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !methods || !keyboards) {
        fprintf(stderr, "no input method or virtual keyboard here\n");
        return 1;
    }
    keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
    struct zwp_input_method_v2* method = zwp_input_method_manager_v2_get_input_method(methods, seat);
    static const struct zwp_input_method_keyboard_grab_v2_listener grab_listener = {keymap, key, modifiers,
                                                                                    repeat};
    zwp_input_method_keyboard_grab_v2_add_listener(zwp_input_method_v2_grab_keyboard(method), &grab_listener,
                                                   NULL);
    signal(SIGTERM, SIG_DFL);
    /* Each dispatch sends what the last one queued before it sleeps. */
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
