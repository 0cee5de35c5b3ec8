#include "BusBench.h"
#include "FloorService.h"

#include <systemd/sd-bus.h>

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace zel::bench {

namespace {

constexpr const char* Service = "ZelPrintDemo.clsPrint";
constexpr const char* Members = "ZelPrintDemo._clsPrint";
constexpr uint64_t NoTimeout = UINT64_MAX;

void check(int result, const char* what) {
    if (result < 0) throw std::runtime_error(std::string(what) + ": " + strerror(-result));
}

// One connection and one print object in mode "P", released at the end.
class Client {
public:
    Client() {
        check(sd_bus_open_user(&bus_), "connect");
        sd_bus_message* reply = nullptr;
        call("/", "ZelPrintDemo.Server", "Create", &reply, "a{sv}", 0);
        const char* path = nullptr;
        check(sd_bus_message_read(reply, "o", &path), "Create's reply");
        path_ = path;
        sd_bus_message_unref(reply);
        call(path_.c_str(), Members, "Reset", nullptr, "a{sv}", 1, "UitvoerMode", "s", "P");
    }
    ~Client() {
        sd_bus_call_method(bus_, Service, path_.c_str(), Members, "Release", nullptr, nullptr, "");
        sd_bus_flush_close_unref(bus_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    template <class... Args>
    void call(const char* path, const char* interface, const char* member, sd_bus_message** reply,
              const char* types, Args... args) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int result = sd_bus_call_method(bus_, Service, path, interface, member, &error, reply,
                                              types, args...);
        if (result < 0) {
            const std::string text =
                std::string(member) + ": " + (error.message ? error.message : "");
            sd_bus_error_free(&error);
            throw std::runtime_error(text);
        }
    }
    void addTekst(int32_t regel, const char* text) {
        call(path_.c_str(), Members, "AddTekst", nullptr, "vvva{sv}", "i", regel, "i", 1, "s", text,
             0);
    }
    void ping() { call(path_.c_str(), "org.freedesktop.DBus.Peer", "Ping", nullptr, ""); }
    void endJob() { call(path_.c_str(), Members, "Cls", nullptr, ""); }
    sd_bus* bus() const { return bus_; }
    const std::string& path() const { return path_; }

private:
    sd_bus* bus_ = nullptr;
    std::string path_;
};

const char* const kLine =
    "000000 abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0123456789abc";

template <class Body>
double timed(Body body) {
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1e9;
}

// One Run of AddTekst calls for lines first, first + 1, ... on the object at path of service.
void runBatch(sd_bus* bus, const char* service, const char* path, int32_t first,
              const std::vector<QByteArray>& lines) {
    sd_bus_message* call = nullptr;
    check(sd_bus_message_new_method_call(bus, &call, service, path, "ZelPrintDemo.Batch", "Run"),
          "Run");
    check(sd_bus_message_open_container(call, 'a', "(sava{sv})"), "calls");
    int32_t regel = first;
    for (const QByteArray& line : lines) {
        check(sd_bus_message_open_container(call, 'r', "sava{sv}"), "call");
        check(sd_bus_message_append(call, "sav", "AddTekst", 3, "i", regel++, "i", 1, "s",
                                    line.constData()),
              "call");
        check(sd_bus_message_append(call, "a{sv}", 0), "call");
        check(sd_bus_message_close_container(call), "call");
    }
    check(sd_bus_message_close_container(call), "calls");
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int result = sd_bus_call(bus, call, NoTimeout, &error, &reply);
    sd_bus_message_unref(call);
    if (result < 0) {
        const std::string text = std::string("Run: ") + (error.message ? error.message : "");
        sd_bus_error_free(&error);
        throw std::runtime_error(text);
    }
    int32_t failed = 0;
    const char* text = nullptr;
    check(sd_bus_message_skip(reply, "av"), "Run's reply");
    check(sd_bus_message_read(reply, "is", &failed, &text), "Run's reply");
    const std::string message = text;
    sd_bus_message_unref(reply);
    if (failed >= 0) throw std::runtime_error("Run: " + message);
}

std::vector<QByteArray> linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the bench text");
    std::vector<QByteArray> lines;
    while (!file.atEnd()) lines.push_back(file.readLine().chopped(1));
    return lines;
}

// All lines as Runs of batch calls each.
void runBatches(sd_bus* bus, const char* service, const char* path,
                const std::vector<QByteArray>& lines, int batch) {
    for (size_t first = 0; first < lines.size(); first += size_t(batch)) {
        const size_t end = std::min(lines.size(), first + size_t(batch));
        runBatch(bus, service, path, int32_t(first + 1),
                 {lines.begin() + long(first), lines.begin() + long(end)});
    }
}

}  // namespace

double pingSeconds(int count) {
    Client client;
    return timed([&] {
        for (int i = 0; i < count; ++i) client.ping();
    });
}

double addTekstSeconds(int count) {
    Client client;
    return timed([&] {
        for (int i = 1; i <= count; ++i) client.addTekst(i, kLine);
        client.endJob();
    });
}

double batchSeconds(const QString& path, int batch) {
    const std::vector<QByteArray> lines = linesOf(path);
    Client client;
    return timed([&] {
        runBatches(client.bus(), Service, client.path().c_str(), lines, batch);
        client.endJob();
    });
}

double floorSeconds(const QString& path, int batch) {
    const std::vector<QByteArray> lines = linesOf(path);
    const FloorService floor;
    sd_bus* bus = nullptr;
    check(sd_bus_open_user(&bus), "connect");
    const double seconds = timed([&] {
        runBatches(bus, FloorService::FloorName, FloorService::FloorPath, lines, batch);
    });
    sd_bus_flush_close_unref(bus);
    return seconds;
}

double templateSeconds(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    Client client;
    return timed([&] {
        client.call(client.path().c_str(), Members, "PrintFromSjabloon", nullptr, "vvv", "s", "",
                    "s", "", "s", name.constData());
        client.endJob();
    });
}

}  // namespace zel::bench
