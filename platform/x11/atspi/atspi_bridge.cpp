// SPDX-License-Identifier: MIT
// The accessibility bridge on sd-bus: the objects of the accessible tree at
// /org/a11y/atspi/accessible/<handle>, the application at .../root, registered with the
// registry (Socket.Embed). Requests are answered from the views last painted; whatever a
// request does (press a button, change a field's text) it does as a person would, with clicks
// and keys through the input interface, so that the program sees nothing it would not see from
// a person. Without any bus announced nothing is opened at all.
#include <dlfcn.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "src/utf.h"
#include "view/rect_math.h"
#include "x11/atspi/accessibility_bridge.h"
#include "x11/atspi/accessible_tree.h"

// After our own headers: Xlib's KeyPress macro would rename the input sink's method.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef KeyPress

namespace win32 {

namespace atspi {

namespace {

constexpr char kPathPrefix[] = "/org/a11y/atspi/accessible";
constexpr char kRootPath[] = "/org/a11y/atspi/accessible/root";
constexpr char kNullPath[] = "/org/a11y/atspi/null";
constexpr char kUnknownObject[] = "org.freedesktop.DBus.Error.UnknownObject";

enum CoordType : std::uint32_t { kScreen = 0, kWindow = 1, kParent = 2 };
enum Layer : std::uint32_t { kLayerWidget = 3, kLayerWindow = 7 };
enum Relation : std::uint32_t { kLabelFor = 1, kLabelledBy = 2 };

// sd-bus is loaded only when a bus is announced: a program that never meets one neither maps
// libsystemd (and the libraries it needs) nor pays for their loading.
#define CREDCIPHER_SD_BUS_FUNCTIONS(X)                             \
    X(add_fallback_vtable, sd_bus_add_fallback_vtable)             \
    X(add_object_vtable, sd_bus_add_object_vtable)                 \
    X(call_async, sd_bus_call_async)                               \
    X(call_method_async, sd_bus_call_method_async)                 \
    X(close_unref, sd_bus_close_unref)                             \
    X(error_set, sd_bus_error_set)                                 \
    X(flush, sd_bus_flush)                                         \
    X(get_events, sd_bus_get_events)                               \
    X(get_fd, sd_bus_get_fd)                                       \
    X(get_timeout, sd_bus_get_timeout)                             \
    X(get_unique_name, sd_bus_get_unique_name)                     \
    X(is_ready, sd_bus_is_ready)                                   \
    X(message_append, sd_bus_message_append)                       \
    X(message_close_container, sd_bus_message_close_container)     \
    X(message_get_path, sd_bus_message_get_path)                   \
    X(message_is_method_error, sd_bus_message_is_method_error)     \
    X(message_new_method_call, sd_bus_message_new_method_call)     \
    X(message_new_method_return, sd_bus_message_new_method_return) \
    X(message_new_signal, sd_bus_message_new_signal)               \
    X(message_open_container, sd_bus_message_open_container)       \
    X(message_read, sd_bus_message_read)                           \
    X(message_set_auto_start, sd_bus_message_set_auto_start)       \
    X(message_unref, sd_bus_message_unref)                         \
    X(create, sd_bus_new)                                          \
    X(open_user, sd_bus_open_user)                                 \
    X(process, sd_bus_process)                                     \
    X(reply_method_return, sd_bus_reply_method_return)             \
    X(send, sd_bus_send)                                           \
    X(set_address, sd_bus_set_address)                             \
    X(set_bus_client, sd_bus_set_bus_client)                       \
    X(start, sd_bus_start)

struct SdBus {
#define CREDCIPHER_SD_BUS_MEMBER(member, function) decltype(&::function) member = nullptr;
    CREDCIPHER_SD_BUS_FUNCTIONS(CREDCIPHER_SD_BUS_MEMBER)
#undef CREDCIPHER_SD_BUS_MEMBER
    const void* vtableFormat = nullptr;  // sd_bus_object_vtable_format, which vtables name
};
const SdBus* sd = nullptr;

// nullptr when libsystemd or one of its functions is missing.
const SdBus* LoadSdBus() {
    static const SdBus* loaded = []() -> const SdBus* {
        void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static SdBus functions;
        bool complete = true;
#define CREDCIPHER_SD_BUS_LOAD(member, function)                                           \
    functions.member = reinterpret_cast<decltype(&::function)>(dlsym(library, #function)); \
    complete = complete && functions.member != nullptr;
        CREDCIPHER_SD_BUS_FUNCTIONS(CREDCIPHER_SD_BUS_LOAD)
#undef CREDCIPHER_SD_BUS_LOAD
        functions.vtableFormat = dlsym(library, "sd_bus_object_vtable_format");
        return complete && functions.vtableFormat != nullptr ? &functions : nullptr;
    }();
    return loaded;
}

// SD_BUS_VTABLE_START names sd_bus_object_vtable_format, which would link libsystemd: the
// start of each table is filled in once the library is loaded.
constexpr sd_bus_vtable kVtableStart = {
    .type = _SD_BUS_VTABLE_START,
    .flags = 0,
    .x = {.start = {.element_size = sizeof(sd_bus_vtable),
                    .features = _SD_BUS_VTABLE_PARAM_NAMES,
                    .vtable_format_reference = nullptr}},
};

std::string PathOf(HWND handle) {
    if (handle == nullptr) return kRootPath;
    return std::string(kPathPrefix) + "/" +
           std::to_string(reinterpret_cast<std::uintptr_t>(handle));
}

// Owns one reference to a message.
struct Message {
    sd_bus_message* m = nullptr;
    Message() = default;
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;
    ~Message() { sd->message_unref(m); }
};

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

POINT Center(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class AtspiBridge final : public AccessibilityBridge {
public:
    explicit AtspiBridge(std::function<int(std::u16string_view)> measure)
        : measure_(std::move(measure)) {
        application_.role = kRoleApplication;
        application_.name = program_invocation_short_name;
    }

    ~AtspiBridge() override {
        Drop(bus_);
        Drop(session_);
    }

    bool Alive() const { return bus_ != nullptr || session_ != nullptr; }

    // The accessibility bus's address is asked of the session bus; the answer comes in the
    // poll loop. Only a launcher already running answers: the session bus is told not to start
    // one, which would stay behind with its bus and registry when nobody listens.
    void AskSessionBus() {
        if (sd->open_user(&session_) < 0) {
            session_ = nullptr;
            return;
        }
        Message call;
        if (sd->message_new_method_call(session_, &call.m, "org.a11y.Bus", "/org/a11y/bus",
                                        "org.a11y.Bus", "GetAddress") < 0 ||
            sd->message_set_auto_start(call.m, 0) < 0 ||
            sd->call_async(session_, nullptr, call.m, AddressArrived, this, 0) < 0)
            Drop(session_);
    }

    void Open(const char* address) {
        if (sd->create(&bus_) < 0) {
            bus_ = nullptr;
            return;
        }
        const char* unique = nullptr;
        if (sd->set_address(bus_, address) < 0 || sd->set_bus_client(bus_, 1) < 0 ||
            sd->start(bus_) < 0 || !AddObjects() || sd->get_unique_name(bus_, &unique) < 0) {
            Drop(bus_);
            return;
        }
        unique_ = unique;
        if (sd->call_method_async(bus_, nullptr, "org.a11y.atspi.Registry", kRootPath,
                                  "org.a11y.atspi.Socket", "Embed", Embedded, this, "(so)", unique,
                                  kRootPath) < 0)
            Drop(bus_);
    }

    void AddPollFds(std::vector<pollfd>& fds) override {
        for (sd_bus* bus : {session_, bus_}) {
            if (bus == nullptr) continue;
            const int events = sd->get_events(bus);
            fds.push_back(pollfd{sd->get_fd(bus), static_cast<short>(events > 0 ? events : 0), 0});
        }
    }

    int Timeout() override {
        int shortest = -1;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::uint64_t nowUsec = static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
        for (sd_bus* bus : {session_, bus_}) {
            std::uint64_t at = UINT64_MAX;
            if (bus == nullptr || sd->get_timeout(bus, &at) < 0 || at == UINT64_MAX) continue;
            const auto wait = static_cast<int>(
                std::min<std::uint64_t>(at > nowUsec ? (at - nowUsec + 999) / 1000 : 0, 60000));
            shortest = shortest < 0 ? wait : std::min(shortest, wait);
        }
        return shortest;
    }

    void Serve(InputSink& sink) override {
        sink_ = &sink;
        for (sd_bus** bus : {&session_, &bus_}) {
            int processed = 0;
            while (*bus != nullptr && (processed = sd->process(*bus, nullptr)) > 0) {
            }
            if (*bus != nullptr && processed < 0) Drop(*bus);
        }
        sink_ = nullptr;
        if (closeSession_) {
            Drop(session_);
            closeSession_ = false;
        }
        if (!pendingAddress_.empty()) {
            const std::string address = std::move(pendingAddress_);
            pendingAddress_.clear();
            Open(address.c_str());
        }
    }

    void Show(const std::vector<WindowView>& screen) override {
        AccessibleTree tree = ReadTree(screen);
        if (bus_ != nullptr && !registryName_.empty()) {
            for (const Event& event : Changes(tree_, tree)) Emit(event);
        }
        tree_ = std::move(tree);
        application_.children = tree_.topLevel;
    }

private:
    // Only a connection that is up is flushed: sd_bus_flush waits for one still authenticating
    // until the authentication times out, which a bus that never answers makes a long hang.
    static void Drop(sd_bus*& bus) {
        if (bus == nullptr) return;
        if (sd->is_ready(bus) > 0) sd->flush(bus);
        sd->close_unref(bus);
        bus = nullptr;
    }

    static int AddressArrived(sd_bus_message* reply, void* self, sd_bus_error*) {
        auto* bridge = static_cast<AtspiBridge*>(self);
        const char* address = nullptr;
        if (!sd->message_is_method_error(reply, nullptr) &&
            sd->message_read(reply, "s", &address) > 0 && address != nullptr && *address)
            bridge->pendingAddress_ = address;
        // The session bus is not needed any more; it is closed once its processing is done.
        bridge->closeSession_ = true;
        return 0;
    }

    static int Embedded(sd_bus_message* reply, void* self, sd_bus_error*) {
        auto* bridge = static_cast<AtspiBridge*>(self);
        const char* name = nullptr;
        const char* path = nullptr;
        if (!sd->message_is_method_error(reply, nullptr) &&
            sd->message_read(reply, "(so)", &name, &path) > 0) {
            bridge->registryName_ = name;
            bridge->registryPath_ = path;
            // What is on the screen is told once the registry knows the application.
            for (const Event& event : Changes(AccessibleTree{}, bridge->tree_)) bridge->Emit(event);
        }
        return 0;
    }

    const Accessible* Resolve(const char* path) const {
        if (path == nullptr) return nullptr;
        if (std::strcmp(path, kRootPath) == 0) return &application_;
        const std::size_t prefix = sizeof kPathPrefix - 1;
        if (std::strncmp(path, kPathPrefix, prefix) != 0 || path[prefix] != '/') return nullptr;
        char* end = nullptr;
        const unsigned long long value = std::strtoull(path + prefix + 1, &end, 10);
        if (end == path + prefix + 1 || *end != '\0') return nullptr;
        return tree_.Find(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value)));
    }

    bool IsApplication(const Accessible& object) const { return &object == &application_; }

    // --- Replies -------------------------------------------------------------------------

    int AppendReference(sd_bus_message* m, HWND handle) {
        return sd->message_append(m, "(so)", unique_.c_str(), PathOf(handle).c_str());
    }
    int AppendParent(sd_bus_message* m, const Accessible& object) {
        if (IsApplication(object)) {
            if (registryName_.empty()) return sd->message_append(m, "(so)", "", kNullPath);
            return sd->message_append(m, "(so)", registryName_.c_str(), registryPath_.c_str());
        }
        return AppendReference(m, object.parent);
    }

    // Runs `fill` on a new reply to `call` and sends it.
    template <typename Fill>
    static int Reply(sd_bus_message* call, Fill fill) {
        Message reply;
        int r = sd->message_new_method_return(call, &reply.m);
        if (r >= 0) r = fill(reply.m);
        if (r >= 0) r = sd->send(nullptr, reply.m, nullptr);
        return r < 0 ? r : 1;
    }

    template <int (AtspiBridge::*method)(sd_bus_message*, const Accessible&)>
    static int Call(sd_bus_message* m, void* self, sd_bus_error* error) {
        auto* bridge = static_cast<AtspiBridge*>(self);
        const Accessible* object = bridge->Resolve(sd->message_get_path(m));
        if (object == nullptr) return sd->error_set(error, kUnknownObject, "no such object");
        return (bridge->*method)(m, *object);
    }

    template <int (AtspiBridge::*property)(sd_bus_message*, const Accessible&)>
    static int Get(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply,
                   void* self, sd_bus_error* error) {
        auto* bridge = static_cast<AtspiBridge*>(self);
        const Accessible* object = bridge->Resolve(path);
        if (object == nullptr) return sd->error_set(error, kUnknownObject, "no such object");
        return (bridge->*property)(reply, *object);
    }

    // Which objects have which interface.
    static int FindAny(sd_bus*, const char* path, const char*, void* self, void** found,
                       sd_bus_error*) {
        return FindWhere(path, self, found,
                         [](const AtspiBridge&, const Accessible&) { return true; });
    }
    static int FindWidget(sd_bus*, const char* path, const char*, void* self, void** found,
                          sd_bus_error*) {
        return FindWhere(path, self, found,
                         [](const AtspiBridge& bridge, const Accessible& object) {
                             return !bridge.IsApplication(object);
                         });
    }
    static int FindText(sd_bus*, const char* path, const char*, void* self, void** found,
                        sd_bus_error*) {
        return FindWhere(path, self, found, [](const AtspiBridge&, const Accessible& object) {
            return object.hasText;
        });
    }
    static int FindAction(sd_bus*, const char* path, const char*, void* self, void** found,
                          sd_bus_error*) {
        return FindWhere(path, self, found, [](const AtspiBridge&, const Accessible& object) {
            return object.pressable;
        });
    }
    static int FindApplication(sd_bus*, const char* path, const char*, void* self, void** found,
                               sd_bus_error*) {
        return FindWhere(path, self, found,
                         [](const AtspiBridge& bridge, const Accessible& object) {
                             return bridge.IsApplication(object);
                         });
    }
    template <typename Has>
    static int FindWhere(const char* path, void* self, void** found, Has has) {
        auto* bridge = static_cast<AtspiBridge*>(self);
        const Accessible* object = bridge->Resolve(path);
        if (object == nullptr || !has(*bridge, *object)) return 0;
        *found = self;
        return 1;
    }

    // --- org.a11y.atspi.Accessible -------------------------------------------------------

    int Name(sd_bus_message* m, const Accessible& o) {
        return sd->message_append(m, "s", o.name.c_str());
    }
    int Empty(sd_bus_message* m, const Accessible&) { return sd->message_append(m, "s", ""); }
    int Parent(sd_bus_message* m, const Accessible& o) { return AppendParent(m, o); }
    int ChildCount(sd_bus_message* m, const Accessible& o) {
        return sd->message_append(m, "i", static_cast<std::int32_t>(o.children.size()));
    }
    int Locale(sd_bus_message* m, const Accessible&) {
        const char* locale = std::setlocale(LC_MESSAGES, nullptr);
        return sd->message_append(m, "s", locale != nullptr ? locale : "C");
    }

    int GetChildAtIndex(sd_bus_message* m, const Accessible& o) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        if (r < 0) return r;
        return Reply(m, [&](sd_bus_message* reply) {
            if (index < 0 || static_cast<std::size_t>(index) >= o.children.size())
                return sd->message_append(reply, "(so)", "", kNullPath);
            return AppendReference(reply, o.children[static_cast<std::size_t>(index)]);
        });
    }
    int GetChildren(sd_bus_message* m, const Accessible& o) {
        return Reply(m, [&](sd_bus_message* reply) {
            int r = sd->message_open_container(reply, 'a', "(so)");
            for (HWND child : o.children) {
                if (r >= 0) r = AppendReference(reply, child);
            }
            return r < 0 ? r : sd->message_close_container(reply);
        });
    }
    int GetIndexInParent(sd_bus_message* m, const Accessible& o) {
        const std::vector<HWND>* siblings = nullptr;
        if (!IsApplication(o)) {
            const Accessible* parent = o.parent != nullptr ? tree_.Find(o.parent) : &application_;
            if (parent != nullptr) siblings = &parent->children;
        }
        std::int32_t index = -1;
        if (siblings != nullptr) {
            auto found = std::find(siblings->begin(), siblings->end(), o.handle);
            if (found != siblings->end())
                index = static_cast<std::int32_t>(found - siblings->begin());
        }
        return sd->reply_method_return(m, "i", index);
    }
    int GetRelationSet(sd_bus_message* m, const Accessible& o) {
        return Reply(m, [&](sd_bus_message* reply) {
            int r = sd->message_open_container(reply, 'a', "(ua(so))");
            auto relation = [&](std::uint32_t type, const std::vector<HWND>& targets) {
                if (targets.empty() || r < 0) return;
                r = sd->message_open_container(reply, 'r', "ua(so)");
                if (r >= 0) r = sd->message_append(reply, "u", type);
                if (r >= 0) r = sd->message_open_container(reply, 'a', "(so)");
                for (HWND target : targets) {
                    if (r >= 0) r = AppendReference(reply, target);
                }
                if (r >= 0) r = sd->message_close_container(reply);
                if (r >= 0) r = sd->message_close_container(reply);
            };
            if (o.labelledBy != nullptr) relation(kLabelledBy, {o.labelledBy});
            relation(kLabelFor, o.labelFor);
            return r < 0 ? r : sd->message_close_container(reply);
        });
    }
    int GetRole(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "u", o.role);
    }
    int GetRoleName(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "s", RoleName(o.role));
    }
    int GetState(sd_bus_message* m, const Accessible& o) {
        return Reply(m, [&](sd_bus_message* reply) {
            return sd->message_append(reply, "au", 2, static_cast<std::uint32_t>(o.states),
                                      static_cast<std::uint32_t>(o.states >> 32));
        });
    }
    int GetAttributes(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "a{ss}", 0);
    }
    int GetApplication(sd_bus_message* m, const Accessible&) {
        return Reply(m, [&](sd_bus_message* reply) { return AppendReference(reply, nullptr); });
    }
    int GetInterfaces(sd_bus_message* m, const Accessible& o) {
        return Reply(m, [&](sd_bus_message* reply) {
            int r = sd->message_open_container(reply, 'a', "s");
            auto add = [&](const char* name) {
                if (r >= 0) r = sd->message_append(reply, "s", name);
            };
            add("org.a11y.atspi.Accessible");
            if (IsApplication(o)) add("org.a11y.atspi.Application");
            if (!IsApplication(o)) add("org.a11y.atspi.Component");
            if (o.hasText) {
                add("org.a11y.atspi.Text");
                add("org.a11y.atspi.EditableText");
            }
            if (o.pressable) add("org.a11y.atspi.Action");
            return r < 0 ? r : sd->message_close_container(reply);
        });
    }

