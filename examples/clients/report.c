/* An ordinary report printed through ZelPrintDemo on the session bus, with sd-bus.
 *
 *     zelprint-client-sdbus [DESTINATION]
 *
 * DESTINATION is a CUPS queue or pdf:DIR (DIR absolute); without it the server chooses (see
 * docs/reference.md, "The printer"). The first call starts the server through D-Bus activation.
 * Build with cc report.c $(pkg-config --cflags --libs libsystemd). */
#include <errno.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <systemd/sd-bus.h>

#define NAME "ZelPrintDemo.clsPrint"
#define OBJECT_INTERFACE "ZelPrintDemo._clsPrint"

static sd_bus* bus;
static char path[256];
static int job_ended;

static void check(int r, const sd_bus_error* error, const char* what) {
    if (r >= 0) return;
    fprintf(stderr, "%s: %s\n", what, error && error->message ? error->message : strerror(-r));
    exit(1);
}

/* Calls a member of the print object; the error, if any, is left in *error. Parameters are
 * variants: "v" is followed by the value's own type and the value, e.g. "i", 1 or "s", "x". */
static int call(sd_bus_error* error, const char* member, const char* types, ...) {
    sd_bus_message* reply = NULL;
    va_list ap;
    va_start(ap, types);
    int r =
        sd_bus_call_methodv(bus, NAME, path, OBJECT_INTERFACE, member, error, &reply, types, ap);
    va_end(ap);
    sd_bus_message_unref(reply);
    return r;
}

static int on_melding(sd_bus_message* m, void* userdata, sd_bus_error* ret_error) {
    int32_t nummer;
    const char* tekst;
    (void)userdata, (void)ret_error;
    if (sd_bus_message_read(m, "is", &nummer, &tekst) >= 0)
        printf("Melding %d: %s\n", (int)nummer, tekst);
    return 0;
}

static int on_blad_afgedrukt(sd_bus_message* m, void* userdata, sd_bus_error* ret_error) {
    int32_t blad;
    (void)userdata, (void)ret_error;
    if (sd_bus_message_read(m, "i", &blad) >= 0) printf("page %d printed\n", (int)blad);
    return 0;
}

static int on_job_ended(sd_bus_message* m, void* userdata, sd_bus_error* ret_error) {
    const char *destination, *document;
    int32_t pages;
    (void)userdata, (void)ret_error;
    if (sd_bus_message_read(m, "ssi", &destination, &document, &pages) >= 0)
        printf("job %s %s %d pages\n", destination, document, (int)pages);
    job_ended = 1;
    return 0;
}

int main(int argc, char** argv) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = NULL;
    const char* created;
    check(sd_bus_open_user(&bus), NULL, "session bus");

    /* The object belongs to this connection: should the program die, its job is still printed. */
    int r = argc > 1 ? sd_bus_call_method(bus, NAME, "/", "ZelPrintDemo.Server", "Create", &error,
                                          &reply, "a{sv}", 1, "Printer", "s", argv[1])
                     : sd_bus_call_method(bus, NAME, "/", "ZelPrintDemo.Server", "Create", &error,
                                          &reply, "a{sv}", 0);
    check(r, &error, "Create");
    check(sd_bus_message_read(reply, "o", &created), NULL, "Create's reply");
    snprintf(path, sizeof path, "%s", created);
    sd_bus_message_unref(reply);
    printf("object %s\n", path);

    /* Signals wait in the connection's queue until sd_bus_process below hands them out. */
    check(sd_bus_match_signal(bus, NULL, NULL, path, "ZelPrintDemo.__clsPrint", "Melding",
                              on_melding, NULL),
          NULL, "Melding");
    check(sd_bus_match_signal(bus, NULL, NULL, path, "ZelPrintDemo.__clsPrint", "BladAfgedrukt",
                              on_blad_afgedrukt, NULL),
          NULL, "BladAfgedrukt");
    check(sd_bus_match_signal(bus, NULL, NULL, path, "ZelPrintDemo.Jobs", "JobEnded", on_job_ended,
                              NULL),
          NULL, "JobEnded");

    check(call(&error, "SetMode", "v", "s", "P"), &error, "SetMode"); /* the printer only */
    check(call(&error, "AddKopregel", "vvva{sv}", "i", 1, "i", 1, "s", "Voorbeeldrapport   Blad #B",
               0),
          &error, "AddKopregel");
    for (int regel = 1; regel <= 30; ++regel) {
        char tekst[32];
        snprintf(tekst, sizeof tekst, "Regel %02d", regel);
        if (regel == 21) /* the rest goes on the next page */
            check(call(&error, "NieuwBlad", "v", "i", regel), &error, "NieuwBlad");
        check(call(&error, "AddTekst", "vvva{sv}", "i", regel, "i", 5, "s", tekst, 0), &error,
              "AddTekst");
        if (regel == 5) /* a box around lines 3 to 5, drawn 2 pixels wide */
            check(call(&error, "AddBox", "vvvva{sv}", "i", 3, "i", 3, "i", 5, "i", 20, 1, "Dikte",
                       "i", 2),
                  &error, "AddBox");
    }
    int32_t page;
    check(sd_bus_get_property_trivial(bus, NAME, path, OBJECT_INTERFACE, "CurrentPage", &error, 'i',
                                      &page),
          &error, "CurrentPage");
    printf("CurrentPage %d\n", (int)page);

    /* No parameter 10: the server says so in Melding. */
    check(call(&error, "SetParm", "vv", "i", 10, "s", "x"), &error, "SetParm");
    /* A line number that is no number: an error reply. */
    if (call(&error, "AddTekst", "vvva{sv}", "s", "tien", "i", 5, "s", "Regel tien", 0) < 0)
        printf("error %s: %s\n", error.name, error.message);
    sd_bus_error_free(&error);

    check(call(&error, "Release", ""), &error, "Release"); /* ends the job */
    while (!job_ended) {
        r = sd_bus_process(bus, NULL);
        check(r, NULL, "reading the bus");
        if (r > 0) continue;
        r = sd_bus_wait(bus, 30 * 1000000ULL);
        check(r, NULL, "waiting for JobEnded");
        if (r == 0) check(-ETIMEDOUT, NULL, "waiting for JobEnded");
    }
    sd_bus_flush_close_unref(bus);
    return 0;
}
