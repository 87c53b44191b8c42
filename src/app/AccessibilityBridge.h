#pragma once

namespace quorelle {

// The toolkit's accessibility bridge (AT-SPI) and the session bus it needs.
//
// The bridge joins whatever accessibility bus the display publishes (every
// desktop session puts its address on the X root window) and names each
// window's objects there after the application's path on the session bus.
// A browser started without a session bus (from cron, su, ssh or env -i)
// has no such path: the toolkit (GTK 4.8) then registers its objects under
// none, which logs criticals from the start and crashes when a window
// closes. So without a session bus the bridge stays off for the run.
struct AccessibilityBridge {
    // Without a session bus, turns the bridge off (GTK_A11Y=none) and says so
    // on stderr, unless GTK_A11Y already keeps it away. While the bridge is
    // off, the web engine's processes stay off the accessibility bus as well
    // (WEBKIT_A11Y_BUS_ADDRESS empty, unless the user named one). Call before
    // the toolkit starts.
    static void keepOffWithoutSessionBus();
};

}  // namespace quorelle
