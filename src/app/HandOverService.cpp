#include "app/HandOverService.h"

#include "model/GLibPtr.h"

#include <algorithm>
#include <cstring>

namespace quorelle {
namespace {

GDBusInterfaceInfo* interfaceInfo() {
    // Parsed once; the description lives as long as the process.
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(
        "<node><interface name='io.github.quorelle.HandOver'>"
        "<method name='Open'><arg type='a{sv}' name='platform_data' direction='in'/>"
        "<arg type='b' name='opened' direction='out'/></method>"
        "</interface></node>",
        nullptr);
    return node ? g_dbus_node_info_lookup_interface(node, HandOverService::interfaceName) : nullptr;
}

}  // namespace

HandOverService::HandOverService(GDBusConnection* connection, const std::string& objectPath, Open open)
    : connection_(connection), open_(std::move(open)) {
    static const GDBusInterfaceVTable table{&HandOverService::onCall, nullptr, nullptr, {}};
    if (connection_ && interfaceInfo())
        registration_ = g_dbus_connection_register_object(connection_, objectPath.c_str(), interfaceInfo(), &table,
                                                          this, nullptr, nullptr);
}

HandOverService::~HandOverService() {
    if (registration_) g_dbus_connection_unregister_object(connection_, registration_);
}

std::string HandOverService::objectPathOf(const std::string& applicationID) {
    std::string path = "/" + applicationID;
    std::replace(path.begin(), path.end(), '.', '/');
    std::replace(path.begin(), path.end(), '-', '_');
    return path;
}

void HandOverService::onCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                             GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
    if (std::strcmp(method, methodName) != 0) return;
    GLibPtr<GVariant, g_variant_unref> platformData(g_variant_get_child_value(parameters, 0));
    const bool opened = static_cast<HandOverService*>(self)->open_(platformData.get());
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", opened));
}

}  // namespace quorelle