    // --- org.a11y.atspi.Application ------------------------------------------------------

    int Toolkit(sd_bus_message* m, const Accessible&) {
        return sd->message_append(m, "s", "credcipher-win32");
    }
    int Version(sd_bus_message* m, const Accessible&) { return sd->message_append(m, "s", "1.0"); }
    int AtspiVersion(sd_bus_message* m, const Accessible&) {
        return sd->message_append(m, "s", "2.1");
    }
    int Id(sd_bus_message* m, const Accessible&) { return sd->message_append(m, "i", id_); }
    static int SetId(sd_bus*, const char*, const char*, const char*, sd_bus_message* value,
                     void* self, sd_bus_error*) {
        return sd->message_read(value, "i", &static_cast<AtspiBridge*>(self)->id_);
    }
    int GetLocale(sd_bus_message* m, const Accessible& o) {
        return Reply(m, [&](sd_bus_message* reply) { return Locale(reply, o); });
    }

    // --- org.a11y.atspi.Component --------------------------------------------------------

    // `rect` in the coordinates `type` asks for.
    RECT InCoordinates(RECT rect, const Accessible& o, std::uint32_t type) const {
        const Accessible* origin = nullptr;
        if (type == kWindow) origin = tree_.Find(o.topLevel);
        if (type == kParent) origin = tree_.Find(o.parent);
        if (origin != nullptr) rect = Offset(rect, -origin->extents.left, -origin->extents.top);
        return rect;
    }
    POINT ToScreen(POINT point, const Accessible& o, std::uint32_t type) const {
        const RECT origin = InCoordinates(RECT{0, 0, 0, 0}, o, type);
        return POINT{point.x - origin.left, point.y - origin.top};
    }
    // Component answers with a structure, Text with four numbers.
    static int ReplyRect(sd_bus_message* m, const RECT& rect, const char* type = "(iiii)") {
        return sd->reply_method_return(m, type, static_cast<std::int32_t>(rect.left),
                                       static_cast<std::int32_t>(rect.top),
                                       static_cast<std::int32_t>(rect.right - rect.left),
                                       static_cast<std::int32_t>(rect.bottom - rect.top));
    }
    int GetExtents(sd_bus_message* m, const Accessible& o) {
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "u", &type);
        return r < 0 ? r : ReplyRect(m, InCoordinates(o.extents, o, type));
    }
    int GetPosition(sd_bus_message* m, const Accessible& o) {
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "u", &type);
        if (r < 0) return r;
        const RECT rect = InCoordinates(o.extents, o, type);
        return sd->reply_method_return(m, "ii", static_cast<std::int32_t>(rect.left),
                                       static_cast<std::int32_t>(rect.top));
    }
    int GetSize(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "ii",
                                       static_cast<std::int32_t>(o.extents.right - o.extents.left),
                                       static_cast<std::int32_t>(o.extents.bottom - o.extents.top));
    }
    // The deepest object under a point.
    const Accessible* At(const Accessible& o, POINT screen) const {
        for (HWND child : o.children) {
            const Accessible* found = tree_.Find(child);
            if (found != nullptr && win32::Contains(found->extents, screen))
                return At(*found, screen);
        }
        return &o;
    }
    int Contains(sd_bus_message* m, const Accessible& o) {
        std::int32_t x = 0, y = 0;
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "iiu", &x, &y, &type);
        if (r < 0) return r;
        return sd->reply_method_return(
            m, "b", win32::Contains(o.extents, ToScreen(POINT{x, y}, o, type)) ? 1 : 0);
    }
    int GetAccessibleAtPoint(sd_bus_message* m, const Accessible& o) {
        std::int32_t x = 0, y = 0;
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "iiu", &x, &y, &type);
        if (r < 0) return r;
        const POINT screen = ToScreen(POINT{x, y}, o, type);
        return Reply(m, [&](sd_bus_message* reply) {
            if (!win32::Contains(o.extents, screen))
                return sd->message_append(reply, "(so)", "", kNullPath);
            const Accessible* found = At(o, screen);
            return found == &o ? sd->message_append(reply, "(so)", "", kNullPath)
                               : AppendReference(reply, found->handle);
        });
    }
    int GetLayer(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "u", o.parent == nullptr ? kLayerWindow : kLayerWidget);
    }
    int GetMdiZOrder(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "n", static_cast<std::int16_t>(-1));
    }
    int GetAlpha(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "d", 1.0);
    }
    int No(sd_bus_message* m, const Accessible&) { return sd->reply_method_return(m, "b", 0); }
    // A button takes the focus when pressed and is not clicked when released off it, as with a
    // person's mouse; any other control takes it with a click.
    int GrabFocus(sd_bus_message* m, const Accessible& o) {
        if (sink_ == nullptr || o.parent == nullptr || !(o.states & Bit(kStateFocusable)))
            return sd->reply_method_return(m, "b", 0);
        const POINT center = Center(o.extents);
        sink_->MouseMove(center);
        sink_->MouseButton(center, MouseKey::kLeft, true, kNoModifiers);
        const POINT outside{o.extents.left - 1, o.extents.top - 1};
        if (o.pressable) sink_->MouseMove(outside);
        sink_->MouseButton(o.pressable ? outside : center, MouseKey::kLeft, false, kNoModifiers);
        return sd->reply_method_return(m, "b", 1);
    }

    // --- org.a11y.atspi.Action -----------------------------------------------------------

    int ActionCount(sd_bus_message* m, const Accessible&) { return sd->message_append(m, "i", 1); }
    int ActionName(sd_bus_message* m, const Accessible&) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        return r < 0 ? r : sd->reply_method_return(m, "s", index == 0 ? "click" : "");
    }
    int ActionDescription(sd_bus_message* m, const Accessible&) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        return r < 0 ? r : sd->reply_method_return(m, "s", "");
    }
    int GetActions(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "a(sss)", 1, "click", "", "");
    }
    void Click(POINT at) {
        sink_->MouseMove(at);
        sink_->MouseButton(at, MouseKey::kLeft, true, kNoModifiers);
        sink_->MouseButton(at, MouseKey::kLeft, false, kNoModifiers);
    }
    int DoAction(sd_bus_message* m, const Accessible& o) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        if (r < 0) return r;
        const bool can = index == 0 && sink_ != nullptr && (o.states & Bit(kStateEnabled));
        if (can) Click(Center(o.extents));
        return sd->reply_method_return(m, "b", can ? 1 : 0);
    }

    // --- org.a11y.atspi.Text -------------------------------------------------------------

    std::int32_t Size(const Accessible& o) const {
        return static_cast<std::int32_t>(o.text.size());
    }
    static std::string Slice(const Accessible& o, std::int32_t start, std::int32_t end) {
        const auto size = static_cast<std::int32_t>(o.text.size());
        if (end < 0 || end > size) end = size;
        start = std::clamp(start, 0, end);
        std::string utf8;
        for (std::int32_t i = start; i < end; ++i)
            AppendUtf8(utf8, o.text[static_cast<std::size_t>(i)]);
        return utf8;
    }
    int CharacterCount(sd_bus_message* m, const Accessible& o) {
        return sd->message_append(m, "i", Size(o));
    }
    int CaretOffset(sd_bus_message* m, const Accessible& o) {
        return sd->message_append(m, "i", static_cast<std::int32_t>(o.caret));
    }
    int GetText(sd_bus_message* m, const Accessible& o) {
        std::int32_t start = 0, end = 0;
        int r = sd->message_read(m, "ii", &start, &end);
        return r < 0 ? r : sd->reply_method_return(m, "s", Slice(o, start, end).c_str());
    }
    int GetCharacterAtOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        int r = sd->message_read(m, "i", &offset);
        if (r < 0) return r;
        const std::int32_t c =
            offset >= 0 && offset < Size(o)
                ? static_cast<std::int32_t>(o.text[static_cast<std::size_t>(offset)])
                : 0;
        return sd->reply_method_return(m, "i", c);
    }
    // The character, word or whole line at `offset`: a single-line field's sentence, line and
    // paragraph are all of its text. A word is a run of non-spaces, with the spaces after it
    // when `trailing`.
    std::pair<std::int32_t, std::int32_t> Range(const Accessible& o, std::int32_t offset,
                                                std::uint32_t unit, bool trailing) const {
        const std::int32_t size = Size(o);
        offset = std::clamp(offset, 0, size);
        if (unit == 0) return {offset, std::min(offset + 1, size)};
        if (unit != 1) return {0, size};
        std::int32_t start = offset;
        std::int32_t end = offset;
        auto at = [&o](std::int32_t i) { return o.text[static_cast<std::size_t>(i)]; };
        while (start > 0 && !IsSpace(at(start - 1))) --start;
        while (end < size && !IsSpace(at(end))) ++end;
        while (trailing && end < size && IsSpace(at(end))) ++end;
        return {start, end};
    }
    int ReplyRange(sd_bus_message* m, const Accessible& o,
                   std::pair<std::int32_t, std::int32_t> range) {
        return sd->reply_method_return(m, "sii", Slice(o, range.first, range.second).c_str(),
                                       range.first, range.second);
    }
    // Boundaries: 0 character, 1 and 2 word start and end, 3 and 4 sentence, 5 and 6 line.
    static std::uint32_t UnitOfBoundary(std::uint32_t boundary) {
        return boundary == 0 ? 0 : boundary <= 2 ? 1 : 2;
    }
    int GetTextAtOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        std::uint32_t boundary = 0;
        int r = sd->message_read(m, "iu", &offset, &boundary);
        return r < 0 ? r
                     : ReplyRange(m, o, Range(o, offset, UnitOfBoundary(boundary), boundary == 1));
    }
    int GetTextBeforeOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        std::uint32_t boundary = 0;
        int r = sd->message_read(m, "iu", &offset, &boundary);
        if (r < 0) return r;
        const std::uint32_t unit = UnitOfBoundary(boundary);
        const auto here = Range(o, offset, unit, boundary == 1);
        if (here.first == 0 || unit == 2) return ReplyRange(m, o, {0, 0});
        return ReplyRange(m, o, Range(o, here.first - 1, unit, boundary == 1));
    }
    int GetTextAfterOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        std::uint32_t boundary = 0;
        int r = sd->message_read(m, "iu", &offset, &boundary);
        if (r < 0) return r;
        const std::uint32_t unit = UnitOfBoundary(boundary);
        const auto here = Range(o, offset, unit, boundary == 1);
        if (here.second >= Size(o) || unit == 2) return ReplyRange(m, o, {Size(o), Size(o)});
        return ReplyRange(m, o, Range(o, here.second, unit, boundary == 1));
    }
    // Granularities: 0 character, 1 word, 2 sentence, 3 line, 4 paragraph.
    int GetStringAtOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        std::uint32_t granularity = 0;
        int r = sd->message_read(m, "iu", &offset, &granularity);
        return r < 0 ? r : ReplyRange(m, o, Range(o, offset, std::min(granularity, 2u), false));
    }
    int GetAttributeValue(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "s", "");
    }
    int GetTextAttributes(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "a{ss}ii", 0, 0, Size(o));
    }
    int GetDefaultAttributes(sd_bus_message* m, const Accessible&) {
        return sd->reply_method_return(m, "a{ss}", 0);
    }
    // UTF-16 index in `shown` of code point `offset`.
    static std::size_t UnitIndex(const Accessible& o, std::int32_t offset) {
        if (offset <= 0 || o.unitOf.empty()) return 0;
        return o.unitOf[std::min(static_cast<std::size_t>(offset), o.unitOf.size() - 1)];
    }
    // Where code points [start, end) are drawn: measured from the first visible unit.
    RECT TextRect(const Accessible& o, std::int32_t start, std::int32_t end) const {
        const std::size_t first = std::min(o.firstVisible, o.shown.size());
        const std::size_t from = std::max(UnitIndex(o, start), first);
        const std::size_t to = std::max(UnitIndex(o, end), from);
        const std::u16string_view shown(o.shown);
        const int left = o.client.left + measure_(shown.substr(first, from - first));
        const int width = measure_(shown.substr(from, to - from));
        return RECT{left, o.client.top, left + width, o.client.bottom};
    }
    int GetCharacterExtents(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "iu", &offset, &type);
        return r < 0
                   ? r
                   : ReplyRect(m, InCoordinates(TextRect(o, offset, offset + 1), o, type), "iiii");
    }
    int GetRangeExtents(sd_bus_message* m, const Accessible& o) {
        std::int32_t start = 0, end = 0;
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "iiu", &start, &end, &type);
        return r < 0 ? r : ReplyRect(m, InCoordinates(TextRect(o, start, end), o, type), "iiii");
    }
    int GetOffsetAtPoint(sd_bus_message* m, const Accessible& o) {
        std::int32_t x = 0, y = 0;
        std::uint32_t type = kScreen;
        int r = sd->message_read(m, "iiu", &x, &y, &type);
        if (r < 0) return r;
        const POINT screen = ToScreen(POINT{x, y}, o, type);
        // Characters are drawn left to right: the last one starting at or before x, by halving.
        std::int32_t low = 0;
        std::int32_t high = Size(o);
        while (high - low > 1) {
            const std::int32_t middle = low + (high - low) / 2;
            (TextRect(o, middle, middle).left <= screen.x ? low : high) = middle;
        }
        const RECT cell = TextRect(o, low, low + 1);
        const std::int32_t found = low < Size(o) && win32::Contains(cell, screen) ? low : -1;
        return sd->reply_method_return(m, "i", found);
    }
    int GetNSelections(sd_bus_message* m, const Accessible& o) {
        return sd->reply_method_return(m, "i", o.selectionHigh > o.selectionLow ? 1 : 0);
    }
    int GetSelection(sd_bus_message* m, const Accessible& o) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        if (r < 0) return r;
        if (index != 0 || o.selectionHigh <= o.selectionLow)
            return sd->reply_method_return(m, "ii", 0, 0);
        return sd->reply_method_return(m, "ii", static_cast<std::int32_t>(o.selectionLow),
                                       static_cast<std::int32_t>(o.selectionHigh));
    }

    // Keys that put the caret at `start` and select up to `end`, in a field clicked first.
    bool Select(const Accessible& o, std::int32_t start, std::int32_t end) {
        if (sink_ == nullptr || !(o.states & Bit(kStateEnabled))) return false;
        const std::int32_t size = Size(o);
        start = std::clamp(start, 0, size);
        end = std::clamp(end, 0, size);
        Click(Center(o.client));
        sink_->KeyPress(VK_HOME, kNoModifiers);
        for (std::int32_t i = 0; i < start; ++i) sink_->KeyPress(VK_RIGHT, kNoModifiers);
        for (std::int32_t i = start; i < end; ++i) sink_->KeyPress(VK_RIGHT, kShift);
        return true;
    }
    int SetCaretOffset(sd_bus_message* m, const Accessible& o) {
        std::int32_t offset = 0;
        int r = sd->message_read(m, "i", &offset);
        return r < 0 ? r : sd->reply_method_return(m, "b", Select(o, offset, offset) ? 1 : 0);
    }
    int SetSelection(sd_bus_message* m, const Accessible& o) {
        std::int32_t index = 0, start = 0, end = 0;
        int r = sd->message_read(m, "iii", &index, &start, &end);
        if (r < 0) return r;
        return sd->reply_method_return(m, "b", index == 0 && Select(o, start, end) ? 1 : 0);
    }
    int AddSelection(sd_bus_message* m, const Accessible& o) {
        std::int32_t start = 0, end = 0;
        int r = sd->message_read(m, "ii", &start, &end);
        return r < 0 ? r : sd->reply_method_return(m, "b", Select(o, start, end) ? 1 : 0);
    }
    int RemoveSelection(sd_bus_message* m, const Accessible& o) {
        std::int32_t index = 0;
        int r = sd->message_read(m, "i", &index);
        if (r < 0) return r;
        const auto caret = static_cast<std::int32_t>(o.caret);
        return sd->reply_method_return(m, "b", index == 0 && Select(o, caret, caret) ? 1 : 0);
    }

    // --- org.a11y.atspi.EditableText -----------------------------------------------------

    // Replaces [start, end) with `text`, as a person selecting it and pasting would.
    bool Replace(const Accessible& o, std::int32_t start, std::int32_t end, std::string_view text) {
        if (!o.editable || !Select(o, start, end)) return false;
        if (text.empty()) {
            if (end > start) sink_->KeyPress(VK_DELETE, kNoModifiers);
        } else {
            sink_->Paste(Utf8ToUtf16(text));
        }
        return true;
    }
    int SetTextContents(sd_bus_message* m, const Accessible& o) {
        const char* text = nullptr;
        int r = sd->message_read(m, "s", &text);
        return r < 0 ? r : sd->reply_method_return(m, "b", Replace(o, 0, Size(o), text) ? 1 : 0);
    }
    int InsertText(sd_bus_message* m, const Accessible& o) {
        std::int32_t position = 0, length = 0;
        const char* text = nullptr;
        int r = sd->message_read(m, "isi", &position, &text, &length);
        if (r < 0) return r;
        // `length` counts characters of `text`; a negative one means all of it.
        std::u16string inserted = Utf8ToUtf16(text);
        if (length >= 0) {
            const std::vector<CodePoint> points = DecodeUtf16(inserted);
            if (static_cast<std::size_t>(length) < points.size())
                inserted.resize(points[static_cast<std::size_t>(length)].index);
        }
        return sd->reply_method_return(
            m, "b", Replace(o, position, position, Utf16ToUtf8(inserted)) ? 1 : 0);
    }
    int DeleteText(sd_bus_message* m, const Accessible& o) {
        std::int32_t start = 0, end = 0;
        int r = sd->message_read(m, "ii", &start, &end);
        return r < 0 ? r : sd->reply_method_return(m, "b", Replace(o, start, end, {}) ? 1 : 0);
    }
    int Shortcut(sd_bus_message* m, const Accessible& o, UINT key, bool needsEditable, bool reply) {
        std::int32_t start = 0, end = 0;
        int r = sd->message_read(m, "ii", &start, &end);
        if (r < 0) return r;
        const bool done = (!needsEditable || o.editable) && Select(o, start, end);
        if (done) sink_->KeyPress(key, kControl);
        return reply ? sd->reply_method_return(m, "b", done ? 1 : 0)
                     : sd->reply_method_return(m, "");
    }
    int CopyText(sd_bus_message* m, const Accessible& o) {
        return Shortcut(m, o, 'C', false, false);
    }
    int CutText(sd_bus_message* m, const Accessible& o) { return Shortcut(m, o, 'X', true, true); }
    int PasteText(sd_bus_message* m, const Accessible& o) {
        std::int32_t position = 0;
        int r = sd->message_read(m, "i", &position);
        if (r < 0) return r;
        const bool done = o.editable && Select(o, position, position);
        if (done) sink_->KeyPress('V', kControl);
        return sd->reply_method_return(m, "b", done ? 1 : 0);
    }

    // The cache interface: nothing is offered in advance; every question is answered afresh.
    static int GetItems(sd_bus_message* m, void*, sd_bus_error*) {
        return sd->reply_method_return(m, "a((so)(so)(so)iiassusau)", 0);
    }

    bool AddObjects();

    // --- Events --------------------------------------------------------------------------

    void Emit(const Event& event) {
        const std::string interface = std::string("org.a11y.atspi.Event.") + event.kind;
        Message signal;
        int r = sd->message_new_signal(bus_, &signal.m, PathOf(event.source).c_str(),
                                       interface.c_str(), event.member);
        if (r >= 0)
            r = sd->message_append(signal.m, "sii", event.detail.c_str(), event.detail1,
                                   event.detail2);
        if (r >= 0 && event.carriesChild) {
            r = sd->message_open_container(signal.m, 'v', "(so)");
            if (r >= 0) r = AppendReference(signal.m, event.child);
            if (r >= 0) r = sd->message_close_container(signal.m);
        } else if (r >= 0 && !event.text.empty()) {
            r = sd->message_append(signal.m, "v", "s", event.text.c_str());
        } else if (r >= 0) {
            r = sd->message_append(signal.m, "v", "i", 0);
        }
        if (r >= 0) r = sd->message_append(signal.m, "a{sv}", 0);
        if (r >= 0) sd->send(bus_, signal.m, nullptr);
    }

    std::function<int(std::u16string_view)> measure_;
    sd_bus* session_ = nullptr;  // only until the accessibility bus's address is known
    sd_bus* bus_ = nullptr;      // the accessibility bus
    bool closeSession_ = false;
    std::string pendingAddress_;
    std::string unique_;
    std::string registryName_;
    std::string registryPath_;
    std::int32_t id_ = 0;
    InputSink* sink_ = nullptr;  // while serving
    AccessibleTree tree_;
    Accessible application_;
};

