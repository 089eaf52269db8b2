#include "document/WindowHost.h"

namespace arv {

namespace {
IWindowHost& BuiltInHost() {
    static IWindowHost host;
    return host;
}
IWindowHost*& InstalledHost() {
    static IWindowHost* host = nullptr;
    return host;
}
} // namespace

TWindowState& WindowState() {
    static TWindowState state;
    return state;
}

IWindowHost& WindowHost() {
    IWindowHost* h = InstalledHost();
    return h ? *h : BuiltInHost();
}

void InstallWindowHost(IWindowHost* host) {
    InstalledHost() = host;
}

} // namespace arv
