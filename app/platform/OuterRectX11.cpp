#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <memory>

#include "app/platform/OuterRect.h"

namespace patchferry {
namespace {

// xcb replies are malloc'ed by the library and freed with free().
struct FreeReply {
    void operator()(void* reply) const {
        std::free(reply);  // NOLINT(cppcoreguidelines-owning-memory)
    }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

}  // namespace

QRect OuterRectOf(const QWidget& window) {
    const QRect qtOuter = window.frameGeometry();
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const QWindow* handle = window.windowHandle();
    // Other platforms (offscreen, Wayland) and scaled screens keep Qt's figure.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || x11 == nullptr ||
        x11->connection() == nullptr || handle == nullptr || handle->devicePixelRatio() != 1.0) {
        return qtOuter;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(handle->winId());
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
    if (!geometry) {
        return qtOuter;
    }
    const ReplyPtr<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr));
    if (!origin) {
        return qtOuter;
    }
    const QRect client(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    return client.marginsAdded(handle->frameMargins());
}

}  // namespace patchferry