#define CREDCIPHER_METHOD(name, in, out, method) \
    SD_BUS_METHOD(name, in, out, (Call<&AtspiBridge::method>), SD_BUS_VTABLE_UNPRIVILEGED)
#define CREDCIPHER_PROPERTY(name, type, getter) \
    SD_BUS_PROPERTY(name, type, (Get<&AtspiBridge::getter>), 0, 0)

bool AtspiBridge::AddObjects() {
    static sd_bus_vtable kAccessible[] = {
        kVtableStart,
        CREDCIPHER_PROPERTY("Name", "s", Name),
        CREDCIPHER_PROPERTY("Description", "s", Empty),
        CREDCIPHER_PROPERTY("Parent", "(so)", Parent),
        CREDCIPHER_PROPERTY("ChildCount", "i", ChildCount),
        CREDCIPHER_PROPERTY("Locale", "s", Locale),
        CREDCIPHER_PROPERTY("AccessibleId", "s", Empty),
        CREDCIPHER_PROPERTY("HelpText", "s", Empty),
        CREDCIPHER_METHOD("GetChildAtIndex", "i", "(so)", GetChildAtIndex),
        CREDCIPHER_METHOD("GetChildren", "", "a(so)", GetChildren),
        CREDCIPHER_METHOD("GetIndexInParent", "", "i", GetIndexInParent),
        CREDCIPHER_METHOD("GetRelationSet", "", "a(ua(so))", GetRelationSet),
        CREDCIPHER_METHOD("GetRole", "", "u", GetRole),
        CREDCIPHER_METHOD("GetRoleName", "", "s", GetRoleName),
        CREDCIPHER_METHOD("GetLocalizedRoleName", "", "s", GetRoleName),
        CREDCIPHER_METHOD("GetState", "", "au", GetState),
        CREDCIPHER_METHOD("GetAttributes", "", "a{ss}", GetAttributes),
        CREDCIPHER_METHOD("GetApplication", "", "(so)", GetApplication),
        CREDCIPHER_METHOD("GetInterfaces", "", "as", GetInterfaces),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kApplication[] = {
        kVtableStart,
        CREDCIPHER_PROPERTY("ToolkitName", "s", Toolkit),
        CREDCIPHER_PROPERTY("Version", "s", Version),
        CREDCIPHER_PROPERTY("AtspiVersion", "s", AtspiVersion),
        SD_BUS_WRITABLE_PROPERTY("Id", "i", (Get<&AtspiBridge::Id>), SetId, 0, 0),
        CREDCIPHER_METHOD("GetLocale", "u", "s", GetLocale),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kComponent[] = {
        kVtableStart,
        CREDCIPHER_METHOD("Contains", "iiu", "b", Contains),
        CREDCIPHER_METHOD("GetAccessibleAtPoint", "iiu", "(so)", GetAccessibleAtPoint),
        CREDCIPHER_METHOD("GetExtents", "u", "(iiii)", GetExtents),
        CREDCIPHER_METHOD("GetPosition", "u", "ii", GetPosition),
        CREDCIPHER_METHOD("GetSize", "", "ii", GetSize),
        CREDCIPHER_METHOD("GetLayer", "", "u", GetLayer),
        CREDCIPHER_METHOD("GetMDIZOrder", "", "n", GetMdiZOrder),
        CREDCIPHER_METHOD("GrabFocus", "", "b", GrabFocus),
        CREDCIPHER_METHOD("GetAlpha", "", "d", GetAlpha),
        CREDCIPHER_METHOD("SetExtents", "iiiiu", "b", No),
        CREDCIPHER_METHOD("SetPosition", "iiu", "b", No),
        CREDCIPHER_METHOD("SetSize", "ii", "b", No),
        CREDCIPHER_METHOD("ScrollTo", "u", "b", No),
        CREDCIPHER_METHOD("ScrollToPoint", "uii", "b", No),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kAction[] = {
        kVtableStart,
        CREDCIPHER_PROPERTY("NActions", "i", ActionCount),
        CREDCIPHER_METHOD("GetDescription", "i", "s", ActionDescription),
        CREDCIPHER_METHOD("GetName", "i", "s", ActionName),
        CREDCIPHER_METHOD("GetLocalizedName", "i", "s", ActionName),
        CREDCIPHER_METHOD("GetKeyBinding", "i", "s", ActionDescription),
        CREDCIPHER_METHOD("GetActions", "", "a(sss)", GetActions),
        CREDCIPHER_METHOD("DoAction", "i", "b", DoAction),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kText[] = {
        kVtableStart,
        CREDCIPHER_PROPERTY("CharacterCount", "i", CharacterCount),
        CREDCIPHER_PROPERTY("CaretOffset", "i", CaretOffset),
        CREDCIPHER_METHOD("GetStringAtOffset", "iu", "sii", GetStringAtOffset),
        CREDCIPHER_METHOD("GetText", "ii", "s", GetText),
        CREDCIPHER_METHOD("SetCaretOffset", "i", "b", SetCaretOffset),
        CREDCIPHER_METHOD("GetTextBeforeOffset", "iu", "sii", GetTextBeforeOffset),
        CREDCIPHER_METHOD("GetTextAtOffset", "iu", "sii", GetTextAtOffset),
        CREDCIPHER_METHOD("GetTextAfterOffset", "iu", "sii", GetTextAfterOffset),
        CREDCIPHER_METHOD("GetCharacterAtOffset", "i", "i", GetCharacterAtOffset),
        CREDCIPHER_METHOD("GetAttributeValue", "is", "s", GetAttributeValue),
        CREDCIPHER_METHOD("GetAttributes", "i", "a{ss}ii", GetTextAttributes),
        CREDCIPHER_METHOD("GetDefaultAttributes", "", "a{ss}", GetDefaultAttributes),
        CREDCIPHER_METHOD("GetDefaultAttributeSet", "", "a{ss}", GetDefaultAttributes),
        CREDCIPHER_METHOD("GetAttributeRun", "ib", "a{ss}ii", GetTextAttributes),
        CREDCIPHER_METHOD("GetCharacterExtents", "iu", "iiii", GetCharacterExtents),
        CREDCIPHER_METHOD("GetRangeExtents", "iiu", "iiii", GetRangeExtents),
        CREDCIPHER_METHOD("GetOffsetAtPoint", "iiu", "i", GetOffsetAtPoint),
        CREDCIPHER_METHOD("GetNSelections", "", "i", GetNSelections),
        CREDCIPHER_METHOD("GetSelection", "i", "ii", GetSelection),
        CREDCIPHER_METHOD("AddSelection", "ii", "b", AddSelection),
        CREDCIPHER_METHOD("RemoveSelection", "i", "b", RemoveSelection),
        CREDCIPHER_METHOD("SetSelection", "iii", "b", SetSelection),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kEditableText[] = {
        kVtableStart,
        CREDCIPHER_METHOD("SetTextContents", "s", "b", SetTextContents),
        CREDCIPHER_METHOD("InsertText", "isi", "b", InsertText),
        CREDCIPHER_METHOD("CopyText", "ii", "", CopyText),
        CREDCIPHER_METHOD("CutText", "ii", "b", CutText),
        CREDCIPHER_METHOD("DeleteText", "ii", "b", DeleteText),
        CREDCIPHER_METHOD("PasteText", "i", "b", PasteText),
        SD_BUS_VTABLE_END};
    static sd_bus_vtable kCache[] = {kVtableStart,
                                     SD_BUS_METHOD("GetItems", "", "a((so)(so)(so)iiassusau)",
                                                   GetItems, SD_BUS_VTABLE_UNPRIVILEGED),
                                     SD_BUS_VTABLE_END};
    const struct {
        const char* interface;
        sd_bus_vtable* vtable;
        sd_bus_object_find_t find;
    } kInterfaces[] = {
        {"org.a11y.atspi.Accessible", kAccessible, FindAny},
        {"org.a11y.atspi.Application", kApplication, FindApplication},
        {"org.a11y.atspi.Component", kComponent, FindWidget},
        {"org.a11y.atspi.Action", kAction, FindAction},
        {"org.a11y.atspi.Text", kText, FindText},
        {"org.a11y.atspi.EditableText", kEditableText, FindText},
    };
    const auto* format = static_cast<const unsigned*>(sd->vtableFormat);
    kCache[0].x.start.vtable_format_reference = format;
    for (const auto& entry : kInterfaces) {
        entry.vtable[0].x.start.vtable_format_reference = format;
        if (sd->add_fallback_vtable(bus_, nullptr, kPathPrefix, entry.interface, entry.vtable,
                                    entry.find, this) < 0)
            return false;
    }
    return sd->add_object_vtable(bus_, nullptr, "/org/a11y/atspi/cache", "org.a11y.atspi.Cache",
                                 kCache, this) >= 0;
}

// The AT_SPI_BUS property the accessibility bus's launcher puts on the root window.
std::string AddressFromServer(::Display* display) {
    const Atom atom = XInternAtom(display, "AT_SPI_BUS", True);
    if (atom == None) return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string address;
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 1024, False, XA_STRING,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8) address.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return address;
}

bool HasEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

}  // namespace atspi

std::unique_ptr<AccessibilityBridge> ConnectAccessibilityBridge(
    _XDisplay* display, std::function<int(std::u16string_view)> measure) {
    const char* disabled = std::getenv("NO_AT_BRIDGE");
    if (disabled != nullptr && std::strcmp(disabled, "1") == 0) return nullptr;
    std::string address;
    if (atspi::HasEnvironment("AT_SPI_BUS_ADDRESS")) address = std::getenv("AT_SPI_BUS_ADDRESS");
    if (address.empty()) address = atspi::AddressFromServer(display);
    const bool session = atspi::HasEnvironment("DBUS_SESSION_BUS_ADDRESS") ||
                         atspi::HasEnvironment("XDG_RUNTIME_DIR");
    if (address.empty() && !session) return nullptr;
    atspi::sd = atspi::LoadSdBus();
    if (atspi::sd == nullptr) return nullptr;
    auto bridge = std::make_unique<atspi::AtspiBridge>(std::move(measure));
    if (!address.empty()) {
        bridge->Open(address.c_str());
    } else {
        bridge->AskSessionBus();
    }
    if (!bridge->Alive()) return nullptr;
    return bridge;
}

}  // namespace win32
