// The frame around a top-level window, and placing a window by its frame.
#include "forms/placement/form_frame.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <thread>

#ifdef QUEUE_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>
#endif

namespace settings {
namespace {

// A window manager answers a frame request within a few round trips; a start never waits
// longer than this for one that does not answer.
constexpr int kFrameAnswerWaitMs = 250;
constexpr auto kFrameAnswerPollInterval = std::chrono::milliseconds(2);

// Where the window keeps what the window manager said, so it is asked once per window.
constexpr char kAskedProperty[] = "queueFrameAsked";
constexpr char kAnsweredMarginsProperty[] = "queueFrameMargins";

bool OnX11() {
  return QGuiApplication::platformName() == QLatin1String("xcb");
}

QMargins QtPhysicalMargins(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect client = window.geometry();
  const qreal ratio = window.devicePixelRatioF();
  return {qRound((client.left() - frame.left()) * ratio),
          qRound((client.top() - frame.top()) * ratio),
          qRound((frame.right() - client.right()) * ratio),
          qRound((frame.bottom() - client.bottom()) * ratio)};
}

#ifdef QUEUE_HAVE_XCB

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t InternAtom(xcb_connection_t* connection, std::string_view name) {
  const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
      nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The first CARDINAL/ATOM/WINDOW values of a 32-bit property; at most `count`.
std::optional<std::vector<std::uint32_t>> Property32(xcb_connection_t* connection,
                                                     xcb_window_t window, xcb_atom_t property,
                                                     xcb_atom_t type, std::uint32_t count) {
  const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, type, 0, count), nullptr));
  if (!reply || reply->type != type || reply->format != 32) return std::nullopt;
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<std::uint32_t>(values, values + reply->value_len);
}

// A running window manager that says it answers _NET_REQUEST_FRAME_EXTENTS. Its check window
// must exist: a _NET_SUPPORTED left on the root by a manager that has ended means nothing.
bool ManagerAnswersFrameRequests(xcb_connection_t* connection, xcb_window_t root) {
  // Far more than any window manager lists; bounds the reply.
  constexpr std::uint32_t kMaxSupportedAtoms = 4096;
  const auto check = Property32(
      connection, root, InternAtom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
  if (!check || check->empty()) return false;
  const ReplyPtr<xcb_get_window_attributes_reply_t> alive(xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, check->front()), nullptr));
  if (!alive) return false;
  const auto supported = Property32(connection, root, InternAtom(connection, "_NET_SUPPORTED"),
                                    XCB_ATOM_ATOM, kMaxSupportedAtoms);
  const xcb_atom_t request = InternAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
  return supported && std::find(supported->begin(), supported->end(), request) != supported->end();
}

// Asks the window manager for the frame it will give `window` and waits for its answer, the
// _NET_FRAME_EXTENTS property (left, right, top, bottom).
std::optional<QMargins> AskWindowManager(QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return std::nullopt;
  const xcb_window_t native = static_cast<xcb_window_t>(window.winId());
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr || !ManagerAnswersFrameRequests(connection, screen->root))
    return std::nullopt;
  const xcb_atom_t extents = InternAtom(connection, "_NET_FRAME_EXTENTS");
  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = native;
  request.type = InternAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&request));
  xcb_flush(connection);
  // The answer is a property change that Qt's own event queue receives, so it is looked for
  // here by reading the property until it is there.
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    const auto values = Property32(connection, native, extents, XCB_ATOM_CARDINAL, 4);
    if (values && values->size() == 4) {
      const auto& v = *values;
      return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                      static_cast<int>(v[3]));
    }
    if (waited.elapsed() >= kFrameAnswerWaitMs) return std::nullopt;
    std::this_thread::sleep_for(kFrameAnswerPollInterval);
  }
}

#endif  // QUEUE_HAVE_XCB

}  // namespace

QMargins KnownPhysicalFrameMargins(const QWidget& window) {
  const QMargins qt = QtPhysicalMargins(window);
  if (!qt.isNull()) return qt;
  const QVariant answered = window.property(kAnsweredMarginsProperty);
  return answered.isValid() ? answered.value<QMargins>() : QMargins();
}

QMargins PhysicalFrameMargins(QWidget& window) {
  const QMargins known = KnownPhysicalFrameMargins(window);
  if (!known.isNull() || window.property(kAskedProperty).toBool() || !OnX11()) return known;
  window.setProperty(kAskedProperty, true);
#ifdef QUEUE_HAVE_XCB
  if (const std::optional<QMargins> answer = AskWindowManager(window)) {
    window.setProperty(kAnsweredMarginsProperty, QVariant::fromValue(*answer));
    return *answer;
  }
#endif
  return {};
}

bool FrameMayArriveLater(const QWidget& window) {
  // Windows knows its frame at creation; X11 and the offscreen platform give it with the
  // mapping, and a window system without frames gives nothing, which costs only a few events.
  return KnownPhysicalFrameMargins(window).isNull();
}

QRect SetPhysicalFrameGeometry(QWidget& window, const QRect& frame) {
  const qreal ratio = window.devicePixelRatioF();
  const QRect client = ToLogical(frame.marginsRemoved(PhysicalFrameMargins(window)), ratio);
  window.setGeometry(client);
  // A move to where the widget believes it stands already is not passed on; the window system
  // would then choose the place itself (the default position 0,0 would come up centred).
  if (QWindow* native = window.windowHandle()) native->setPosition(client.topLeft());
  return client;
}

QRect ToPhysical(const QRect& logical, qreal ratio) {
  return {qRound(logical.x() * ratio), qRound(logical.y() * ratio), qRound(logical.width() * ratio),
          qRound(logical.height() * ratio)};
}

QRect ToLogical(const QRect& physical, qreal ratio) {
  return {qRound(physical.x() / ratio), qRound(physical.y() / ratio),
          qRound(physical.width() / ratio), qRound(physical.height() / ratio)};
}

bool WindowSystemPlacesWindows() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace settings
